#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

#include "ClipKit.h"
#include "TestSupport.h"
#include "clip/AviStream.h"
#include "clip/RIFFChunk.h"
#include "descriptors/CameraHeader.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorStore.h"

namespace {

const FOURCC kMarker = MakeFourCC('\x92', '\x01', 0, 0);

QByteArray contents(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

void put32(QByteArray& bytes, int at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = char(v >> (8 * i));
}

class ClipDescriptorTest : public ::testing::Test {
 protected:
  // A real clip of three 32 x 24 frames at rate / scale frames per second.
  QString clip(const QString& name, DWORD rate = 25, DWORD scale = 1) {
    const QString path = dir.filePath(name);
    EXPECT_EQ(clipkit::WriteClip(path.toStdString(), {.rate = rate, .scale = scale, .frames = 3}),
              AVIERR_OK);
    return path;
  }
  static void append(const QString& path, FOURCC id, const std::string& data) {
    ASSERT_TRUE(clipkit::AppendRiffChunk(path.toStdString(), id, data.data(), DWORD(data.size())));
  }
  static void appendMarker(const QString& path, float timeOfFrame0) {
    ASSERT_TRUE(clipkit::AppendRiffChunk(path.toStdString(), kMarker, &timeOfFrame0, 4));
  }
  // The camera header side file of clipPath, cut to `size` bytes.
  static void cameraHeader(const QString& clipPath, std::int32_t storedMark, std::uint32_t rate,
                           const char* signature = "ST", int size = 44 + 808) {
    QByteArray bytes(44 + 808, '\0');
    bytes.replace(0, 2, "CI");
    put32(bytes, 16, std::uint32_t(storedMark));
    put32(bytes, 28, 44);
    bytes.replace(44 + 140, 2, signature);
    put32(bytes, 44 + 768, rate);
    testsupport::writeFile(CameraHeaderPath(clipPath), bytes.left(size));
  }
  // The packed DIBs of the clip's three frames; empty when one cannot be read.
  std::vector<QByteArray> frames(const QString& path) {
    stream.Open(path);
    std::vector<QByteArray> all;
    if (!stream.GetFrameOpen(getter)) return all;
    int size = 0;
    const BITMAPINFOHEADER* bitmap = nullptr;
    for (int f = 0; f < 3; ++f) {
      if (!stream.GetFrame(getter, f, size, bitmap)) return {};
      all.emplace_back(reinterpret_cast<const char*>(bitmap), size);
    }
    return all;
  }
  QTemporaryDir dir;
  TAVISTREAM stream{QStringLiteral("AVI")};
  PGETFRAME getter = nullptr;
};

TEST_F(ClipDescriptorTest, TtlsChunkWinsOverMarkerAndCameraHeaderWhenItFits2048Bytes) {
  const std::string text = "[Titles]\rDescription=sled\r", full(2048, 'x');
  const struct {
    std::string stored, read;
  } cases[] = {{text + '\0' + "junk", text}, {full, full}, {std::string(2050, 'x'), ""}};
  for (const auto& c : cases) {
    const QString path = clip(QStringLiteral("c%1.avi").arg(c.stored.size()));
    appendMarker(path, -4);
    append(path, ChunkCode("ttls"), c.stored);
    cameraHeader(path, -3, 2000);
    const TClipDescriptor d = ReadClipDescriptor(path);
    EXPECT_EQ(d.text, c.read) << c.stored.size();
    EXPECT_FALSE(d.changed);
  }
}

TEST_F(ClipDescriptorTest, MarkerChunkGivesTimingWithTheStreamsFractionalRate) {
  const QString path = clip(QStringLiteral("marker.avi"), 30000, 1001);
  appendMarker(path, -12.5f);
  const TClipDescriptor d = ReadClipDescriptor(path);
  EXPECT_EQ(d.text,
            "[Timing]\rFrame Rate=29.97002997003\rMark Frame=0\rTime at Mark Frame=-12.5\r");
  EXPECT_FALSE(d.changed);
  // A stream header of other than 56 bytes gives no rate, hence no timing.
  QByteArray bytes = contents(path);
  put32(bytes, int(bytes.indexOf("strh")) + 4, 0x30);
  testsupport::writeFile(path, bytes);
  EXPECT_EQ(ReadClipDescriptor(path).text, "");
}

TEST_F(ClipDescriptorTest, CameraHeaderGivesTimingMarkedChangedUnlessShortWronglySignedOrRateless) {
  const QString path = clip(QStringLiteral("run7.avi"));
  cameraHeader(path, -25, 4500);
  const TClipDescriptor d = ReadClipDescriptor(path);
  EXPECT_EQ(d.text, "[Timing]\rFrame Rate=4500\rMark Frame=25\rTime at Mark Frame=0\r");
  EXPECT_TRUE(d.changed);
  EXPECT_FALSE(ReadCameraHeader(dir.filePath(QStringLiteral("none.avi"))));
  // A FIFO in the side file's place would block the open until someone writes to it.
  const QString fifo = dir.filePath(QStringLiteral("pipe.avi"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(CameraHeaderPath(fifo)).constData(), 0600), 0);
  EXPECT_FALSE(ReadCameraHeader(fifo));
  const struct {
    std::uint32_t rate;
    const char* signature;
    int size;
  } refused[] = {{0, "ST", 852}, {30, "SX", 852}, {30, "ST", 800}, {30, "ST", 2}};
  for (const auto& c : refused) {
    cameraHeader(path, 0, c.rate, c.signature, c.size);
    EXPECT_FALSE(ReadCameraHeader(path)) << c.rate << c.signature << c.size;
  }
  cameraHeader(path, INT32_MIN, 30);
  const auto t = ReadCameraHeader(path);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->markFrame, INT32_MIN);  // wraps, no overflow
  // A file that is not RIFF at all still finds its camera header.
  testsupport::writeFile(path, "not a riff file");
  EXPECT_TRUE(ReadClipDescriptor(path).changed);
}

TEST_F(ClipDescriptorTest, StoredTextIsAppendedOnceThenRewrittenInPlaceAndTheClipStillPlays) {
  const QString path = clip(QStringLiteral("run7.avi"));
  const qint64 before = QFile(path).size();
  const std::vector<QByteArray> original = frames(path);
  ASSERT_EQ(original.size(), 3u);
  ASSERT_TRUE(StoreDescriptor(stream, getter, path, "[Titles]\rDescription=first\r"));
  EXPECT_EQ(getter, nullptr);
  EXPECT_FALSE(stream.Opened());
  EXPECT_EQ(QFile(path).size(), before + 2056);
  EXPECT_EQ(ReadClipDescriptor(path).text, "[Titles]\rDescription=first\r");
  EXPECT_EQ(frames(path), original);

  const std::string full(2048, 'z');
  ASSERT_TRUE(StoreDescriptor(stream, getter, path, full));
  ASSERT_TRUE(StoreDescriptor(stream, getter, path, "[Titles]\rA=b\r"));
  EXPECT_EQ(QFile(path).size(), before + 2056);
  const TClipDescriptor d = ReadClipDescriptor(path);
  EXPECT_EQ(d.text, "[Titles]\rA=b\r");  // the zero padding ends the shorter text
  EXPECT_FALSE(d.changed);
  EXPECT_EQ(frames(path), original);
}

// Another program's "ttls" of another size once cut the text, or hid it past 2048 bytes, and a
// text over 2048 bytes lost its end; each write still reported success.
TEST_F(ClipDescriptorTest, StoringGivesTheWholeTextBackOrFailsWithItsReasonLeavingTheFile) {
  const std::string text =
      "[Timing]\rFrame Rate=500\r[Titles]\rDescription=" + std::string(1900, 'd') +
      "\rOperator=kim\r";
  for (int stored : {16, 15, 4096, 2050, 8000}) {
    const QString path = clip(QStringLiteral("other%1.avi").arg(stored));
    const std::vector<QByteArray> original = frames(path);
    append(path, ChunkCode("ttls"), std::string(std::size_t(stored), 'o'));
    TWriteFailure why = TWriteFailure::DiskFull;
    EXPECT_TRUE(StoreDescriptor(stream, getter, path, text, &why)) << stored;
    EXPECT_EQ(why, TWriteFailure::None);
    EXPECT_EQ(ReadClipDescriptor(path).text, text) << stored;
    EXPECT_EQ(frames(path), original) << stored;
  }

  const QString path = clip(QStringLiteral("refused.avi"));
  const QString fifo = dir.filePath(QStringLiteral("pipe.avi"));
  ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  const struct {
    QString path;
    std::string text;
    TWriteFailure why;
  } refused[] = {
      {path, std::string(2049, 'z'), TWriteFailure::TooLong},
      {dir.filePath(QStringLiteral("gone.avi")), "x", TWriteFailure::NoSuchFile},
      {dir.path(), "x", TWriteFailure::Folder},
      {fifo, "x", TWriteFailure::NotAFile},
  };
  const QByteArray bytes = contents(path);
  for (const auto& c : refused) {
    TWriteFailure why = TWriteFailure::None;
    EXPECT_FALSE(StoreDescriptor(stream, getter, c.path, c.text, &why)) << c.path.toStdString();
    EXPECT_EQ(why, c.why) << c.path.toStdString();
  }
  EXPECT_EQ(contents(path), bytes);
  testsupport::writeFile(path, "not a riff file");
  TWriteFailure why = TWriteFailure::None;
  EXPECT_FALSE(StoreDescriptor(stream, getter, path, "x", &why));
  EXPECT_EQ(why, TWriteFailure::NotRiff);
}

}  // namespace
