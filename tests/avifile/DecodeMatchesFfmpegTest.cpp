// Every frame the AVI library decodes equals the ffmpeg command line's decoding of the same
// file, whether frames are read in order, backward or at random; frame N is the N-th picture of
// the stream whatever its header claims, and frames past those the file holds fail.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <numeric>
#include <random>

#include "ClipKit.h"
#include "FfmpegReference.h"
#include "platform/avifile/AviFile.h"
#include "platform/avifile/DecodingFrameGetter.h"
#include "platform/avifile/FfmpegFileStream.h"
#include "platform/avifile/RiffEdit.h"

namespace {

using clipkit::AviCodec;
using clipkit::ClipSpec;
using Maker = std::function<bool(const std::string& path)>;

struct ClipCase {
  const char* name;
  const char* pixFmt;  // how the reference decodes it
  LONG width, height;
  LONG frames;  // the frames the file holds, dropped ones included
  Maker make;
  bool always24 = false;  // asks the getter for 24-bit pictures
  LONG start = 0;         // the header's first frame number, which ffprobe adds to its own
};

bool HasLength(const std::string& path, LONG frames) {
  PAVISTREAM stream = clipkit::OpenVideoStream(path);
  AVISTREAMINFOA info{};
  const bool ok = stream && AVIStreamInfo(stream, &info, sizeof info) == AVIERR_OK &&
                  LONG(info.dwLength) == frames;
  if (stream) AVIStreamRelease(stream);
  return ok;
}

// Every frame written, dropped ones too, counts; `expectedSlots`, when given, are the chunks
// with data ffprobe must see.
Maker Writer(ClipSpec spec, std::vector<LONG> expectedSlots = {}) {
  return [=](const std::string& path) {
    return clipkit::WriteClip(path, spec) == AVIERR_OK && HasLength(path, spec.frames) &&
           (expectedSlots.empty() || avitest::FfprobeSlots(path) == expectedSlots);
  };
}

Maker NoIndex(Maker make) {
  return [=](const std::string& path) {
    return make(path) && clipkit::RenameTopLevelChunk(path, MakeFourCC('i', 'd', 'x', '1'),
                                                      MakeFourCC('J', 'U', 'N', 'K'));
  };
}

Maker Coded(AviCodec codec, LONG width, LONG height, DWORD keyEvery, LONG frames) {
  return Writer({.width = width,
                 .height = height,
                 .codec = codec,
                 .keyFrameEvery = keyEvery,
                 .frames = frames});
}

Maker Ffmpeg(const std::string& size, int frames, const std::string& output) {
  return [=](const std::string& path) {
    return avitest::Run("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=" + size +
                        ":rate=25 -frames:v " + std::to_string(frames) + " " + output + " -y " +
                        avitest::Quote(path));
  };
}

struct Field {
  std::size_t offset;  // in the stream header
  DWORD value;
};

// A clip whose stream header says what `fields` make it say.
Maker Patched(Maker make, std::vector<Field> fields) {
  return [=](const std::string& path) {
    bool ok = make(path);
    for (const Field& f : fields)
      ok = ok && avifile::PatchStreamHeaderField(path, 0, f.offset, f.value);
    return ok;
  };
}

// What a recorder that stopped before closing the file leaves: RIFF and "movi" sizes of 0, no
// index, no length.
Maker Unfinished(Maker make) {
  return [=](const std::string& path) {
    if (!make(path) || !clipkit::SetRiffSize(path, 0)) return false;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadWrite)) return false;
    const qsizetype movi = file.readAll().indexOf("movi");
    const DWORD zero = 0;
    return movi > 4 && file.seek(movi - 4) &&
           file.write(reinterpret_cast<const char*>(&zero), 4) == 4;
  };
}

constexpr std::size_t kStart = offsetof(AVIStreamHeader, dwStart);
constexpr std::size_t kLength = offsetof(AVIStreamHeader, dwLength);
const Maker kFour = Writer({.width = 9, .height = 6, .frames = 4});

const std::vector<RGBQUAD> kPalette = clipkit::ColourPalette();
const Maker kPalettized =
    Writer({.width = 37, .height = 21, .bitCount = 8, .palette = kPalette.data(), .frames = 8});
// A zero-size chunk is a frame of its own that shows the picture before it; frame 0 has none
// before it and shows the first.
const ClipSpec kDropped{.width = 7, .height = 5, .frames = 9, .dropped = {0, 3, 4, 8}};
const std::vector<LONG> kDroppedSlots{1, 2, 5, 6, 7};

