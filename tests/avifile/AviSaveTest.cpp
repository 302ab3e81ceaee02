// Writing and saving clips: every encoder offered round-trips count, size, rate and descriptor,
// lossless ones the pixels (ffmpeg's decoder as the witness); failures leave no file behind.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>

#include "ClipKit.h"
#include "FfmpegReference.h"
#include "platform/avifile/AviFile.h"
#include "platform/avifile/AviSave.h"
#include "platform/avifile/AviSaveOptions.h"
#include "platform/avifile/RiffScan.h"

namespace {

constexpr FOURCC kTtls = MakeFourCC('t', 't', 'l', 's');

struct StreamHolder {
  PAVISTREAM stream;
  explicit StreamHolder(const std::string& path) : stream(clipkit::OpenVideoStream(path)) {}
  ~StreamHolder() { AVIStreamRelease(stream); }
};

std::vector<int>* gPercents = nullptr;
int gCancelAt = -1;
int Record(int percent) {
  if (gPercents) gPercents->push_back(percent);
  return percent == gCancelAt ? 1 : 0;
}

HRESULT Save(const std::string& from, const std::string& to, FOURCC handler, DWORD quality = 9000) {
  StreamHolder source(from);
  AVICOMPRESSOPTIONS options;
  options.fccType = streamtypeVIDEO;
  options.fccHandler = handler;
  options.dwQuality = quality;
  options.dwKeyFrameEvery = 3;
  options.dwFlags = AVICOMPRESSF_VALID | AVICOMPRESSF_KEYFRAMES;
  AVICOMPRESSOPTIONS* list[] = {&options};
  return AVISaveVA(to.c_str(), nullptr, Record, 1, &source.stream, list);
}

// Mean absolute difference per byte between the frames of two clips, as this library decodes
// them; -1 when a frame is missing or the sizes differ.
double MeanDifference(const std::string& a, const std::string& b, LONG frames) {
  StreamHolder sa(a), sb(b);
  PGETFRAME ga = AVIStreamGetFrameOpen(sa.stream, nullptr);
  PGETFRAME gb = AVIStreamGetFrameOpen(sb.stream, nullptr);
  double sum = 0, count = 0;
  for (LONG f = 0; f < frames; ++f) {
    const auto* da = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(ga, f));
    const auto* db = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(gb, f));
    if (!da || !db || PackedDibSize(da) != PackedDibSize(db)) sum = count = -1;
    if (count < 0) break;
    const BYTE* pa = reinterpret_cast<const BYTE*>(da) + da->biSize;
    const BYTE* pb = reinterpret_cast<const BYTE*>(db) + db->biSize;
    for (DWORD i = 0; i < da->biSizeImage; ++i, ++count) sum += std::abs(pa[i] - pb[i]);
  }
  AVIStreamGetFrameClose(ga);
  AVIStreamGetFrameClose(gb);
  return count <= 0 ? -1 : sum / count;
}

