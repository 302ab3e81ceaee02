// lumetra-tool signals on the demo's signal files: what the graph would be given, end to end.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "ToolRunner.h"

namespace {

QJsonArray Sources(const ToolRun& r) {
  return QJsonDocument::fromJson(r.out).array();
}

TEST(SignalsTool, DiademSetAndCsvColumnGiveTheDemoMotion) {
  QTemporaryDir dir;
  ASSERT_EQ(RunProgram(LUMETRA_DEMO, {dir.path()}).exitCode, 0);

  const ToolRun diadem = RunTool({"signals", dir.filePath("target.dat")});
  ASSERT_EQ(diadem.exitCode, 0) << diadem.err.toStdString();
  const QJsonArray channels = Sources(diadem);
  ASSERT_EQ(channels.size(), 6);
  // X = 300 mm + 1000 mm/s * t from t = -200 ms, one sample a millisecond.
  const QJsonObject x = channels[0].toObject();
  EXPECT_EQ(x["name"].toString(), "Target X");
  EXPECT_EQ(x["yLabel"].toString(), "mm");
  EXPECT_EQ(x["count"].toInt(), 1201);
  EXPECT_EQ(x["interval"].toDouble(), 1.0);
  EXPECT_EQ(x["firstTime"].toDouble(), -200.0);
  EXPECT_EQ(x["min"].toDouble(), 100.0);
  EXPECT_EQ(x["max"].toDouble(), 1300.0);
  EXPECT_EQ(x["first"].toArray(), (QJsonArray{100, 101, 102, 103, 104}));

  // The text file's time column is found and its first value column, Y, is the source.
  const ToolRun csv = RunTool({"signals", dir.filePath("target.csv")});
  ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
  ASSERT_EQ(Sources(csv).size(), 1);
  const QJsonObject y = Sources(csv)[0].toObject();
  EXPECT_TRUE(y["yLabel"].toString().startsWith("Target Y"))
      << y["yLabel"].toString().toStdString();
  EXPECT_EQ(y["count"].toInt(), 1201);
  EXPECT_EQ(y["firstTime"].toDouble(), -200.0);
  EXPECT_EQ(y["interval"].toDouble(), 1.0);
  EXPECT_EQ(y["first"].toArray()[0].toDouble(), 212.0);  // 500 - 1200 * 0.2 - 2400 * 0.2^2 / 2
}

TEST(SignalsTool, FilesWithoutSignalsFailWithTheReason) {
  testsupport::Folder folder;
  const struct {
    const char* name;
    QByteArray bytes;
    const char* message;
  } cases[] = {
      {"titles.txt", "Run 12\r\nTime Accel\r\n", "Not an ASCII Signal File"},
      {"empty.csv", "", "Not an ASCII Signal File"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolRun r = RunTool({"signals", folder.write(c.name, c.bytes)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
  }
  const ToolRun missing = RunTool({"signals", folder.path("none.dat")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_FALSE(missing.err.isEmpty());
}

}  // namespace
