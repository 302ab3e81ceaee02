#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "ClipKit.h"
#include "clip/AviStream.h"
#include "clip/RIFFChunk.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorStore.h"

namespace {

class RealClipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.filePath(QStringLiteral("run7.avi"));
    clipkit::ClipSpec spec;
    spec.frames = 3;
    ASSERT_EQ(clipkit::WriteClip(path.toStdString(), spec), AVIERR_OK);
  }
  bool playsAllFrames(TAVISTREAM& stream, PGETFRAME& getter) {
    stream.Open(path);
    if (!stream.GetFrameOpen(getter)) return false;
    int size = 0;
    const BITMAPINFOHEADER* bitmap = nullptr;
    for (int f = 0; f < 3; ++f)
      if (!stream.GetFrame(getter, f, size, bitmap) || bitmap->biWidth != 32) return false;
    return true;
  }
  QTemporaryDir dir;
  QString path;
};

TEST_F(RealClipTest, StoredTextReadsBackAndTheClipStillPlays) {
  TAVISTREAM stream(QStringLiteral("AVI"));
  PGETFRAME getter = nullptr;
  ASSERT_TRUE(playsAllFrames(stream, getter));
  const std::string text = "[Timing]\rFrame Rate=25\rMark Frame=0\rTime at Mark Frame=0\r";
  ASSERT_TRUE(StoreDescriptor(stream, getter, path, text));
  EXPECT_EQ(getter, nullptr);
  EXPECT_FALSE(stream.Opened());
  EXPECT_EQ(ReadClipDescriptor(path).text, text);
  ASSERT_TRUE(playsAllFrames(stream, getter));
  const qint64 size = QFile(path).size();
  ASSERT_TRUE(StoreDescriptor(stream, getter, path, "[Titles]\rDescription=again\r"));
  EXPECT_EQ(QFile(path).size(), size);  // rewritten in place
  EXPECT_EQ(ReadClipDescriptor(path).text, "[Titles]\rDescription=again\r");
  stream.GetFrameClose(getter);
}

TEST_F(RealClipTest, MarkerChunkOfARecordingGivesItsTiming) {
  ASSERT_TRUE(avifile::PatchStreamRate(path.toStdString(), 0, 1000, 1));
  const float timeOfFrame0 = -25.5f;
  ASSERT_TRUE(clipkit::AppendRiffChunk(path.toStdString(), MakeFourCC('\x92', '\x01', 0, 0),
                                       &timeOfFrame0, 4));
  EXPECT_EQ(ReadClipDescriptor(path).text,
            "[Timing]\rFrame Rate=1000\rMark Frame=0\rTime at Mark Frame=-25.5\r");
  const std::string stored = "[Titles]\rDescription=stored\r";
  ASSERT_TRUE(clipkit::AppendRiffChunk(path.toStdString(), ChunkCode("ttls"), stored.data(),
                                       DWORD(stored.size())));
  EXPECT_EQ(ReadClipDescriptor(path).text, stored);
}

}  // namespace
