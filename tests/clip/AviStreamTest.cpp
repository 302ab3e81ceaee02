#include <gtest/gtest.h>

#include "AviBytes.h"
#include "ClipKit.h"
#include "RiffFiles.h"
#include "clip/AviStream.h"
#include "clip/Dib.h"
#include "clip/RIFFChunk.h"
#include "platform/Exception.h"

namespace {

using avibytes::RawClip;

class AviStreamTest : public ::testing::Test {
 protected:
  QString Clip(const RawClip& c, const QString& name = QStringLiteral("clip.avi")) {
    return files_.Write(avibytes::RawAvi(c), name);
  }
  RiffFiles files_;
};

QString OpenError(TAVISTREAM& stream, const QString& path) {
  try {
    stream.Open(path);
  } catch (const Exception& e) {
    return e.message();
  }
  return {};
}

TEST_F(AviStreamTest, MavNamedAviFileOpensAndPlaysLikeAvi) {
  const RawClip shape;
  TAVISTREAM stream(QStringLiteral("Motion Analysis Video"));
  stream.Open(Clip(shape, QStringLiteral("run7.mav")));
  ASSERT_TRUE(stream.Opened());
  EXPECT_NE(stream.CurrentStream(), stream.OwnInterface());
  AVISTREAMINFOA info{};
  ASSERT_TRUE(stream.GetInfo(info));
  EXPECT_EQ(info.fccType, streamtypeVIDEO);
  EXPECT_EQ(info.dwRate, 25u);
  EXPECT_EQ(stream.GetFrameCount(), 3);

  PGETFRAME getter = nullptr;
  ASSERT_TRUE(stream.GetFrameOpen(getter));
  EXPECT_EQ(stream.Width, 0);
  int size = 0;
  const BITMAPINFOHEADER* bitmap = nullptr;
  ASSERT_TRUE(stream.GetFrame(getter, 2, size, bitmap));
  EXPECT_EQ(stream.Width, 8);
  EXPECT_EQ(stream.Height, 4);
  EXPECT_EQ(size, 40 + 8 * 3 * 4);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(DibPixels(bitmap)), 8 * 3 * 4),
            avibytes::FramePixels(shape, 2));
  EXPECT_FALSE(stream.GetFrame(nullptr, 0, size, bitmap));
  stream.GetFrameClose(getter);
  stream.GetFrameClose(nullptr);
}

TEST_F(AviStreamTest, CompressedClipGivesTwentyFourBitFramesOfItsSize) {
  clipkit::ClipSpec spec;
  spec.codec = clipkit::AviCodec::Mjpeg;
  spec.rate = 30;
  const QString path = files_.Path(QStringLiteral("mjpeg.avi"));
  ASSERT_EQ(clipkit::WriteClip(path.toStdString(), spec), AVIERR_OK);
  TAVISTREAM stream(QStringLiteral("AVI"));
  stream.Open(path);
  AVISTREAMINFOA info{};
  ASSERT_TRUE(stream.GetInfo(info));
  EXPECT_EQ(info.fccHandler, MakeFourCC('M', 'J', 'P', 'G'));
  EXPECT_EQ(info.dwRate, 30u);
  EXPECT_EQ(stream.GetFrameCount(), 5);
  PGETFRAME getter = nullptr;
  ASSERT_TRUE(stream.GetFrameOpen(getter));
  for (int frame = 4; frame >= 0; --frame) {
    int size = 0;
    const BITMAPINFOHEADER* bitmap = nullptr;
    ASSERT_TRUE(stream.GetFrame(getter, frame, size, bitmap)) << "frame " << frame;
    EXPECT_EQ(bitmap->biBitCount, 24);
    EXPECT_EQ(size, 40 + 32 * 3 * 24);
  }
  EXPECT_EQ(stream.Width, 32);
  EXPECT_EQ(stream.Height, 24);
  stream.GetFrameClose(getter);
}

