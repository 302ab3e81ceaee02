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
  const QJsonObject x = channels[0].toObject(),
                    expected{{"name", "Target X"}, {"yLabel", "mm"},
                             {"count", 1201},      {"interval", 1},
                             {"firstTime", -200},  {"min", 100},
                             {"max", 1300},        {"first", QJsonArray{100, 101, 102, 103, 104}}};
  for (auto it = expected.begin(); it != expected.end(); ++it)
    EXPECT_EQ(x[it.key()], it.value()) << it.key().toStdString();

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
    const char* message;
  } cases[] = {
      {"titles.txt", "Not an ASCII Signal File"},
      {"empty.csv", "Not an ASCII Signal File"},
      {"none.dat", ""},  // never written
  };
  folder.write("titles.txt", "Run 12\r\nTime Accel\r\n");
  folder.write("empty.csv", "");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolRun r = RunTool({"signals", folder.path(c.name)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(!r.err.isEmpty() && r.err.contains(c.message)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
  }
}

}  // namespace
