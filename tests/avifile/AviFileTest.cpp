// The AVI library's file calls: opening, stream information from the stream header, chunks by
// code, dropped frames, files without an index, frames that cannot be decoded.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "ClipKit.h"
#include "FfmpegReference.h"
#include "TestSupport.h"
#include "platform/avifile/AviFile.h"
#include "platform/avifile/DecodingFrameGetter.h"
#include "platform/avifile/RiffScan.h"

namespace {

using clipkit::AviCodec;

class AviFileTest : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }

  static AVISTREAMINFOA info(PAVISTREAM stream) {
    AVISTREAMINFOA i{};
    EXPECT_EQ(AVIStreamInfo(stream, &i, sizeof i), AVIERR_OK);
    return i;
  }

  // Pixel rows of a DIB, top-down, for comparison with PatternRows.
  static std::vector<BYTE> TopDownRows(const void* dib) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib, sizeof h);
    const DWORD row = clipkit::RowBytes(h.biWidth, h.biBitCount);
    const BYTE* bits = static_cast<const BYTE*>(dib) + h.biSize + 4 * h.biClrUsed;
    std::vector<BYTE> rows;
    for (LONG y = h.biHeight - 1; y >= 0; --y)
      rows.insert(rows.end(), bits + std::size_t(y) * row, bits + std::size_t(y + 1) * row);
    return rows;
  }

  QTemporaryDir dir_;
};

TEST_F(AviFileTest, OpenFailsForMissingAndNonAviFiles) {
  testsupport::writeFile(dir_.filePath("text.avi"), "not a clip at all");
  ASSERT_TRUE(avitest::Run("ffmpeg -nostdin -v error -f lavfi -i sine=duration=0.1 -y " +
                           avitest::Quote(path("sound.wav"))));
  for (const char* name : {"missing.avi", "text.avi", "sound.wav"}) {
    PAVIFILE file = reinterpret_cast<PAVIFILE>(this);
    EXPECT_NE(AVIFileOpenA(&file, path(name).c_str(), OF_READ, nullptr), AVIERR_OK) << name;
    EXPECT_EQ(file, nullptr) << name;
  }
}

