// The writer kit: parameters it refuses, what it stores in the headers, frames given as DIBs.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>

#include "ClipKit.h"
#include "FfmpegReference.h"
#include "platform/avifile/AviFile.h"
#include "platform/avifile/RiffScan.h"

namespace {

using avifile::AviCodec;
using avifile::AviWriter;

TEST(AviWriter, RefusesBadParametersAndMismatchedFrames) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("c.avi").toStdString();
  AviWriter w;
  BITMAPINFOHEADER dib{};
  EXPECT_EQ(w.writeFrame(&dib), AVIERR_BADHANDLE);
  EXPECT_EQ(w.open(path, 0, 4, 24, nullptr, AviCodec::Dib, 25, 1, 0, 0), AVIERR_BADPARAM);
  EXPECT_EQ(w.open(path, 4, 4, 16, nullptr, AviCodec::Dib, 25, 1, 0, 0), AVIERR_BADPARAM);
  EXPECT_EQ(w.open(path, 4, 4, 24, nullptr, AviCodec::Dib, 0, 1, 0, 0), AVIERR_BADPARAM);
  ASSERT_EQ(w.open(path, 4, 4, 24, nullptr, AviCodec::H264, 25, 1, 0, 0), AVIERR_OK);
  dib = BITMAPINFOHEADER{40, 5, 4, 1, 24, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(w.writeFrame(&dib), AVIERR_BADFORMAT);
  EXPECT_EQ(w.writeDroppedFrame(), AVIERR_UNSUPPORTED);
  EXPECT_EQ(w.close(), AVIERR_OK);
  EXPECT_EQ(w.close(), AVIERR_BADHANDLE);
}

TEST(AviWriter, UncompressedPalettizedClipKeepsItsPaletteAndRowOrder) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("c.avi").toStdString();
  const std::vector<RGBQUAD> palette = clipkit::ColourPalette();
  ASSERT_EQ(
      clipkit::WriteClip(path, {.width = 5, .height = 3, .bitCount = 8, .palette = palette.data()}),
      AVIERR_OK);
  const auto layout = avifile::ScanRiff(path);
  ASSERT_TRUE(layout && layout->streams.size() == 1);
  const avifile::StreamHeaders& s = layout->streams[0];
  EXPECT_EQ(s.header().fccHandler, MakeFourCC('D', 'I', 'B', ' '));
  ASSERT_GE(s.strfData.size(), 40u + 1024u);
  BITMAPINFOHEADER format;
  std::memcpy(&format, s.strfData.data(), sizeof format);
  EXPECT_EQ(format.biHeight, 3);  // bottom-up, as DIBs are
  EXPECT_EQ(format.biBitCount, 8);
  EXPECT_EQ(std::memcmp(s.strfData.data() + 40, palette.data(), 1024), 0);
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
  AviWriter w;
  ASSERT_EQ(w.open(path, 6, 3, 24, nullptr, AviCodec::Ffv1, 25, 1, 0, 0), AVIERR_OK);
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
