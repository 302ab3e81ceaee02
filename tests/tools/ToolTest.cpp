#include <gtest/gtest.h>

#include <sys/resource.h>

#include "AviBytes.h"
#include "RiffFiles.h"
#include "ToolRunner.h"

namespace {

using avibytes::RawClip;

// The bytes at `offset` past the data start of the first chunk `id`, overwritten.
QByteArray Patched(QByteArray file, const char* id, int offset, const QByteArray& bytes) {
  const qsizetype at = file.indexOf(QByteArray(id, 4)) + 8 + offset;
  return file.replace(at, bytes.size(), bytes);
}

class ToolTest : public ::testing::Test {
 protected:
  QString Clip(const RawClip& c, const QString& name = "clip.avi") {
    return files_.Write(avibytes::RawAvi(c), name);
  }
  RiffFiles files_;
};

TEST_F(ToolTest, InfoReportsStreamFrameAndChunkFacts) {
  RawClip plain;
  const ToolRun a = RunTool({"info", Clip(plain)});
  ASSERT_EQ(a.exitCode, 0) << a.err.constData();
  const QJsonObject info = Json(a),
                    expected{{"frames", 3},    {"width", 8},        {"height", 4},
                             {"bitCount", 24}, {"handler", "DIB "}, {"rate", 25},
                             {"scale", 1},     {"hasTtls", false},  {"hasMarker", false}};
  for (auto it = expected.begin(); it != expected.end(); ++it)
    EXPECT_EQ(info[it.key()], it.value()) << it.key().toStdString();

  // Text from the file goes out verbatim, never taken for a placeholder of other members.
  const QString odd = files_.Write(Patched(avibytes::RawAvi(plain), "strh", 4, "%1%9"), "o.avi");
  const QJsonObject oddInfo = Json(RunTool({"info", odd}));
  EXPECT_EQ(oddInfo["handler"].toString(), "%1%9");
  EXPECT_EQ(oddInfo["rate"].toInt(), 25);
  EXPECT_FALSE(oddInfo["hasMarker"].toBool(true));

  RawClip marked;
  marked.bitCount = 8;
  marked.extraChunks = {avibytes::Chunk("ttls", QByteArray(2048, '\0')),
                        avibytes::Chunk("\x90\x01mk", QByteArray("\0\0\x80\x3f", 4))};
  const ToolRun b = RunTool({"info", Clip(marked, "m.mav")});
  ASSERT_EQ(b.exitCode, 0) << b.err.constData();
  EXPECT_EQ(Json(b)["bitCount"].toInt(), 8);
  EXPECT_TRUE(Json(b)["hasTtls"].toBool());
  EXPECT_TRUE(Json(b)["hasMarker"].toBool());
}

TEST_F(ToolTest, FrameIsWrittenAsBitmapFileOfTheDrawnDib) {
  for (int bitCount : {24, 8}) {
    RawClip c;
    c.bitCount = bitCount;
    const QString bmp = files_.Path(QString("f%1.bmp").arg(bitCount));
    const ToolRun r = RunTool({"frame", Clip(c), "1", bmp});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QByteArray file = RiffFiles::Read(bmp);
    ASSERT_GE(file.size(), 54);
    EXPECT_EQ(file.left(2), "BM");
    EXPECT_EQ(riffbytes::ReadLe32(file, 2), std::uint32_t(file.size()));
    const std::uint32_t offBits = riffbytes::ReadLe32(file, 10);
    EXPECT_EQ(offBits, std::uint32_t(14 + 40 + (bitCount == 8 ? 1024 : 0)));
    EXPECT_EQ(file.mid(offBits), avibytes::FramePixels(c, 1)) << "bit count " << bitCount;
  }
}

TEST_F(ToolTest, ChunksPrintsTheTreeWithFrameRunsSummarised) {
  RawClip c;
  c.extraChunks = {avibytes::Chunk("ttls", "t")};
  const ToolRun r = RunTool({"chunks", Clip(c)});
  ASSERT_EQ(r.exitCode, 0) << r.err.constData();
  const QByteArray expected =
      "RIFF 'AVI ' 8 594\n"
      "  LIST 'hdrl' 20 192\n"
      "    'avih' 32 56\n"
      "    LIST 'strl' 96 116\n"
      "      'strh' 108 56\n"
      "      'strf' 172 40\n"
      "  LIST 'movi' 220 316\n"
      "    '00db' x3 232..440 bytes 288\n"
      "  'idx1' 544 48\n"
      "  'ttls' 600 1\n";
  EXPECT_EQ(r.out, expected);

  // Interleaved streams make one run; codes that are not text are escaped.
  using namespace riffbytes;
  const QByteArray movi = List(
      "movi", Chunk("00dc", "ab") + Chunk("01wb", "c") + Chunk("00dc", "de") + Chunk("JUNK", "x"));
  const QString file = files_.Write(Riff("AVI ", movi + Chunk("\x90\x01mk", "1234")), "i.avi");
  const ToolRun i = RunTool({"chunks", file});
  EXPECT_EQ(i.out,
            "RIFF 'AVI ' 8 68\n"
            "  LIST 'movi' 20 44\n"
            "    '00dc' x2 '01wb' x1 32..52 bytes 5\n"
            "    'JUNK' 62 1\n"
            "  '\\x90\\x01mk' 72 4\n");
}

// The checksum covers the pixels in fetch order. More frames asked for than the clip has, or
// than the file holds while its header claims 2^31 - 1: the frames that exist are decoded; never
// is a list of them all made first (the tool runs with 2 GB of address space here; that list
// takes 8).
TEST_F(ToolTest, DecodeChecksumCoversTheFramesThatExistInFetchOrderRandomRepeatably) {
  const RawClip c;
  const QByteArray plain = avibytes::RawAvi(c);
  const QByteArray claims = Patched(plain, "strh", 32, riffbytes::Le32(0x7FFFFFFF));
  auto limited = [] {
#ifndef __SANITIZE_ADDRESS__  // the sanitizer's shadow memory alone takes terabytes of addresses
    const rlimit memory{rlim_t(2) << 30, rlim_t(2) << 30};
    setrlimit(RLIMIT_AS, &memory);
#endif
  };
  struct Case {
    const QByteArray* file;
    const char* order;
    const char* count;  // null: every frame
    std::initializer_list<int> frames;
  } cases[] = {
      {&plain, "forward", nullptr, {0, 1, 2}},
      {&plain, "reverse", "2", {2, 1}},
      {&plain, "forward", "10", {0, 1, 2}},
      {&plain, "reverse", "10", {2, 1, 0}},
      {&plain, "forward", "0", {}},
      {&claims, "forward", nullptr, {0, 1, 2}},
      {&claims, "reverse", "10", {2, 1, 0}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.order) + " " + (k.count ? k.count : "all"));
    QStringList args = {"decode", files_.Write(*k.file), "--order", QLatin1String(k.order)};
    if (k.count) args << "--count" << QLatin1String(k.count);
    const ToolRun r = RunTool(args, limited);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QByteArray pixels;
    for (int f : k.frames) pixels += avibytes::FramePixels(c, f);
    EXPECT_EQ(Json(r)["frames"].toInt(), int(k.frames.size()));
    EXPECT_EQ(Json(r)["crc32"].toDouble(), double(BitwiseCrc32(pixels)));
  }
  const QStringList random = {"decode", files_.Write(plain), "--order", "random", "--count", "7"};
  const ToolRun r1 = RunTool(random), r2 = RunTool(random);
  EXPECT_EQ(Json(r1)["frames"].toInt(), 7);
  EXPECT_EQ(Json(r1)["crc32"], Json(r2)["crc32"]);  // repeatable
  EXPECT_GE(Json(r1)["seconds"].toDouble(-1), 0.0);
}

