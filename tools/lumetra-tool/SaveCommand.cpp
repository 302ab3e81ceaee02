// lumetra-tool save CLIP OUT.avi [--codec FOURCC] [--quality Q] [--from F --to L]: the clip,
// or the frames F to L of it, saved through the clip stream's save thread as the display
// window saves it: over an existing name through a "~" work file that replaces the target in
// one rename, the source's descriptor stored in the new file.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Commands.h"
#include "JsonWriter.h"
#include "ToolSupport.h"
#include "clip/SaveThreads.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorStore.h"
#include "descriptors/DescriptorText.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/RegIniFile.h"
#include "platform/avifile/AviSaveOptions.h"

namespace {

constexpr const char* kUsage = "CLIP OUT.avi [--codec FOURCC] [--quality Q] [--from F --to L]";

// Frames first .. first + count - 1 of a stream as a stream of their own, decoded pictures as
// its native data, so that the save reads them as from a clip stream's own interface. Used on
// the save thread only; owned by the command, so counting references frees nothing.
class TFrameRange : public IAVIStream {
 public:
  TFrameRange(PAVISTREAM source, LONG first, LONG count)
      : source_(source), first_(first), count_(count) {}
  ~TFrameRange() override {
    if (getter_) AVIStreamGetFrameClose(getter_);
  }
  HRESULT QueryInterface(const GUID&, void** object) override {
    if (object) *object = nullptr;
    return E_NOINTERFACE;
  }
  DWORD AddRef() override { return 1; }
  DWORD Release() override { return 1; }
  HRESULT Create(LONG, LONG) override { return AVIERR_OK; }
  HRESULT Info(AVISTREAMINFOA* info, LONG size) override {
    const HRESULT r = source_->Info(info, size);
    if (r == AVIERR_OK) {
      info->dwStart = 0;
      info->dwLength = DWORD(count_);
    }
    return r;
  }
  LONG FindSample(LONG position, LONG) override { return position; }
  HRESULT ReadFormat(LONG position, void* format, LONG* formatSize) override {
    const BITMAPINFOHEADER* dib = picture(position);
    if (!dib || !formatSize) return AVIERR_FILEREAD;
    const LONG needed = LONG(headerBytes(*dib));
    if (format && *formatSize >= needed) std::memcpy(format, dib, std::size_t(needed));
    *formatSize = needed;
    return AVIERR_OK;
  }
  HRESULT SetFormat(LONG, void*, LONG) override { return AVIERR_UNSUPPORTED; }
  HRESULT Read(LONG start, LONG, void* buffer, LONG bufferSize, LONG* bytes,
               LONG* samples) override {
    const BITMAPINFOHEADER* dib = picture(start);
    if (!dib) return AVIERR_FILEREAD;
    const std::size_t header = headerBytes(*dib), image = PackedDibSize(dib) - header;
    if (bytes) *bytes = LONG(image);
    if (samples) *samples = 1;
    if (!buffer) return AVIERR_OK;
    if (std::size_t(bufferSize) < image) return AVIERR_BUFFERTOOSMALL;
    std::memcpy(buffer, reinterpret_cast<const BYTE*>(dib) + header, image);
    return AVIERR_OK;
  }
  HRESULT Write(LONG, LONG, void*, LONG, DWORD, LONG*, LONG*) override {
    return AVIERR_UNSUPPORTED;
  }
  HRESULT Delete(LONG, LONG) override { return AVIERR_UNSUPPORTED; }
  HRESULT ReadData(FOURCC, void*, LONG*) override { return AVIERR_UNSUPPORTED; }
  HRESULT WriteData(FOURCC, void*, LONG) override { return AVIERR_UNSUPPORTED; }

 private:
  static std::size_t headerBytes(const BITMAPINFOHEADER& dib) {
    const DWORD colours = dib.biClrUsed         ? dib.biClrUsed
                          : dib.biBitCount <= 8 ? DWORD(1) << dib.biBitCount
                                                : 0;
    return dib.biSize + 4 * std::size_t(colours);
  }
  const BITMAPINFOHEADER* picture(LONG position) {
    if (position < 0 || position >= count_) return nullptr;
    if (!getter_) getter_ = AVIStreamGetFrameOpen(source_, nullptr);
    if (!getter_) return nullptr;
    return static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(getter_, first_ + position));
  }

  PAVISTREAM source_;
  LONG first_, count_;
  PGETFRAME getter_ = nullptr;
};

struct SaveRequest {
  QString source, target;
  std::optional<FOURCC> codec;
  std::optional<int> quality;
  std::optional<int> from, to;
};

