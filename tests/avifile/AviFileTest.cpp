// The AVI library's file calls: opening, stream information from the stream header, chunks by
// code, frames that cannot be decoded.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>
#include <fstream>

#include "ClipKit.h"
#include "FfmpegReference.h"
#include "TestSupport.h"
#include "platform/avifile/AviFile.h"
#include "platform/avifile/RiffEdit.h"
#include "platform/avifile/RiffScan.h"

namespace {

using clipkit::AviCodec;

class AviFileTest : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }

  QTemporaryDir dir_;
};

TEST_F(AviFileTest, OpeningFindsTheVideoStreamAfterAudioAndRefusesWhatIsNoClip) {
  testsupport::writeFile(dir_.filePath("text.avi"), "not a clip at all");
  ASSERT_TRUE(avitest::Run(
      "ffmpeg -nostdin -v error -f lavfi -i testsrc=size=32x16:rate=25:duration=0.2 "
      "-f lavfi -i sine=duration=0.2 -map 1:a -y " +
      avitest::Quote(path("sound.wav")) + " -map 1:a -c:a pcm_s16le -y " +
      avitest::Quote(path("sound.avi")) + " -map 1:a -map 0:v -c:v mjpeg -c:a pcm_s16le -y " +
      avitest::Quote(path("av.avi"))));
  for (const char* name : {"missing.avi", "text.avi", "sound.wav"}) {
    PAVIFILE file = reinterpret_cast<PAVIFILE>(this);
    EXPECT_NE(AVIFileOpenA(&file, path(name).c_str(), OF_READ, nullptr), AVIERR_OK) << name;
    EXPECT_EQ(file, nullptr) << name;
  }
  PAVIFILE file = nullptr;
  ASSERT_EQ(AVIFileOpenA(&file, path("sound.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
  PAVISTREAM stream = reinterpret_cast<PAVISTREAM>(this);
  EXPECT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_NODATA);
  EXPECT_EQ(stream, nullptr);
  AVIFileRelease(file);

  const auto pictures = avitest::FfmpegPictures(path("av.avi"), "bgr24", 32, 16);
  ASSERT_EQ(pictures.size(), 5u);
  stream = clipkit::OpenVideoStream(path("av.avi"));
  ASSERT_TRUE(stream);
  PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
  for (LONG f : {4, 0, 2})
    EXPECT_TRUE(
        avitest::DibEquals(AVIStreamGetFrame(getter, f), pictures[std::size_t(f)], "bgr24", 32, 16))
        << f;
  AVIStreamGetFrameClose(getter);
  AVIStreamRelease(stream);
}

// Above 1000 frames per second the muxer's own time base cannot hold the rate; the writer
// patches both headers afterwards.
TEST_F(AviFileTest, StreamInfoAndFrameTimeComeFromTheHeadersTheWriterPatched) {
  struct {
    DWORD rate, scale, microseconds;
  } const cases[] = {{30000, 1001, 33367}, {5000, 1, 200}};
  for (const auto& c : cases) {
    const clipkit::ClipSpec spec{
        .width = 37, .height = 21, .codec = AviCodec::Mjpeg, .rate = c.rate, .scale = c.scale};
    ASSERT_EQ(clipkit::WriteClip(path("c.avi"), spec), AVIERR_OK);
    // The handler is the stream header's, not the compression code of the format chunk.
    ASSERT_TRUE(avifile::PatchStreamHandler(path("c.avi"), 0, MakeFourCC('a', 'b', 'c', 'd')));
    PAVISTREAM stream = clipkit::OpenVideoStream(path("c.avi"));
    ASSERT_TRUE(stream);
    AVISTREAMINFOA i{};
    ASSERT_EQ(AVIStreamInfo(stream, &i, sizeof i), AVIERR_OK);
    EXPECT_EQ(i.fccHandler, MakeFourCC('a', 'b', 'c', 'd'));
    EXPECT_EQ(i.dwRate, c.rate);
    EXPECT_EQ(i.dwScale, c.scale);
    EXPECT_EQ(i.dwLength, 5u);
    EXPECT_EQ(i.rcFrame.right, 37);
    EXPECT_EQ(i.rcFrame.bottom, 21);
    EXPECT_EQ(AVIStreamInfo(stream, &i, 100), AVIERR_BUFFERTOOSMALL);
    PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
    EXPECT_NE(AVIStreamGetFrame(getter, 4), nullptr);
    EXPECT_EQ(AVIStreamGetFrame(getter, 5), nullptr);
    EXPECT_EQ(AVIStreamGetFrame(getter, -1), nullptr);
    AVIStreamGetFrameClose(getter);
    AVIStreamRelease(stream);
    const auto layout = avifile::ScanRiff(path("c.avi"));
    ASSERT_TRUE(layout && layout->avihData.size() >= 4);
    DWORD microseconds = 0;
    std::memcpy(&microseconds, layout->avihData.data(), 4);
    EXPECT_EQ(microseconds, c.microseconds);
  }
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
  const auto read = [file](FOURCC code) {
    std::vector<BYTE> buffer(4096);
    LONG size = LONG(buffer.size());
    const HRESULT r = AVIFileReadData(file, code, buffer.data(), &size);
    buffer.resize(r == AVIERR_OK ? std::size_t(size) : 0);
    return buffer;
  };
  EXPECT_EQ(read(MakeFourCC('t', 't', 'l', 's')), ttls);
  EXPECT_EQ(read(MakeFourCC('m', 'a', 'r', 'k')), std::vector<BYTE>(marker, marker + 5));
  EXPECT_TRUE(read(MakeFourCC('n', 'o', 'n', 'e')).empty());
  PAVISTREAM stream = nullptr;
  ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
  AVIFileRelease(file);
  PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
  EXPECT_NE(AVIStreamGetFrame(getter, 4), nullptr);
  AVIStreamGetFrameClose(getter);
  AVIStreamRelease(stream);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A grey baseline JPEG of side x side pixels, every 8 x 8 block flat: one-code Huffman tables
// make each block two zero bits, so 16000 x 16000 pixels take a megabyte.
std::string FlatGreyJpeg(WORD side) {
  const auto segment = [](int marker, const std::string& data) {
    const std::size_t n = data.size() + 2;
    return std::string{'\xFF', char(marker), char(n >> 8), char(n & 0xFF)} + data;
  };
  const auto be16 = [](WORD v) { return std::string{char(v >> 8), char(v & 0xFF)}; };
  const std::string oneCode = std::string(1, '\x01') + std::string(15, '\0') + '\0';
  return std::string("\xFF\xD8") + segment(0xDB, '\0' + std::string(64, '\x01')) +
         segment(0xC0, '\x08' + be16(side) + be16(side) + std::string("\x01\x01\x11\x00", 4)) +
         segment(0xC4, '\x00' + oneCode) + segment(0xC4, '\x10' + oneCode) +
         segment(0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6)) +
         std::string(std::size_t(side / 8) * (side / 8) / 4, '\0') + "\xFF\xD9";
}

// A picture is decoded only when its DIB fits the frame budget: 16000 x 16000 would take 768 MB
// as a DIB and more in the decoder. The clip stream refuses such a clip with a message from its
// headers alone (see the display tests); the getter never builds the picture.
TEST_F(AviFileTest, PictureBeyondTheFrameBudgetFailsBeforeItIsAllocated) {
  constexpr WORD kSide = 16000;
  static_assert(!FrameSizeAllowed(kSide, kSide) && FrameSizeAllowed(kSide, 4000));
  std::ofstream(path("big.jpg"), std::ios::binary) << FlatGreyJpeg(kSide);
  ASSERT_TRUE(avitest::Run("ffmpeg -nostdin -v error -f mjpeg -i " +
                           avitest::Quote(path("big.jpg")) + " -c:v copy -y " +
                           avitest::Quote(path("c.avi"))));
  PAVISTREAM stream = clipkit::OpenVideoStream(path("c.avi"));
  ASSERT_TRUE(stream);
  // The decoder refuses the stream's size when it opens, or else the picture's.
  PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
  EXPECT_EQ(getter ? AVIStreamGetFrame(getter, 0) : nullptr, nullptr);
  AVIStreamGetFrameClose(getter);
  LONG bytesRead = 0, samples = 0;
  EXPECT_NE(stream->Read(0, 1, nullptr, 0, &bytesRead, &samples), AVIERR_OK);
  AVIStreamRelease(stream);
}

TEST_F(AviFileTest, FrameThatCannotBeDecodedGivesNullAndTheOthersStillDecode) {
  ASSERT_EQ(clipkit::WriteClip(path("c.avi"), {.codec = AviCodec::Mjpeg, .frames = 4}), AVIERR_OK);
  // Zero the third frame's JPEG data: no marker is left to decode.
  std::string bytes = ReadBytes(path("c.avi"));
  std::size_t at = bytes.find("movi");
  for (int chunk = 0; chunk < 3; ++chunk) at = bytes.find("00dc", at + 4);
  ASSERT_NE(at, std::string::npos);
  DWORD size = 0;
  std::memcpy(&size, bytes.data() + at + 4, 4);
  std::fill_n(bytes.begin() + std::ptrdiff_t(at + 8), size, '\0');
  std::ofstream(path("c.avi"), std::ios::binary) << bytes;
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
