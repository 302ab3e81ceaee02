// Frame getters: seeking, the key frame that starts a frame's decoding, the caches of decoded
// pictures sharing one budget, and the getter over a stream of the caller's own.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>

#include "ClipKit.h"
#include "platform/avifile/AviFile.h"
#include "platform/avifile/DecodingFrameGetter.h"
#include "platform/avifile/FrameCache.h"
#include "platform/avifile/PictureTimeline.h"
#include "platform/avifile/RiffEdit.h"

namespace {

using avifile::FrameBudget;
using avifile::FrameCache;
using avifile::PictureTimeline;
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

// After a seek, B pictures that follow a key frame but are shown before it do not come out.
TEST(PictureTimeline, LeadingPicturesMoveTheirTargetsToTheGroupBefore) {
  PictureTimeline t;
  std::vector<LONG> chunks(30);
  for (LONG i = 0; i < 30; ++i) chunks[std::size_t(i)] = i;
  t.setIndex(chunks, {0, 10, 20});
  EXPECT_EQ(t.keyFor(11), 10);
  t.setLeading(10, 2);
  EXPECT_EQ(t.firstOrdinal(10), 12);
  EXPECT_EQ(t.keyFor(11), 0);
  EXPECT_EQ(t.keyFor(12), 10);
  t.demoteKey(20);
  EXPECT_EQ(t.keyFor(25), 10);
}

avifile::FramePtr Picture() {
  avifile::FramePtr f = avifile::makeFrame();
  f->format = AV_PIX_FMT_GRAY8;
  f->width = 1000;
  f->height = 1;
  EXPECT_GE(av_frame_get_buffer(f.get(), 1), 0);
  return f;
}

const std::size_t kEach = FrameCache::FrameBytes(*Picture());

TEST(FrameCache, DropsTheLeastRecentlyUsedBeyondItsBudget) {
  FrameCache cache(3 * kEach);
  for (LONG slot = 0; slot < 3; ++slot) cache.put(slot, Picture());
  EXPECT_NE(cache.find(0), nullptr);  // 0 becomes the most recent
  cache.put(3, Picture());
  EXPECT_EQ(cache.find(1), nullptr);
  EXPECT_NE(cache.find(0), nullptr);
  EXPECT_NE(cache.find(3), nullptr);
  EXPECT_EQ(cache.bytes(), 3 * kEach);
  FrameCache tiny(0);  // still holds two, however large
  for (LONG slot = 0; slot < 5; ++slot) tiny.put(slot, Picture());
  EXPECT_EQ(tiny.size(), 2u);
  EXPECT_NE(tiny.find(4), nullptr);
}

// Sixteen clips of 256 MB caches each once took 4 GB together.
TEST(FrameBudget, ManyCachesStayWithinOneBudget) {
  FrameBudget budget(40 * kEach);
  std::vector<std::unique_ptr<FrameCache>> caches;
  for (int c = 0; c < 16; ++c) {
    caches.push_back(std::make_unique<FrameCache>(budget));
    for (LONG slot = 0; slot < 8; ++slot) caches.back()->put(slot, Picture());
    EXPECT_LE(budget.bytes(), 40 * kEach);
  }
  EXPECT_EQ(budget.bytes(), 40 * kEach);
  // Below two pictures per cache the newest two of each stay: their getters read them.
  budget.setLimit(0);
  EXPECT_EQ(budget.bytes(), 32 * kEach);
  for (auto& cache : caches) EXPECT_NE(cache->find(7), nullptr);
  caches.resize(4);
  EXPECT_EQ(budget.bytes(), 8 * kEach);
}

TEST(FrameBudget, TheLeastRecentlyUsedPictureOfAnyCacheGoesFirst) {
  FrameBudget budget(6 * kEach);
  FrameCache a(budget), b(budget);
  for (LONG slot = 0; slot < 4; ++slot) a.put(slot, Picture());
  for (LONG slot = 0; slot < 2; ++slot) b.put(slot, Picture());
  ASSERT_NE(a.find(0), nullptr);  // a's oldest becomes its newest
  b.put(2, Picture());            // one too many: a's slot 1 is now the oldest anywhere
  EXPECT_EQ(a.find(1), nullptr);
  b.put(3, Picture());  // then a's slot 2, older than all of b's
  EXPECT_EQ(a.find(2), nullptr);
  for (LONG slot : {0, 3}) EXPECT_NE(a.find(slot), nullptr) << slot;
  for (LONG slot : {0, 1, 2, 3}) EXPECT_NE(b.find(slot), nullptr) << slot;
  EXPECT_EQ(budget.bytes(), 6 * kEach);
  a.clear();
  EXPECT_EQ(budget.bytes(), 4 * kEach);
}

}  // namespace
