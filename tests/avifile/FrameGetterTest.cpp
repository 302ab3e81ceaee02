// Frame getters: the decoding getter's seeking and cache, the file stream's own frame calls,
// and the getter over a stream of the caller's own.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>

#include "ClipKit.h"
#include "platform/avifile/AviFile.h"
#include "platform/avifile/DecodingFrameGetter.h"
#include "platform/avifile/RiffEdit.h"

namespace {

using clipkit::AviCodec;

std::string WriteClip(const QTemporaryDir& dir, const clipkit::ClipSpec& spec) {
  const std::string path = dir.filePath("c.avi").toStdString();
  EXPECT_EQ(clipkit::WriteClip(path, spec), AVIERR_OK);
  return path;
}

// Stepping back through a long group must not decode the group again for every step.
TEST(DecodingFrameGetter, ReadsOnWithoutSeekingAndDecodesEachGroupOnceSteppingBack) {
  QTemporaryDir dir;
  const std::string path = WriteClip(
      dir,
      {.width = 64, .height = 48, .codec = AviCodec::H264, .keyFrameEvery = 60, .frames = 120});

  const avifile::StreamPlace place{path, 0, 0, 120};
  auto forward = avifile::DecodingFrameGetter::Open(place);
  for (LONG f = 0; f < 120; ++f) ASSERT_NE(forward->get(f), nullptr) << f;
  EXPECT_EQ(forward->stats().seeks, 1);

  auto backward = avifile::DecodingFrameGetter::Open(place);
  for (LONG f = 119; f >= 0; --f) ASSERT_NE(backward->get(f), nullptr) << f;
  EXPECT_EQ(backward->stats().seeks, 2);
  EXPECT_LE(backward->stats().decoded, 120 + 4);
}

// The header's start field shifts FFmpeg's numbering, never the frames' or the key frames'.
TEST(FfmpegFileStream, ReadsDecodedFramesAndFindsKeyFramesAtTheWritersInterval) {
  QTemporaryDir dir;
  const std::string path = WriteClip(
      dir, {.width = 16, .height = 8, .codec = AviCodec::H264, .keyFrameEvery = 5, .frames = 12});
  ASSERT_TRUE(avifile::PatchStreamHeaderField(path, 0, offsetof(AVIStreamHeader, dwStart), 3));
  PAVISTREAM stream = clipkit::OpenVideoStream(path);
  ASSERT_TRUE(stream);
  std::vector<BYTE> bits(16 * 8 * 3);
  LONG bytes = 0, samples = 0;
  ASSERT_EQ(stream->Read(6, 1, bits.data(), LONG(bits.size()), &bytes, &samples), AVIERR_OK);
  EXPECT_EQ(bytes, 16 * 8 * 3);
  PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
  const auto* dib = static_cast<const BYTE*>(AVIStreamGetFrame(getter, 6));
  EXPECT_EQ(std::memcmp(dib + 40, bits.data(), bits.size()), 0);
  AVIStreamGetFrameClose(getter);
  EXPECT_EQ(stream->Read(12, 1, bits.data(), LONG(bits.size()), &bytes, &samples), AVIERR_BADPARAM);
  // A key frame is its own previous and next key frame.
  const struct {
    LONG position, flags, key;
  } searches[] = {{0, FIND_PREV, 0},   {4, FIND_PREV, 0},   {5, FIND_PREV, 5},  {7, FIND_PREV, 5},
                  {10, FIND_PREV, 10}, {11, FIND_PREV, 10}, {0, FIND_NEXT, 0},  {1, FIND_NEXT, 5},
                  {5, FIND_NEXT, 5},   {10, FIND_NEXT, 10}, {11, FIND_NEXT, -1}};
  for (const auto& s : searches)
    EXPECT_EQ(stream->FindSample(s.position, FIND_KEY | s.flags), s.key)
        << s.position << (s.flags == FIND_PREV ? " previous" : " next");
  AVIStreamRelease(stream);
}

// A source of uncompressed frames of its own, as the clip stream's own interface is.
class SyntheticStream : public IAVIStream {
 public:
  explicit SyntheticStream(WORD bitCount) : bitCount_(bitCount) {}
  DWORD AddRef() override { return ++references; }
  DWORD Release() override { return --references; }
  HRESULT ReadFormat(LONG, void* format, LONG* size) override {
    const LONG needed = 40 + (bitCount_ == 8 ? 1024 : 0);
    if (format && *size < needed) return AVIERR_BUFFERTOOSMALL;
    if (format) {
      BITMAPINFOHEADER h{40, 5, 3, 1, bitCount_, 0, 0, 0, 0, 0, 0};
      std::memcpy(format, &h, sizeof h);
      for (int i = 0; bitCount_ == 8 && i < 256; ++i)
        static_cast<BYTE*>(format)[40 + 4 * i] = BYTE(255 - i);
    }
    *size = needed;
    return AVIERR_OK;
  }
  HRESULT Read(LONG start, LONG, void* buffer, LONG bufferSize, LONG* bytes, LONG*) override {
    const LONG image = LONG(clipkit::RowBytes(5, bitCount_)) * 3;
    if (start == 13 || bufferSize < image) return AVIERR_FILEREAD;
    std::memset(buffer, start, std::size_t(image));
    if (bytes) *bytes = image;
    return AVIERR_OK;
  }
  HRESULT QueryInterface(const GUID&, void**) override { return E_NOINTERFACE; }
  HRESULT Create(LONG, LONG) override { return AVIERR_OK; }
  HRESULT Info(AVISTREAMINFOA*, LONG) override { return AVIERR_UNSUPPORTED; }
  LONG FindSample(LONG position, LONG) override { return position; }
  HRESULT SetFormat(LONG, void*, LONG) override { return AVIERR_UNSUPPORTED; }
  HRESULT Write(LONG, LONG, void*, LONG, DWORD, LONG*, LONG*) override {
    return AVIERR_UNSUPPORTED;
  }
  HRESULT Delete(LONG, LONG) override { return AVIERR_UNSUPPORTED; }
  HRESULT ReadData(FOURCC, void*, LONG*) override { return AVIERR_UNSUPPORTED; }
  HRESULT WriteData(FOURCC, void*, LONG) override { return AVIERR_UNSUPPORTED; }

  DWORD references = 1;

 private:
  WORD bitCount_;
};

TEST(StreamFrameGetter, BuildsPackedDibsFromReadFormatAndRead) {
  for (WORD bitCount : {WORD(8), WORD(24)}) {
    SyntheticStream stream(bitCount);
    PGETFRAME getter = AVIStreamGetFrameOpen(&stream, nullptr);
    ASSERT_TRUE(getter);
    EXPECT_EQ(stream.references, 2u);  // the getter holds the stream
    const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, 9));
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->biBitCount, bitCount);
    const DWORD colours = bitCount == 8 ? 256 : 0;
    EXPECT_EQ(dib->biClrUsed, colours);
    const DWORD image = clipkit::RowBytes(5, bitCount) * 3;
    EXPECT_EQ(PackedDibSize(dib), 40 + 4 * colours + image);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(dib);
    EXPECT_EQ(bytes[40 + 4 * 3], bitCount == 8 ? 252 : 9);  // palette entry 3, or pixels
    EXPECT_EQ(bytes[40 + 4 * colours], 9);
    EXPECT_EQ(bytes[40 + 4 * colours + image - 1], 9);
    EXPECT_EQ(AVIStreamGetFrame(getter, 13), nullptr);
    AVIStreamGetFrameClose(getter);
    EXPECT_EQ(stream.references, 1u);
  }
}

}  // namespace