TEST_F(AviFileTest, FileWithoutVideoHasNoVideoStream) {
  ASSERT_TRUE(
      avitest::Run("ffmpeg -nostdin -v error -f lavfi -i sine=duration=0.1 -c:a pcm_s16le -y " +
                   avitest::Quote(path("sound.avi"))));
  PAVIFILE file = nullptr;
  ASSERT_EQ(AVIFileOpenA(&file, path("sound.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
  PAVISTREAM stream = reinterpret_cast<PAVISTREAM>(this);
  EXPECT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_NODATA);
  EXPECT_EQ(stream, nullptr);
  AVIFileRelease(file);
}

TEST_F(AviFileTest, VideoStreamAfterAnAudioStreamIsFound) {
  ASSERT_TRUE(
      avitest::Run("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=32x16:rate=25:duration=0.2 "
                   "-f lavfi -i sine=duration=0.2 "
                   "-map 1:a -map 0:v -c:v mjpeg -c:a pcm_s16le -y " +
                   avitest::Quote(path("av.avi"))));
  const auto pictures = avitest::FfmpegPictures(path("av.avi"), "bgr24", 32, 16);
  ASSERT_EQ(pictures.size(), 5u);
  PAVISTREAM stream = clipkit::OpenVideoStream(path("av.avi"));
  ASSERT_TRUE(stream);
  EXPECT_EQ(info(stream).fccHandler, MakeFourCC('M', 'J', 'P', 'G'));
  PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
  for (LONG f : {4, 0, 2})
    EXPECT_TRUE(
        avitest::DibEquals(AVIStreamGetFrame(getter, f), pictures[std::size_t(f)], "bgr24", 32, 16))
        << f;
  AVIStreamGetFrameClose(getter);
  AVIStreamRelease(stream);
}

TEST_F(AviFileTest, StreamInfoComesFromTheStreamHeader) {
  clipkit::ClipSpec spec;
  spec.width = 37, spec.height = 21, spec.frames = 8, spec.rate = 30000, spec.scale = 1001;
  spec.codec = AviCodec::Mjpeg;
  ASSERT_EQ(clipkit::WriteClip(path("c.avi"), spec), AVIERR_OK);
  // The handler is the stream header's, not the compression code of the format chunk.
  ASSERT_TRUE(avifile::PatchStreamHandler(path("c.avi"), 0, MakeFourCC('a', 'b', 'c', 'd')));
  PAVISTREAM stream = clipkit::OpenVideoStream(path("c.avi"));
  ASSERT_TRUE(stream);
  const AVISTREAMINFOA i = info(stream);
  EXPECT_EQ(i.fccType, streamtypeVIDEO);
  EXPECT_EQ(i.fccHandler, MakeFourCC('a', 'b', 'c', 'd'));
  EXPECT_EQ(i.dwRate, 30000u);
  EXPECT_EQ(i.dwScale, 1001u);
  EXPECT_EQ(i.dwLength, 8u);
  EXPECT_EQ(i.rcFrame.right, 37);
  EXPECT_EQ(i.rcFrame.bottom, 21);
  EXPECT_GT(i.dwSuggestedBufferSize, 0u);
  AVISTREAMINFOA small{};
  EXPECT_EQ(AVIStreamInfo(stream, &small, 100), AVIERR_BUFFERTOOSMALL);
  PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
  EXPECT_NE(AVIStreamGetFrame(getter, 7), nullptr);
  EXPECT_EQ(AVIStreamGetFrame(getter, 8), nullptr);
  EXPECT_EQ(AVIStreamGetFrame(getter, -1), nullptr);
  AVIStreamGetFrameClose(getter);
  AVIStreamRelease(stream);
}

TEST_F(AviFileTest, HighSpeedClipKeepsItsRateInBothHeaders) {
  clipkit::ClipSpec spec;
  spec.rate = 5000;
  ASSERT_EQ(clipkit::WriteClip(path("fast.avi"), spec), AVIERR_OK);
  PAVISTREAM stream = clipkit::OpenVideoStream(path("fast.avi"));
  ASSERT_TRUE(stream);
  EXPECT_EQ(info(stream).dwRate, 5000u);
  EXPECT_EQ(info(stream).dwScale, 1u);
  AVIStreamRelease(stream);
  const auto layout = avifile::ScanRiff(path("fast.avi"));
  ASSERT_TRUE(layout && layout->avihData.size() >= 4);
  DWORD microseconds = 0;
  std::memcpy(&microseconds, layout->avihData.data(), 4);
  EXPECT_EQ(microseconds, 200u);
}

TEST_F(AviFileTest, ReadDataFindsTopLevelChunksEvenPastAStaleRiffSize) {
  ASSERT_EQ(clipkit::WriteClip(path("c.avi"), clipkit::ClipSpec{}), AVIERR_OK);
  std::vector<BYTE> ttls(2048);
  for (std::size_t i = 0; i < ttls.size(); ++i) ttls[i] = BYTE(i * 7);
  const BYTE marker[5] = {200, 1, 2, 3, 4};
  ASSERT_TRUE(clipkit::AppendRiffChunk(path("c.avi"), MakeFourCC('m', 'a', 'r', 'k'), marker, 5));
  ASSERT_TRUE(
      clipkit::AppendRiffChunk(path("c.avi"), MakeFourCC('t', 't', 'l', 's'), ttls.data(), 2048));
  // A recorder that died leaves a RIFF size larger than the file.
  ASSERT_TRUE(clipkit::SetRiffSize(path("c.avi"), 0x7FFFFFF0));
  PAVIFILE file = nullptr;
  ASSERT_EQ(AVIFileOpenA(&file, path("c.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
  std::vector<BYTE> buffer(4096);
  LONG size = LONG(buffer.size());
  ASSERT_EQ(AVIFileReadData(file, MakeFourCC('t', 't', 'l', 's'), buffer.data(), &size), AVIERR_OK);
  EXPECT_EQ(size, 2048);
  EXPECT_TRUE(std::equal(ttls.begin(), ttls.end(), buffer.begin()));
  size = LONG(buffer.size());
  ASSERT_EQ(AVIFileReadData(file, MakeFourCC('m', 'a', 'r', 'k'), buffer.data(), &size), AVIERR_OK);
  EXPECT_EQ(size, 5);
  EXPECT_EQ(std::memcmp(buffer.data(), marker, 5), 0);
  size = LONG(buffer.size());
  EXPECT_EQ(AVIFileReadData(file, MakeFourCC('n', 'o', 'n', 'e'), buffer.data(), &size),
            AVIERR_NODATA);
  PAVISTREAM stream = nullptr;
  ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
  AVIFileRelease(file);
  PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
  EXPECT_NE(AVIStreamGetFrame(getter, 4), nullptr);
  AVIStreamGetFrameClose(getter);
  AVIStreamRelease(stream);
}

// A zero-size chunk is a frame of its own that shows the picture before it.
TEST_F(AviFileTest, DroppedFramesRepeatThePreviousPictureWithOrWithoutIndex) {
  clipkit::ClipSpec spec;
  spec.width = 7, spec.height = 5, spec.frames = 9, spec.dropped = {0, 3, 4, 8};
  ASSERT_EQ(clipkit::WriteClip(path("c.avi"), spec), AVIERR_OK);
  EXPECT_EQ(avitest::FfprobeSlots(path("c.avi")), (std::vector<LONG>{1, 2, 5, 6, 7}));
  std::filesystem::copy_file(path("c.avi"), path("noindex.avi"));
  ASSERT_TRUE(clipkit::RenameTopLevelChunk(path("noindex.avi"), MakeFourCC('i', 'd', 'x', '1'),
                                           MakeFourCC('J', 'U', 'N', 'K')));
  // Frame 0 has no picture before it and shows the next one.
  const LONG shows[9] = {1, 1, 2, 2, 2, 5, 6, 7, 7};
  for (const char* name : {"c.avi", "noindex.avi"}) {
    PAVISTREAM stream = clipkit::OpenVideoStream(path(name));
    ASSERT_TRUE(stream);
    EXPECT_EQ(info(stream).dwLength, 9u) << name;
    PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
    for (LONG f : {0, 1, 2, 3, 4, 5, 6, 7, 8, 4, 0, 8, 2, 6}) {
      const void* dib = AVIStreamGetFrame(getter, f);
      ASSERT_NE(dib, nullptr) << name << " frame " << f;
      EXPECT_EQ(TopDownRows(dib), clipkit::PatternRows(7, 5, 24, shows[f]))
          << name << " frame " << f;
    }
    AVIStreamGetFrameClose(getter);
    AVIStreamRelease(stream);
  }
}

TEST_F(AviFileTest, FileWithoutIndexDecodesCompressedFramesInAnyOrder) {
  clipkit::ClipSpec spec;
  spec.width = 32, spec.height = 16, spec.frames = 12, spec.codec = AviCodec::Mpeg4;
  spec.keyFrameEvery = 5;
  ASSERT_EQ(clipkit::WriteClip(path("c.avi"), spec), AVIERR_OK);
  const auto pictures = avitest::FfmpegPictures(path("c.avi"), "bgr24", 32, 16);
  ASSERT_EQ(pictures.size(), 12u);
  ASSERT_TRUE(clipkit::RenameTopLevelChunk(path("c.avi"), MakeFourCC('i', 'd', 'x', '1'),
                                           MakeFourCC('J', 'U', 'N', 'K')));
  auto getter = avifile::DecodingFrameGetter::Open(path("c.avi"), 0, 12, false, 0);
  ASSERT_TRUE(getter);
  for (LONG f : {0, 1, 2, 11, 3, 10, 9, 4, 5}) {
    const void* dib = getter->get(f);
    ASSERT_NE(dib, nullptr) << f;
    EXPECT_TRUE(avitest::DibEquals(dib, pictures[std::size_t(f)], "bgr24", 32, 16)) << f;
  }
  EXPECT_FALSE(getter->timeline().indexed());
}

TEST_F(AviFileTest, FrameThatCannotBeDecodedGivesNull) {
  clipkit::ClipSpec spec;
  spec.frames = 4, spec.codec = AviCodec::Mjpeg;
  ASSERT_EQ(clipkit::WriteClip(path("c.avi"), spec), AVIERR_OK);
  const auto layout = avifile::ScanRiff(path("c.avi"));
  ASSERT_TRUE(layout);
  // Overwrite the third frame's JPEG data with zeros: no marker is left to decode.
  std::int64_t movi = 0;
  for (const auto& c : layout->topLevel)
    if (c.listType == MakeFourCC('m', 'o', 'v', 'i')) movi = c.dataOffset + 4;
  std::fstream f(path("c.avi"), std::ios::in | std::ios::out | std::ios::binary);
  for (int frame = 0; frame < 2; ++frame) {
    DWORD size = 0;
    f.seekg(movi + 4);
    f.read(reinterpret_cast<char*>(&size), 4);
    movi += 8 + size + (size & 1);
  }
  DWORD size = 0;
  f.seekg(movi + 4);
  f.read(reinterpret_cast<char*>(&size), 4);
  f.seekp(movi + 8);
  const std::vector<char> zeros(size, 0);
  f.write(zeros.data(), std::streamsize(zeros.size()));
  f.close();
  PAVISTREAM stream = clipkit::OpenVideoStream(path("c.avi"));
  PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
  EXPECT_NE(AVIStreamGetFrame(getter, 1), nullptr);
  EXPECT_EQ(AVIStreamGetFrame(getter, 2), nullptr);
  EXPECT_NE(AVIStreamGetFrame(getter, 3), nullptr);
  EXPECT_EQ(AVIStreamGetFrame(getter, 2), nullptr);
  AVIStreamGetFrameClose(getter);
  AVIStreamRelease(stream);
}

}  // namespace