// The tool's frames against the ffmpeg command line's decode of the same file.
TEST_F(ToolTest, DecodeMatchesTheFfmpegCommandLine) {
  if (Ffmpeg().isEmpty()) GTEST_SKIP() << "ffmpeg is not installed";
  const QString clip = files_.Path("testsrc.avi");
  const ToolRun make =
      RunProgram(Ffmpeg(), {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=25",
                            "-frames:v", "6", "-c:v", "rawvideo", "-pix_fmt", "bgr24", "-y", clip});
  ASSERT_EQ(make.exitCode, 0) << make.err.constData();
  // DIB rows run bottom-up; 64 x 3 bytes need no padding.
  const ToolRun reference = RunProgram(Ffmpeg(), {"-v", "error", "-i", clip, "-vf", "vflip", "-f",
                                                  "rawvideo", "-pix_fmt", "bgr24", "-"});
  ASSERT_EQ(reference.exitCode, 0) << reference.err.constData();
  ASSERT_EQ(reference.out.size(), 6 * 64 * 48 * 3);
  const ToolRun decode = RunTool({"decode", clip});
  ASSERT_EQ(decode.exitCode, 0) << decode.err.constData();
  EXPECT_EQ(Json(decode)["frames"].toInt(), 6);
  EXPECT_EQ(Json(decode)["crc32"].toDouble(), double(BitwiseCrc32(reference.out)));
}

}  // namespace
