// Every frame the AVI library decodes equals the ffmpeg command line's decoding of the same
// file, whether frames are read in order, backward or at random.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <numeric>
#include <random>

#include "ClipKit.h"
#include "FfmpegReference.h"
#include "platform/avifile/AviFile.h"
#include "platform/avifile/DecodingFrameGetter.h"

namespace {

using avitest::Quote;
using clipkit::AviCodec;

struct ClipCase {
  const char* name;
  const char* pixFmt;  // how the reference decodes it
  LONG width, height;
  std::function<bool(const std::string& path)> make;
};

void PrintTo(const ClipCase& c, std::ostream* os) {
  *os << c.name;
}

std::function<bool(const std::string&)> Writer(clipkit::ClipSpec spec) {
  return [spec](const std::string& path) { return clipkit::WriteClip(path, spec) == AVIERR_OK; };
}

clipkit::ClipSpec Spec(LONG w, LONG h, WORD bits, AviCodec codec, LONG frames, DWORD gop = 0) {
  clipkit::ClipSpec s;
  s.width = w, s.height = h, s.bitCount = bits, s.codec = codec, s.frames = frames;
  s.keyFrameEvery = gop;
  return s;
}

std::function<bool(const std::string&)> Ffmpeg(const std::string& size, int frames,
                                               const std::string& output) {
  return [=](const std::string& path) {
    return avitest::Run("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=" + size +
                        ":rate=25 -frames:v " + std::to_string(frames) + " " + output + " -y " +
                        Quote(path));
  };
}

const std::vector<RGBQUAD> kPalette = clipkit::ColourPalette();

clipkit::ClipSpec PaletteSpec() {
  clipkit::ClipSpec s = Spec(37, 21, 8, AviCodec::Dib, 8);
  s.palette = kPalette.data();
  return s;
}

const ClipCase kCases[] = {
    {"RawBgrOddWidth", "bgr24", 37, 21, Writer(Spec(37, 21, 24, AviCodec::Dib, 8))},
    // The command line stores raw rows top-down (a negative height).
    {"RawBgrTopDown", "bgr24", 35, 20, Ffmpeg("35x20", 6, "-c:v rawvideo -pix_fmt bgr24")},
    {"PalettizedOddWidth", "pal8", 37, 21, Writer(PaletteSpec())},
    {"GreyWrittenAsPalettized", "pal8", 33, 20, Writer(Spec(33, 20, 8, AviCodec::Dib, 8))},
    {"GreyY800", "gray", 35, 20, Ffmpeg("35x20", 8, "-pix_fmt gray -c:v rawvideo -vtag Y800")},
    {"MjpegOddWidth", "bgr24", 37, 21, Writer(Spec(37, 21, 24, AviCodec::Mjpeg, 8))},
    {"Ffv1OddWidth", "bgr24", 37, 21, Writer(Spec(37, 21, 24, AviCodec::Ffv1, 12, 4))},
    // Open groups: the B-frames after each key frame belong before it.
    {"Mpeg4BFrames", "bgr24", 48, 32, Writer(Spec(48, 32, 24, AviCodec::Mpeg4, 60, 30))},
    // DivX-style packed B-frames. Large enough that no B-frame is mistaken for a placeholder.
    {"Mpeg4PackedBFrames", "bgr24", 320, 240,
     Ffmpeg("320x240", 40, "-c:v libxvid -bf 2 -g 12 -q:v 4")},
    {"H264KeyEvery250", "bgr24", 64, 48, Writer(Spec(64, 48, 24, AviCodec::H264, 300, 250))},
    {"H264OddWidth", "bgr24", 37, 21, Writer(Spec(37, 21, 24, AviCodec::H264, 30, 10))},
};

enum class Order { InOrder, Backward, Random };

void PrintTo(Order order, std::ostream* os) {
  *os << int(order);
}

class DecodeMatchesFfmpeg : public ::testing::TestWithParam<std::tuple<ClipCase, Order>> {
 protected:
  void SetUp() override {
    const ClipCase& c = std::get<0>(GetParam());
    path_ = dir_.filePath(QStringLiteral("clip.avi")).toStdString();
    ASSERT_TRUE(c.make(path_));
    pictures_ = avitest::FfmpegPictures(path_, c.pixFmt, c.width, c.height);
    slots_ = avitest::FfprobeSlots(path_);
    ASSERT_FALSE(pictures_.empty());
    ASSERT_EQ(pictures_.size(), slots_.size());
  }

  std::vector<LONG> frameOrder(LONG count) const {
    std::vector<LONG> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    if (std::get<1>(GetParam()) == Order::Backward) std::reverse(order.begin(), order.end());
    if (std::get<1>(GetParam()) == Order::Random) {
      // Each jump decodes up to a whole group; a sample keeps long clips quick.
      std::shuffle(order.begin(), order.end(), std::mt19937(7));
      order.resize(std::min<std::size_t>(order.size(), 60));
    }
    return order;
  }

  QTemporaryDir dir_;
  std::string path_;
  std::vector<avitest::Picture> pictures_;
  std::vector<LONG> slots_;
};

TEST_P(DecodeMatchesFfmpeg, EveryFrame) {
  const ClipCase& c = std::get<0>(GetParam());
  PAVIFILE file = nullptr;
  ASSERT_EQ(AVIFileOpenA(&file, path_.c_str(), OF_READ, nullptr), AVIERR_OK);
  PAVISTREAM stream = nullptr;
  ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
  AVIFileRelease(file);
  AVISTREAMINFOA info{};
  ASSERT_EQ(AVIStreamInfo(stream, &info, sizeof info), AVIERR_OK);
  // At random, a cache that keeps almost nothing makes every jump decode from a key frame.
  std::unique_ptr<FrameGetter> getter(
      std::get<1>(GetParam()) == Order::Random
          ? avifile::DecodingFrameGetter::Open(path_, 0, LONG(info.dwLength), false, 0).release()
          : AVIStreamGetFrameOpen(stream, nullptr));
  AVIStreamRelease(stream);
  ASSERT_TRUE(getter);
  for (LONG frame : frameOrder(LONG(info.dwLength))) {
    const void* dib = getter->get(frame);
    ASSERT_NE(dib, nullptr) << "frame " << frame;
    const avitest::Picture& expected = pictures_[avitest::PictureForFrame(slots_, frame)];
    ASSERT_TRUE(avitest::DibEquals(dib, expected, c.pixFmt, c.width, c.height))
        << "frame " << frame;
  }
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<ClipCase, Order>>& info) {
  static const char* orders[] = {"InOrder", "Backward", "AtRandom"};
  return std::string(std::get<0>(info.param).name) + "_" + orders[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Clips, DecodeMatchesFfmpeg,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::Values(Order::InOrder, Order::Backward,
                                                              Order::Random)),
                         CaseName);

}  // namespace