const ClipCase kCases[] = {
    {"RawBgrOddWidth", "bgr24", 37, 21, 8, Writer({.width = 37, .height = 21, .frames = 8})},
    // The command line stores raw rows top-down (a negative height).
    {"RawBgrTopDown", "bgr24", 35, 20, 6, Ffmpeg("35x20", 6, "-c:v rawvideo -pix_fmt bgr24")},
    {"PalettizedOddWidth", "pal8", 37, 21, 8, kPalettized},
    {"PalettizedAsTwentyFourBits", "bgr24", 37, 21, 8, kPalettized, true},
    {"GreyWrittenAsPalettized", "pal8", 33, 20, 8,
     Writer({.width = 33, .height = 20, .bitCount = 8, .frames = 8})},
    {"GreyY800", "gray", 35, 20, 8, Ffmpeg("35x20", 8, "-pix_fmt gray -c:v rawvideo -vtag Y800")},
    {"DroppedFrames", "bgr24", 7, 5, 9, Writer(kDropped, kDroppedSlots)},
    {"DroppedFramesNoIndex", "bgr24", 7, 5, 9, NoIndex(Writer(kDropped, kDroppedSlots))},
    // Headers that lie: numbering starts at 0 whatever the start field says (FFmpeg ignores
    // starts beyond an hour); lengths come from the chunks the file holds.
    {"StartTwo", "bgr24", 9, 6, 4, Patched(kFour, {{kStart, 2}}), false, 2},
    {"StartTwoNoIndex", "bgr24", 9, 6, 4, NoIndex(Patched(kFour, {{kStart, 2}})), false, 2},
    {"StartBeyondAnHour", "bgr24", 9, 6, 4, Patched(kFour, {{kStart, 0xFFFFFFF0}})},
    {"DroppedFramesStartThreeNoIndex", "bgr24", 7, 5, 9,
     NoIndex(Patched(Writer(kDropped), {{kStart, 3}})), false, 3},
    {"LengthTenOverFour", "bgr24", 9, 6, 4, Patched(kFour, {{kLength, 10}})},
    {"LengthZeroNoIndex", "bgr24", 9, 6, 4, NoIndex(Patched(kFour, {{kLength, 0}}))},
    {"UnfinishedRecording", "bgr24", 9, 6, 4, Unfinished(NoIndex(Patched(kFour, {{kLength, 0}})))},
    {"LengthSignBit", "bgr24", 9, 6, 4, Patched(kFour, {{kLength, 0x80000000}})},
    {"LengthLargestLong", "bgr24", 9, 6, 4, NoIndex(Patched(kFour, {{kLength, 0x7FFFFFFF}}))},
    {"MjpegOddWidth", "bgr24", 37, 21, 8, Coded(AviCodec::Mjpeg, 37, 21, 0, 8)},
    {"Ffv1OddWidth", "bgr24", 37, 21, 12, Coded(AviCodec::Ffv1, 37, 21, 4, 12)},
    // Open groups: the B-frames after each key frame belong before it.
    {"Mpeg4BFrames", "bgr24", 48, 32, 60, Coded(AviCodec::Mpeg4, 48, 32, 30, 60)},
    {"Mpeg4NoIndex", "bgr24", 32, 16, 12, NoIndex(Coded(AviCodec::Mpeg4, 32, 16, 5, 12))},
    {"H264StartFive", "bgr24", 32, 16, 30,
     Patched(Coded(AviCodec::H264, 32, 16, 10, 30), {{kStart, 5}}), false, 5},
    // DivX-style packed B-frames. Large enough that no B-frame is mistaken for a placeholder.
    {"Mpeg4PackedBFrames", "bgr24", 320, 240, 40,
     Ffmpeg("320x240", 40, "-c:v libxvid -bf 2 -g 12 -q:v 4")},
    {"H264KeyEvery250", "bgr24", 64, 48, 300, Coded(AviCodec::H264, 64, 48, 250, 300)},
    {"H264OddWidth", "bgr24", 37, 21, 30, Coded(AviCodec::H264, 37, 21, 10, 30)},
};

void PrintTo(const ClipCase& c, std::ostream* out) {
  *out << c.name;
}

class DecodeMatchesFfmpeg : public ::testing::TestWithParam<ClipCase> {};

TEST_P(DecodeMatchesFfmpeg, InOrderBackwardAndAtRandom) {
  const ClipCase& c = GetParam();
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("clip.avi")).toStdString();
  ASSERT_TRUE(c.make(path));
  const auto pictures = avitest::FfmpegPictures(path, c.pixFmt, c.width, c.height);
  std::vector<LONG> chunks = avitest::FfprobeSlots(path);
  for (LONG& chunk : chunks) chunk -= c.start;
  ASSERT_FALSE(pictures.empty());
  ASSERT_EQ(pictures.size(), chunks.size());
  for (const char* order : {"in order", "backward", "at random"}) {
    PAVISTREAM stream = clipkit::OpenVideoStream(path);
    ASSERT_TRUE(stream);
    AVISTREAMINFOA info{};
    ASSERT_EQ(AVIStreamInfo(stream, &info, sizeof info), AVIERR_OK);
    const LONG length = LONG(info.dwLength);
    ASSERT_EQ(length, c.frames) << order;
    std::vector<LONG> frames(std::size_t(length), 0);
    std::iota(frames.begin(), frames.end(), 0);
    const bool random = order[0] == 'a';
    if (order[0] == 'b') std::reverse(frames.begin(), frames.end());
    // Each jump decodes up to a whole group; a sample keeps long clips quick. A cache that
    // keeps almost nothing makes every jump decode from a key frame.
    if (random) std::shuffle(frames.begin(), frames.end(), std::mt19937(7));
    if (random) frames.resize(std::min<std::size_t>(frames.size(), 60));
    BITMAPINFOHEADER wanted{};
    wanted.biBitCount = c.always24 ? 24 : 0;
    std::unique_ptr<FrameGetter> getter(
        random ? avifile::DecodingFrameGetter::Open(
                     dynamic_cast<avifile::FfmpegFileStream&>(*stream).place(), c.always24, 0)
                     .release()
               : AVIStreamGetFrameOpen(stream, &wanted));
    AVIStreamRelease(stream);
    ASSERT_TRUE(getter);
    for (LONG frame : frames) {
      const void* dib = getter->get(frame);
      ASSERT_NE(dib, nullptr) << order << " frame " << frame;
      ASSERT_TRUE(avitest::DibEquals(dib, pictures[avitest::PictureForFrame(chunks, frame)],
                                     c.pixFmt, c.width, c.height))
          << order << " frame " << frame;
    }
    for (LONG frame : {length, length + 1, length + 6})
      EXPECT_EQ(getter->get(frame), nullptr) << order << " frame " << frame;
  }
}

INSTANTIATE_TEST_SUITE_P(Clips, DecodeMatchesFfmpeg, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