SaveRequest ParseSave(const QStringList& args) {
  if (args.size() < 2) ExpectArguments(args, 2, kUsage);
  SaveRequest r{args[0], args[1], {}, {}, {}, {}};
  for (qsizetype i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) ExpectArguments(args, int(args.size()) + 1, kUsage);
    const QString& value = args[i + 1];
    if (args[i] == QStringLiteral("--codec")) {
      r.codec = avifile::EncoderHandlerFromText(value.toStdString());
      if (!r.codec) throw Exception(QStringLiteral("Unknown codec \"") + value + u'"');
    } else if (args[i] == QStringLiteral("--quality")) {
      r.quality = ParseCount(value, "Q", 0, 10000);
    } else if (args[i] == QStringLiteral("--from")) {
      r.from = ParseCount(value, "F", 0, 0x7FFFFFFF);
    } else if (args[i] == QStringLiteral("--to")) {
      r.to = ParseCount(value, "L", 0, 0x7FFFFFFF);
    } else {
      ExpectArguments({}, 1, kUsage);
    }
  }
  return r;
}

// The clip type's stored options when the user confirmed some with an encoder here, else MJPEG.
void ChooseOptions(TAVISTREAM& stream, const SaveRequest& r) {
  const TRegIniFile registry(QStringLiteral("\\Software\\Orvanta\\Lumetra"));
  stream.LoadOptions(&registry);
  AVICOMPRESSOPTIONS& o = stream.CompressOptions();
  if (!stream.OptionsOK) o.fccHandler = MakeFourCC('M', 'J', 'P', 'G');
  o.fccHandler = avifile::PreselectedHandler(o.fccHandler);
  if (r.codec) o.fccHandler = *r.codec;
  if (r.quality) o.dwQuality = DWORD(*r.quality);
  o.dwFlags |= AVICOMPRESSF_VALID;
  stream.OptionsOK = true;
}

// Frame n of the saved range is frame first + n of the clip: moving the mark frame back by
// `first` keeps every frame's test time exactly.
std::string ShiftedDescriptor(std::string text, int first) {
  if (first == 0) return text;
  double mark = 0;
  if (!GetDescriptorFloat(text, "Timing", "Mark Frame", mark) || !std::isfinite(mark)) mark = 0;
  SetDescriptorFloat(text, "Timing", "Mark Frame", mark - first);
  double time = 0;
  if (!GetDescriptorFloat(text, "Timing", "Time at Mark Frame", time))
    SetDescriptorFloat(text, "Timing", "Time at Mark Frame", 0);
  return text;
}

// Where the save writes: the target itself when it is new, else the target's name with its
// first character replaced by "~" beside it (a name that starts with "~" gets another one in
// front, so the work file is never the target).
QString WorkPathOf(const QString& target) {
  const QFileInfo info(target);
  QString name = info.fileName();
  name = name.startsWith(u'~') ? u'~' + name : u'~' + name.mid(1);
  return info.dir().filePath(name);
}

void StoreInto(const QString& path, const std::string& text) {
  if (text.empty()) return;
  TAVISTREAM stream(QStringLiteral("AVI"));
  PGETFRAME none = nullptr;
  TWriteFailure why = TWriteFailure::None;
  if (!StoreDescriptor(stream, none, path, text, &why))
    throw Exception(QStringLiteral("Descriptor Write Failed (") + WriteFailureText(why) + u')');
}

}  // namespace

int RunSave(const QStringList& args, std::FILE* out) {
  const SaveRequest r = ParseSave(args);
  TToolSaveSession session;
  TToolClip clip(r.source);
  TAVISTREAM& stream = clip.Stream();
  const int frames = clip.Frames();
  const int first = r.from.value_or(0), last = r.to.value_or(frames - 1);
  if (frames <= 0 || first > last || last >= frames)
    throw Exception(QStringLiteral("the frames to save must lie within 0 to %1").arg(frames - 1));
  ChooseOptions(stream, r);
  const std::string descriptor = ShiftedDescriptor(ReadClipDescriptor(r.source).text, first);

  const bool existed = QFileInfo::exists(r.target);
  const QString work = existed ? WorkPathOf(r.target) : r.target;
  if (existed) QFile::remove(work);
  TFrameRange range(stream.CurrentStream(), first, last - first + 1);
  const HRESULT result = session.Run(stream, [&] {
    if (first == 0 && last == frames - 1)
      return stream.Save(nullptr, 1, work), std::unique_ptr<TSaveJob>();
    stream.Busy = true;
    auto job = std::make_unique<TAVISaveThread>(stream, &range, &stream.CompressOptions(), work);
    job->start();
    return std::unique_ptr<TSaveJob>(std::move(job));
  });
  try {
    if (result != AVIERR_OK)
      throw Exception(QStringLiteral("Error creating file %1\nAVI Save Error Code: %2")
                          .arg(work)
                          .arg(quint32(result), 8, 16, QChar(u'0')));
    StoreInto(work, descriptor);
  } catch (...) {
    QFile::remove(work);
    throw;
  }
  // One step: the target is at every moment the old clip or the new one.
  if (work != r.target &&
      std::rename(QFile::encodeName(work).constData(), QFile::encodeName(r.target).constData()))
    throw Exception(QStringLiteral("Could not Rename %1\nto %2").arg(work, r.target));
  Print(out, TJsonObject()
                 .Text("target", r.target)
                 .Text("codec", CodeText(stream.CompressOptions().fccHandler))
                 .Integer("frames", last - first + 1)
                 .Line());
  return 0;
}