TEST(AviSave, EveryEncoderKeepsCountSizeRateAndDescriptorAndLosslessOnesThePixels) {
  QTemporaryDir dir;
  const std::string source = dir.filePath("source.avi").toStdString();
  ASSERT_EQ(clipkit::WriteClip(source, {.width = 32, .height = 24, .rate = 10000, .frames = 6}),
            AVIERR_OK);
  std::string descriptor = "[Timing]\rFrame Rate=10000\r";
  descriptor.resize(2048, '\0');
  ASSERT_TRUE(clipkit::AppendRiffChunk(source, kTtls, descriptor.data(), 2048));
  const auto reference = avitest::FfmpegPictures(source, "bgr24", 32, 24);
  ASSERT_EQ(reference.size(), 6u);
  ASSERT_GE(avifile::AvailableEncoders().size(), 2u);
  for (const avifile::EncoderChoice& e : avifile::AvailableEncoders()) {
    SCOPED_TRACE(e.name);
    const std::string saved = dir.filePath("saved.avi").toStdString();
    ASSERT_EQ(Save(source, saved, e.handler), AVIERR_OK);
    const auto layout = avifile::ScanRiff(saved);
    ASSERT_TRUE(layout && layout->streams.size() == 1);
    EXPECT_EQ(avifile::AviCodecFromHandler(layout->streams[0].header().fccHandler),
              avifile::AviCodecFromHandler(e.handler));
    StreamHolder back(saved);
    AVISTREAMINFOA info{};
    ASSERT_EQ(AVIStreamInfo(back.stream, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.dwLength, 6u);
    EXPECT_EQ(info.dwRate / info.dwScale, 10000u);
    EXPECT_EQ(info.rcFrame.right, 32);
    EXPECT_EQ(info.rcFrame.bottom, 24);
    const avifile::ChunkRef* ttls = layout->findTopLevel(kTtls);
    ASSERT_NE(ttls, nullptr);
    std::string copied(2048, 'x');
    avifile::ReadChunkData(saved, *ttls, copied.data(), copied.size());
    EXPECT_EQ(copied, descriptor);
    if (e.lossless) {
      EXPECT_EQ(avitest::FfmpegPictures(saved, "bgr24", 32, 24), reference);
    }
    const double difference = MeanDifference(source, saved, 6);
    EXPECT_GE(difference, 0);
    EXPECT_LT(difference, e.lossless ? 0.001 : 12.0);
    std::remove(saved.c_str());
  }
}

// Both the writer's clip and its raw copy keep the palette, 8 bits and bottom-up rows.
TEST(AviSave, PalettizedClipWrittenAndSavedRawStaysEightBitWithItsPalette) {
  QTemporaryDir dir;
  const std::string source = dir.filePath("p.avi").toStdString();
  const std::string saved = dir.filePath("s.avi").toStdString();
  const std::vector<RGBQUAD> palette = clipkit::ColourPalette();
  ASSERT_EQ(
      clipkit::WriteClip(
          source, {.width = 7, .height = 5, .bitCount = 8, .palette = palette.data(), .frames = 3}),
      AVIERR_OK);
  ASSERT_EQ(Save(source, saved, MakeFourCC('D', 'I', 'B', ' ')), AVIERR_OK);
  for (const std::string& path : {source, saved}) {
    SCOPED_TRACE(path);
    const auto layout = avifile::ScanRiff(path);
    ASSERT_TRUE(layout && layout->streams.size() == 1);
    const avifile::StreamHeaders& s = layout->streams[0];
    EXPECT_EQ(s.header().fccHandler, MakeFourCC('D', 'I', 'B', ' '));
    ASSERT_GE(s.strfData.size(), 40u + 1024u);
    BITMAPINFOHEADER format;
    std::memcpy(&format, s.strfData.data(), sizeof format);
    EXPECT_EQ(format.biHeight, 5);
    EXPECT_EQ(format.biBitCount, 8);
    EXPECT_EQ(std::memcmp(s.strfData.data() + 40, palette.data(), 1024), 0);
  }
  EXPECT_EQ(avitest::FfmpegPictures(saved, "pal8", 7, 5),
            avitest::FfmpegPictures(source, "pal8", 7, 5));
}

TEST(AviSave, ProgressCancelAndFailuresLeaveNoFile) {
  QTemporaryDir dir;
  const std::string source = dir.filePath("ten.avi").toStdString();
  ASSERT_EQ(clipkit::WriteClip(source, {.width = 8, .height = 8, .frames = 10}), AVIERR_OK);
  const FOURCC mjpg = MakeFourCC('M', 'J', 'P', 'G');
  const struct {
    const char* name;
    std::string target;
    FOURCC handler;
    int cancelAt;
    HRESULT result;
    std::vector<int> percents;
  } cases[] = {
      {"runs through", "a.avi", mjpg, -1, AVIERR_OK, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
      {"cancel at 50", "b.avi", mjpg, 50, AVIERR_USERABORT, {0, 10, 20, 30, 40, 50}},
      {"cancel at 0", "c.avi", mjpg, 0, AVIERR_USERABORT, {0}},
      {"handler without encoder",
       "d.avi",
       MakeFourCC('i', 'v', '3', '2'),
       -1,
       AVIERR_NOCOMPRESSOR,
       {}},
      {"missing folder", "no/such/e.avi", mjpg, -1, AVIERR_FILEOPEN, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int> percents;
    gPercents = &percents;
    gCancelAt = c.cancelAt;
    const std::string target = dir.filePath(QString::fromStdString(c.target)).toStdString();
    EXPECT_EQ(Save(source, target, c.handler), c.result);
    EXPECT_EQ(percents, c.percents);
    EXPECT_EQ(QFile::exists(QString::fromStdString(target)), c.result == AVIERR_OK);
  }
  gPercents = nullptr;
  gCancelAt = -1;
  StreamHolder s(source);
  AVICOMPRESSOPTIONS options;
  AVICOMPRESSOPTIONS* list[] = {&options};
  const std::string target = dir.filePath("f.avi").toStdString();
  EXPECT_EQ(AVISaveVA(target.c_str(), nullptr, nullptr, 2, &s.stream, list), AVIERR_BADPARAM);
  EXPECT_EQ(AVISaveVA(target.c_str(), nullptr, nullptr, 1, &s.stream, nullptr), AVIERR_BADPARAM);
}

TEST(AviSaveOptions, PresetHandlerWithoutEncoderPreselectsMjpegAndCancelKeepsTheOptions) {
  AVICOMPRESSOPTIONS options;
  options.fccHandler = MakeFourCC('i', 'v', '3', '2');
  options.dwQuality = 10000;
  AVICOMPRESSOPTIONS* list[] = {&options};
  PAVISTREAM none = nullptr;
  FOURCC offered = 0;
  bool answer = false;
  avifile::SetSaveOptionsAnswererForTesting(
      [&](const avifile::SaveOptionsRequest& request, AVICOMPRESSOPTIONS& chosen) {
        offered = request.preset.fccHandler;
        chosen.fccHandler = MakeFourCC('F', 'F', 'V', '1');
        chosen.dwKeyFrameEvery = 12;
        return answer;
      });
  EXPECT_FALSE(AVISaveOptions(nullptr, 7, 1, &none, list));
  EXPECT_EQ(offered, MakeFourCC('M', 'J', 'P', 'G'));
  EXPECT_EQ(options.fccHandler, MakeFourCC('i', 'v', '3', '2'));
  answer = true;
  EXPECT_TRUE(AVISaveOptions(nullptr, 7, 1, &none, list));
  EXPECT_EQ(options.fccHandler, MakeFourCC('F', 'F', 'V', '1'));
  EXPECT_EQ(options.dwFlags, AVICOMPRESSF_VALID | AVICOMPRESSF_KEYFRAMES);
  avifile::SetSaveOptionsAnswererForTesting({});
}

TEST(AviSaveOptions, HandlerTextsAsTyped) {
  const struct {
    const char* text;
    std::optional<FOURCC> code;
  } cases[] = {
      {"DIB", MakeFourCC('D', 'I', 'B', ' ')},
      {"dib ", MakeFourCC('D', 'I', 'B', ' ')},
      {"mjpg", MakeFourCC('M', 'J', 'P', 'G')},
      {"H264", MakeFourCC('H', '2', '6', '4')},
      {"iv32", std::nullopt},
      {"", std::nullopt},
      {"MJPGX", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(avifile::EncoderHandlerFromText(c.text), c.code) << c.text;
}

TEST(AviWriter, RefusesBadParametersAndMismatchedFrames) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("c.avi").toStdString();
  avifile::AviWriter w;
  BITMAPINFOHEADER dib{};
  EXPECT_EQ(w.writeFrame(&dib), AVIERR_BADHANDLE);
  EXPECT_EQ(w.open(path, 0, 4, 24, nullptr, avifile::AviCodec::Dib, 25, 1, 0, 0), AVIERR_BADPARAM);
  EXPECT_EQ(w.open(path, 4, 4, 16, nullptr, avifile::AviCodec::Dib, 25, 1, 0, 0), AVIERR_BADPARAM);
  EXPECT_EQ(w.open(path, 4, 4, 24, nullptr, avifile::AviCodec::Dib, 0, 1, 0, 0), AVIERR_BADPARAM);
  ASSERT_EQ(w.open(path, 4, 4, 24, nullptr, avifile::AviCodec::H264, 25, 1, 0, 0), AVIERR_OK);
  dib = BITMAPINFOHEADER{40, 5, 4, 1, 24, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(w.writeFrame(&dib), AVIERR_BADFORMAT);
  EXPECT_EQ(w.writeDroppedFrame(), AVIERR_UNSUPPORTED);
  EXPECT_EQ(w.close(), AVIERR_OK);
  EXPECT_EQ(w.close(), AVIERR_BADHANDLE);
}

TEST(AviWriter, DibsInEitherRowOrderGiveTheSamePicture) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("c.avi").toStdString();
  const std::vector<BYTE> rows = clipkit::PatternRows(6, 3, 24, 4);  // top-down, 20-byte rows
  std::vector<BYTE> bottomUp(40), topDown(40);
  BITMAPINFOHEADER h{40, 6, 3, 1, 24, 0, 0, 0, 0, 0, 0};
  std::memcpy(bottomUp.data(), &h, 40);
  h.biHeight = -3;
  std::memcpy(topDown.data(), &h, 40);
  topDown.insert(topDown.end(), rows.begin(), rows.end());
  for (int y = 2; y >= 0; --y)
    bottomUp.insert(bottomUp.end(), rows.begin() + y * 20, rows.begin() + (y + 1) * 20);
  avifile::AviWriter w;
  ASSERT_EQ(w.open(path, 6, 3, 24, nullptr, avifile::AviCodec::Ffv1, 25, 1, 0, 0), AVIERR_OK);
  ASSERT_EQ(w.writeFrame(reinterpret_cast<const BITMAPINFOHEADER*>(bottomUp.data())), AVIERR_OK);
  ASSERT_EQ(w.writeFrame(reinterpret_cast<const BITMAPINFOHEADER*>(topDown.data())), AVIERR_OK);
  ASSERT_EQ(w.close(), AVIERR_OK);
  const auto pictures = avitest::FfmpegPictures(path, "bgr24", 6, 3);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0], pictures[1]);
  for (int y = 0; y < 3; ++y)
    EXPECT_EQ(std::memcmp(pictures[0].data() + y * 18, rows.data() + y * 20, 18), 0) << y;
}

}  // namespace