TEST_F(AviStreamTest, FileThatIsNotAviRaisesStreamOpenFailed) {
  TAVISTREAM stream(QStringLiteral("AVI"));
  const QString text = files_.Write("just some text, no clip", QStringLiteral("notes.avi"));
  EXPECT_EQ(OpenError(stream, text), QStringLiteral("Stream Open Failed"));
  EXPECT_EQ(OpenError(stream, files_.Path(QStringLiteral("absent.avi"))),
            QStringLiteral("Stream Open Failed"));
  EXPECT_FALSE(stream.Opened());
}

TEST_F(AviStreamTest, FileWithoutVideoLeavesTheStreamUnopened) {
  RawClip audio;
  audio.streamType = "auds";
  TAVISTREAM stream(QStringLiteral("AVI"));
  EXPECT_EQ(OpenError(stream, Clip(audio)), QString());
  EXPECT_FALSE(stream.Opened());
  AVISTREAMINFOA info{};
  EXPECT_FALSE(stream.GetInfo(info));
  EXPECT_EQ(stream.GetFrameCount(), 0);
  PGETFRAME getter = nullptr;
  EXPECT_FALSE(stream.GetFrameOpen(getter));
}

TEST_F(AviStreamTest, ClosedStreamNeedsOpeningAgainBeforeFrameCalls) {
  TAVISTREAM stream(QStringLiteral("AVI"));
  const QString path = Clip(RawClip{});
  stream.Open(path);
  stream.Close();
  EXPECT_FALSE(stream.Opened());
  PGETFRAME getter = nullptr;
  EXPECT_FALSE(stream.GetFrameOpen(getter));
  EXPECT_EQ(stream.GetFrameCount(), 0);
  stream.Open(path);
  EXPECT_EQ(stream.GetFrameCount(), 3);
}

TEST_F(AviStreamTest, DescriptorWrittenThroughTheStreamIsReadBack) {
  TAVISTREAM stream(QStringLiteral("AVI"));
  stream.FileName = Clip(RawClip{});
  QByteArray text(2048, '\0');
  text.replace(0, 9, "[Timing]\r");
  ASSERT_TRUE(stream.WriteChunk(ChunkCode("ttls"), text.constData(), 2048));
  QByteArray back(4096, 'x');
  LONG size = LONG(back.size());
  ASSERT_TRUE(stream.ReadData(ChunkCode("ttls"), back.data(), size));
  EXPECT_EQ(size, 2048);
  EXPECT_EQ(back.left(2048), text);
  stream.Open(stream.FileName);  // the clip still plays
  EXPECT_EQ(stream.GetFrameCount(), 3);

  stream.FileName = files_.Path(QStringLiteral("absent.avi"));
  EXPECT_FALSE(stream.ReadData(ChunkCode("ttls"), back.data(), size));
}

TEST_F(AviStreamTest, TypeTableHasSevenRowsAndTwoVideoTypes) {
  TAVISTREAM stream(QStringLiteral("AVI"));
  ASSERT_EQ(stream.TypeCount(), 7);
  EXPECT_EQ(stream.TypeDescription(1), QStringLiteral("Video Clip File"));
  EXPECT_EQ(stream.TypeFilter(2), QStringLiteral("MAV - Motion Analysis Video|*.mav"));
  EXPECT_EQ(stream.TypeExtension(2), QStringLiteral("mav"));
  EXPECT_EQ(stream.TypeExtension(3), QString());
  EXPECT_EQ(stream.TypeNamePattern(3), QStringLiteral("F%.7d.bmp"));
  EXPECT_EQ(stream.TypeNamePattern(6), QStringLiteral("F%.7d.tif"));
  EXPECT_EQ(stream.TypeFilter(7), QStringLiteral("AMF - Quillon Video File|*.amf"));
  EXPECT_EQ(stream.TypeDescription(8), QString());
  EXPECT_TRUE(TAVISTREAM::IsVideoType(2));
  EXPECT_FALSE(TAVISTREAM::IsVideoType(3));
  stream.FileName = QStringLiteral("/data/tests/run1/cam2.avi");
  EXPECT_EQ(stream.FileNamePart(), QStringLiteral("cam2.avi"));
}

}  // namespace
