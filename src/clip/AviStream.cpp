#include "clip/AviStream.h"

#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <limits>

#include "clip/RIFF.h"
#include "clip/SaveJob.h"
#include "platform/Exception.h"

namespace {

struct FileReleaser {
  void operator()(AviFileImpl* file) const { AVIFileRelease(file); }
};
using AviFilePtr = std::unique_ptr<AviFileImpl, FileReleaser>;

AviFilePtr OpenAviFile(const QString& fileName) {
  PAVIFILE file = nullptr;
  const QByteArray name = QFile::encodeName(fileName);
  if (AVIFileOpenA(&file, name.constData(), OF_READ, nullptr) != AVIERR_OK) return nullptr;
  return AviFilePtr(file);
}

AVICOMPRESSOPTIONS InitialOptions() {
  AVICOMPRESSOPTIONS o;
  o.fccType = streamtypeVIDEO;
  o.fccHandler = MakeFourCC('i', 'v', '3', '2');
  o.dwKeyFrameEvery = 6;
  o.dwQuality = 10000;
  o.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;
  return o;
}

}  // namespace

TAVISTREAM::TAVISTREAM(const QString& typeName)
    : TypeName(typeName), compressOptions_(InitialOptions()) {
  AVIFileInit();
  currentStream_ = &ownInterface_;
  optionsPointer_ = &compressOptions_;
}

TAVISTREAM::~TAVISTREAM() {
  thread_.reset();  // stops a running save and waits for it before its stream goes
  Close();
  AVIFileExit();
}

void TAVISTREAM::Open(const QString& fileName) {
  if (opened_) return;
  FileName = fileName;
  AviFilePtr file = OpenAviFile(fileName);
  if (!file) throw Exception("Stream Open Failed");
  PAVISTREAM stream = nullptr;
  const bool found = AVIFileGetStream(file.get(), &stream, streamtypeVIDEO, 0) == AVIERR_OK;
  fileStream_.reset(stream);
  opened_ = found && stream;
  if (!opened_) fileStream_.reset();
  currentStream_ = fileStream_.get();
  if (opened_) RefuseOversizedFrames();
}

// Frames beyond the AVI library's bound would never show; saying why beats a blank window.
void TAVISTREAM::RefuseOversizedFrames() {
  AVISTREAMINFOA info{};
  if (!GetInfo(info)) return;
  const std::int64_t width = std::int64_t(info.rcFrame.right) - info.rcFrame.left;
  const std::int64_t height = std::int64_t(info.rcFrame.bottom) - info.rcFrame.top;
  if (width <= 0 || height <= 0 || FrameSizeAllowed(width, height)) return;
  Close();
  throw Exception(QStringLiteral("Frames of %1 x %2 pixels are too large: at most %3 pixels")
                      .arg(width)
                      .arg(height)
                      .arg(kMaxFramePixels));
}

void TAVISTREAM::Close() {
  if (!opened_) return;
  fileStream_.reset();
  currentStream_ = nullptr;
  opened_ = false;
}

bool TAVISTREAM::GetInfo(AVISTREAMINFOA& info) {
  return opened_ && AVIStreamInfo(currentStream_, &info, sizeof info) == AVIERR_OK;
}

bool TAVISTREAM::ReadData(FOURCC code, void* buffer, LONG& size) {
  AviFilePtr file = OpenAviFile(FileName);
  return file && AVIFileReadData(file.get(), code, buffer, &size) == AVIERR_OK;
}

bool TAVISTREAM::WriteChunk(FOURCC code, const void* buffer, LONG size) {
  if (size < 0) return false;
  TRIFF riff(FileName);
  return riff.WriteChunk(code, buffer, std::uint32_t(size));
}

bool TAVISTREAM::GetFrameOpen(PGETFRAME& getter) {
  getter = currentStream_ ? AVIStreamGetFrameOpen(currentStream_, nullptr) : nullptr;
  return getter != nullptr;
}

bool TAVISTREAM::GetFrame(PGETFRAME getter, int frame, int& totalSize,
                          const BITMAPINFOHEADER*& bitmap) {
  bitmap = nullptr;
  if (!getter) return false;
  bitmap = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, frame));
  if (!bitmap) return false;
  totalSize = int(PackedDibSize(bitmap));
  if (std::this_thread::get_id() == ownerThread_) {
    std::lock_guard<std::mutex> lock(sizeLock_);
    Height = std::abs(bitmap->biHeight);  // a size; top-down rows have a negative height
    Width = bitmap->biWidth;
  }
  return true;
}

void TAVISTREAM::GetFrameClose(PGETFRAME getter) {
  if (getter) AVIStreamGetFrameClose(getter);
}

int TAVISTREAM::GetFrameCount() {
  AVISTREAMINFOA info{};
  if (!GetInfo(info)) return 0;
  return int(std::min<DWORD>(info.dwLength, DWORD(std::numeric_limits<int>::max())));
}

QString TAVISTREAM::FileNamePart() const {
  return FileName.mid(FileName.lastIndexOf(u'/') + 1);
}

void TAVISTREAM::ThreadDone(HRESULT result) {
  Busy = false;
  if (OnDone) OnDone(this, result);
}

void TAVISTREAM::FrameSize(int& width, int& height) const {
  std::lock_guard<std::mutex> lock(sizeLock_);
  width = Width;
  height = Height;
}

LONG TAVISTREAM::ImageSize() const {
  int width = 0, height = 0;
  FrameSize(width, height);
  return ImageSize(width, height);
}

LONG TAVISTREAM::ImageSize(int width, int height) {
  return LONG(((width * 24) / 8 + 3) / 4 * 4) * height;
}
