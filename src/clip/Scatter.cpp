// The clip stream's scatter: every frame into a directory of numbered image files, or into an
// AMF file through the helper library. Runs on a scatter thread with a frame getter of its own.
#include <QDir>
#include <QFile>
#include <cstdio>

#include "clip/AmfLibrary.h"
#include "clip/AviStream.h"
#include "platform/Exception.h"
#include "platform/avifile/ImageFiles.h"

namespace {

constexpr int kAmfType = 7;

std::optional<avifile::ImageType> ImageTypeOf(int typeIndex) {
  switch (typeIndex) {
    case 3:
      return avifile::ImageType::Bmp;
    case 4:
      return avifile::ImageType::Gif;
    case 5:
      return avifile::ImageType::Jpeg;
    case 6:
      return avifile::ImageType::Tiff;
    default:
      return std::nullopt;
  }
}

// The frame file's name: the type's pattern (our own table's "F%.7d.bmp" ...) with n.
std::string FrameFileName(const QByteArray& directory, const QByteArray& pattern, int n) {
  char name[64];
  std::snprintf(name, sizeof name, pattern.constData(), n);
  return directory.toStdString() + name;
}

// Where the frames go: image files in a directory, or the AMF helper.
class ScatterTarget {
 public:
  virtual ~ScatterTarget() = default;
  virtual bool write(int n, const BITMAPINFOHEADER* dib, int size) = 0;
  virtual void finish(bool) {}
};

class DirectoryTarget final : public ScatterTarget {
 public:
  DirectoryTarget(std::unique_ptr<avifile::ImageFileWriter> writer, QByteArray directory,
                  QByteArray pattern)
      : writer_(std::move(writer)),
        directory_(std::move(directory)),
        pattern_(std::move(pattern)) {}
  bool write(int n, const BITMAPINFOHEADER* dib, int) override {
    return writer_->write(FrameFileName(directory_, pattern_, n), dib);
  }

 private:
  std::unique_ptr<avifile::ImageFileWriter> writer_;
  QByteArray directory_, pattern_;
};

class AmfTarget final : public ScatterTarget {
 public:
  explicit AmfTarget(const TAmfEntries& entries) : entries_(entries) {}
  ~AmfTarget() override { finish(true); }
  bool open(const QString& path, const QString& name, int quality, int frames, int width,
            int height) {
    const QByteArray p = QFile::encodeName(path), n = QFile::encodeName(name);
    return entries_.OpenAMF(&handle_, p.constData(), n.constData(), quality, frames, width,
                            height) != 0;
  }
  bool write(int n, const BITMAPINFOHEADER* dib, int size) override {
    return entries_.WriteFrameAMF(handle_, n, dib, size) != 0;
  }
  void finish(bool incomplete) override {
    if (handle_) entries_.CloseAMF(&handle_, incomplete ? 1 : 0);
    handle_ = nullptr;
  }

 private:
  TAmfEntries entries_;
  void* handle_ = nullptr;
};

}  // namespace

HRESULT TAVISTREAM::Scatter(const QString& target, int typeIndex, TScatterCallback callback,
                            void* data) {
  Scattered = true;
  const std::optional<avifile::ImageType> imageType = ImageTypeOf(typeIndex);
  if (!imageType && typeIndex != kAmfType) return AVIERR_BADPARAM;
  PGETFRAME getter = nullptr;
  if (!GetFrameOpen(getter)) return AVIERR_NODATA;
  struct Closer {
    TAVISTREAM* stream;
    PGETFRAME getter;
    ~Closer() { stream->GetFrameClose(getter); }
  } closer{this, getter};
  // A clip that reports no frames has nothing to scatter (and no percent to compute).
  const int frames = GetFrameCount();
  int size = 0;
  const BITMAPINFOHEADER* dib = nullptr;
  if (frames <= 0 || !GetFrame(getter, 0, size, dib)) return AVIERR_NODATA;
  std::unique_ptr<ScatterTarget> out;
  if (imageType) {
    auto writer = avifile::ImageFileWriter::Open(*imageType, dib->biWidth, std::abs(dib->biHeight),
                                                 dib->biBitCount == 8 ? 8 : 24);
    if (!writer) return AVIERR_BADFORMAT;
    if (!QDir().mkpath(target)) return AVIERR_FILEWRITE;
    out = std::make_unique<DirectoryTarget>(std::move(writer), QFile::encodeName(target) + '/',
                                            TypeNamePattern(typeIndex).toLatin1());
  } else {
    TAmfEntries entries;
    if (!LoadAmfLibrary(entries))
      throw Exception(QStringLiteral("AMF Helper ScatterAMF.dll or a Sub-Library Missing"));
    const int quality = int(std::min<DWORD>(compressOptions_.dwQuality / 100, 99));
    if (amfName_.isEmpty()) amfName_ = target.mid(target.lastIndexOf(u'/') + 1);
    auto amf = std::make_unique<AmfTarget>(entries);
    if (!amf->open(target, amfName_, quality, frames, dib->biWidth, std::abs(dib->biHeight)))
      throw Exception(QStringLiteral("OpenAMF failed for file ") + target);
    out = std::move(amf);
  }
  HRESULT result = AVIERR_OK;
  int n = 0;
  while (result == AVIERR_OK) {
    if (const int answer = callback ? callback(data, int((std::int64_t(n) + 1) * 100 / frames)) : 0)
      result = answer;
    else if (!out->write(n, dib, size))
      result = AVIERR_FILEWRITE;
    else if (++n == frames)
      break;
    else if (!GetFrame(getter, n, size, dib))
      result = AVIERR_FILEREAD;
  }
  out->finish(n < frames);
  return result;
}
