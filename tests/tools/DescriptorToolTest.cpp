#include <gtest/gtest.h>
#include <unistd.h>

#include "AviBytes.h"
#include "RiffFiles.h"
#include "ToolRunner.h"

namespace {

ToolRun Descriptor(const QString& clip, const QStringList& set = {}) {
  return RunTool(QStringList{"descriptor", clip} + set);
}

TEST(DescriptorTool, SetWritesTheChunkBackAndTheClipStillDecodesTheSame) {
  RiffFiles files;
  const QString clip = files.Write(avibytes::RawAvi(avibytes::RawClip{}), "c.avi");
  const ToolRun before = RunTool({"decode", clip});
  ASSERT_EQ(before.exitCode, 0) << before.err.constData();

  const ToolRun fresh = Descriptor(clip);
  ASSERT_EQ(fresh.exitCode, 0) << fresh.err.constData();
  EXPECT_EQ(Json(fresh)["source"].toString(), "none");
  EXPECT_EQ(Json(fresh)["framePeriod"].toDouble(), 1.0);  // 1000 frames/s
  EXPECT_EQ(Json(fresh)["timeDecimals"].toInt(), 2);

  ASSERT_EQ(Descriptor(clip, {"--set", "Timing", "Frame Rate", "29.97"}).exitCode, 0);
  ASSERT_EQ(Descriptor(clip, {"--set", "Timing", "Time at Mark Frame", "-12.5"}).exitCode, 0);
  // Text is written verbatim, never taken for a placeholder of other members.
  const ToolRun after = Descriptor(clip, {"--set", "Titles", "Description", "sled %1 \"%9\""});
  ASSERT_EQ(after.exitCode, 0) << after.err.constData();
  const QJsonObject d = Json(after);
  EXPECT_EQ(d["source"].toString(), "ttls");
  EXPECT_EQ(d["text"].toString(),
            "[Timing]\rFrame Rate=29.97\rTime at Mark Frame=-12.5\r[Titles]\rDescription=sled %1 "
            "\"%9\"\r");
  // 29.97 frames per second survives: the period is that of 29.97, not of 30.
  EXPECT_NEAR(d["framePeriod"].toDouble(), 1000.0 / 29.97, 1e-4);
  EXPECT_EQ(d["timeOffset"].toDouble(), -12.5);
  EXPECT_EQ(d["timeDecimals"].toInt(), 1);
  // Rewriting an existing chunk changes its place in the file only, never the frames.
  EXPECT_EQ(Json(Descriptor(clip)), d);
  const ToolRun decoded = RunTool({"decode", clip});
  EXPECT_EQ(Json(decoded)["crc32"], Json(before)["crc32"]);
  EXPECT_EQ(Json(decoded)["frames"], Json(before)["frames"]);
}

// A store that cannot be made whole is refused with the reason, and the file stays as it was.
TEST(DescriptorTool, StoreRefusalsNameTheReasonAndLeaveTheFile) {
  RiffFiles files;
  const QByteArray clip = avibytes::RawAvi(avibytes::RawClip{});
  const QByteArray multiPart =
      clip + riffbytes::Riff("AVIX", riffbytes::List("movi", riffbytes::Chunk("00db", "x")));
  const struct {
    const QByteArray* file;
    QStringList set;
    const char* reason;
    bool needsNonRoot;
  } cases[] = {
      {&multiPart, {"Titles", "Description", "x"}, "Descriptor Write Failed (a multi-part", false},
      {&clip,
       {"Titles", "Description", QString(2100, u'x')},
       "Descriptor Write Failed (too long",
       false},
      {&clip, {"Titles", "a=b", "x"}, "KEY must not hold", false},
      {&clip, {"Tim]ing", "Frame Rate", "5"}, "SECTION must not hold", false},
      {&clip, {"Titles", " ", "x"}, "KEY must not be empty", false},
      {&clip, {"Titles", "Description", "a\rFrame Rate=5"}, "VALUE must not hold", false},
      {&clip, {"Titles", "Description", "\u20AC"}, "Latin-1", false},
      {&clip, {"Titles", "Description", "x"}, "Descriptor Write Failed (permission denied", true},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.reason);
    if (k.needsNonRoot && geteuid() == 0) continue;  // root writes read-only files
    const QString path = files.Write(*k.file);
    if (k.needsNonRoot) QFile::setPermissions(path, QFileDevice::ReadOwner);
    const ToolRun r = Descriptor(path, QStringList{"--set"} + k.set);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(k.reason)) << r.err.constData();
    EXPECT_EQ(RiffFiles::Read(path), *k.file);
  }
}

}  // namespace
