#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>

#include "RiffKit.h"
#include "TestSupport.h"
#include "descriptors/CameraHeader.h"
#include "descriptors/ClipDescriptor.h"

namespace {

std::string streamHeader(std::uint32_t scale, std::uint32_t rate) {
  std::string strh(56, '\0');
  strh.replace(0, 4, "vids");
  strh.replace(20, 4, le32(scale));
  strh.replace(24, 4, le32(rate));
  return strh;
}

std::string floatBytes(float f) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &f, 4);
  return le32(bits);
}

const std::string kMarkerId("\x90\x01\x00\x00", 4);

// A small AVI layout: header list, an empty "movi" and the given top-level chunks after it.
std::string clip(const std::string& strh, const std::string& tail) {
  const std::string hdrl =
      list("LIST", "hdrl",
           chunk("avih", std::string(56, '\0')) + list("LIST", "strl", chunk("strh", strh)));
  return list("RIFF", "AVI ", hdrl + list("LIST", "movi", "") + tail);
}

std::string cameraHeader(std::int32_t storedMark, std::uint32_t rate, const char* sig = "ST") {
  std::string header(44, '\0');
  header.replace(0, 2, "CI");
  header.replace(16, 4, le32(std::uint32_t(storedMark)));
  header.replace(28, 4, le32(44));
  std::string record(808, '\0');
  record.replace(140, 2, sig);
  record.replace(768, 4, le32(rate));
  return header + record;
}

class ClipDescriptorTest : public ::testing::Test {
 protected:
  QString write(const char* name, const std::string& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    testsupport::writeFile(path, QByteArray::fromStdString(bytes));
    return path;
  }
  QTemporaryDir dir;
};

TEST_F(ClipDescriptorTest, TtlsChunkWinsOverTheMarkerChunk) {
  const std::string text = "[Titles]\rDescription=sled\r";
  const QString path =
      write("both.avi", clip(streamHeader(1, 500), chunk(kMarkerId, floatBytes(-4)) +
                                                       chunk("ttls", text + '\0' + "junk")));
  write("bothAVI.chd", cameraHeader(-3, 2000));
  const TClipDescriptor d = ReadClipDescriptor(path);
  EXPECT_EQ(d.text, text);
  EXPECT_FALSE(d.changed);
}

TEST_F(ClipDescriptorTest, TtlsOfExactly2048BytesReadsWholeAndALargerOneGivesNothing) {
  const std::string full(2048, 'x');
  EXPECT_EQ(
      ReadClipDescriptor(write("full.avi", clip(streamHeader(1, 30), chunk("ttls", full)))).text,
      full);
  const QString big =
      write("big.avi", clip(streamHeader(1, 30), chunk("ttls", std::string(2050, 'x')) +
                                                     chunk(kMarkerId, floatBytes(1))));
  write("bigAVI.chd", cameraHeader(0, 500));
  const TClipDescriptor d = ReadClipDescriptor(big);
  EXPECT_EQ(d.text, "");
  EXPECT_FALSE(d.changed);
}

TEST_F(ClipDescriptorTest, MarkerChunkGivesTimingWithTheStreamRate) {
  const QString path =
      write("marker.avi", clip(streamHeader(1001, 30000), chunk(kMarkerId, floatBytes(-12.5f))));
  const TClipDescriptor d = ReadClipDescriptor(path);
  // A fractional rate is kept, not cut to an integer.
  EXPECT_EQ(d.text,
            "[Timing]\rFrame Rate=29.97002997003\rMark Frame=0\rTime at Mark Frame=-12.5\r");
  EXPECT_FALSE(d.changed);
  const QString whole =
      write("whole.avi", clip(streamHeader(1, 500), chunk(kMarkerId, floatBytes(0))));
  EXPECT_EQ(ReadClipDescriptor(whole).text,
            "[Timing]\rFrame Rate=500\rMark Frame=0\rTime at Mark Frame=0\r");
}

TEST_F(ClipDescriptorTest, MarkerNeedsA56ByteStreamHeader) {
  const QString path =
      write("short.avi", clip(std::string(48, '\0'), chunk(kMarkerId, floatBytes(1))));
  EXPECT_EQ(ReadClipDescriptor(path).text, "");
}

TEST_F(ClipDescriptorTest, CameraHeaderGivesTimingAndMarksTheTextChanged) {
  const QString path = write("run7.avi", clip(streamHeader(1, 30), ""));
  write("run7AVI.chd", cameraHeader(-25, 4500));
  const TClipDescriptor d = ReadClipDescriptor(path);
  EXPECT_EQ(d.text, "[Timing]\rFrame Rate=4500\rMark Frame=25\rTime at Mark Frame=0\r");
  EXPECT_TRUE(d.changed);
  // A file that is not RIFF at all still finds its camera header.
  const QString raw = write("raw.avi", "not a riff file");
  write("rawAVI.chd", cameraHeader(0, 1000));
  EXPECT_TRUE(ReadClipDescriptor(raw).changed);
}

TEST_F(ClipDescriptorTest, CameraHeaderIsRefusedWhenShortOrWronglySigned) {
  write("aAVI.chd", cameraHeader(0, 0));
  write("bAVI.chd", cameraHeader(0, 30, "SX"));
  write("cAVI.chd", cameraHeader(0, 30).substr(0, 800));
  write("dAVI.chd", "CI");
  for (const char* name : {"a.avi", "b.avi", "c.avi", "d.avi", "none.avi"})
    EXPECT_FALSE(ReadCameraHeader(dir.filePath(QString::fromLatin1(name)))) << name;
  const auto t = ReadCameraHeader(write("eAVI.chd", cameraHeader(INT32_MIN, 30))
                                      .replace(QStringLiteral("AVI.chd"), QStringLiteral(".avi")));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->markFrame, INT32_MIN);  // wraps, no overflow
}

TEST(CameraHeaderPath, ReplacesTheLastDotPart) {
  EXPECT_EQ(CameraHeaderPath(QStringLiteral("/data/run7.avi")), "/data/run7AVI.chd");
  EXPECT_EQ(CameraHeaderPath(QStringLiteral("/data/run.7.mav")), "/data/run.7AVI.chd");
  EXPECT_EQ(CameraHeaderPath(QStringLiteral(".avi")), "");
  EXPECT_EQ(CameraHeaderPath(QStringLiteral("clip")), "");
}

TEST(DescriptorBlock, PadsWithZerosAndCutsAt2048) {
  const auto block = DescriptorBlock("[Titles]\r");
  EXPECT_EQ(std::string(block.data(), 9), "[Titles]\r");
  EXPECT_EQ(block[9], '\0');
  EXPECT_EQ(block[2047], '\0');
  const auto cut = DescriptorBlock(std::string(3000, 'y'));
  EXPECT_EQ(cut[2047], 'y');
}

}  // namespace
