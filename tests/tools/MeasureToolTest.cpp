#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "TestSupport.h"
#include "ToolRunner.h"

namespace {

// Two files between them hold every kind, every unit table, both reference modes, a base and
// the blank cells: first sample, missing line ends, moving reference without a sample.
const char* kFixed = R"({"lumetra": "measurements", "version": 1,
 "timing": {"framePeriod": 2, "timeOffset": 0, "timeDecimals": 1},
 "units": {"length": "in", "angle": "rev", "velocity": "mph", "angularVelocity": "rpm"},
 "gage": {"unit": "cm", "factor": 0.05},
 "reference": {"image": [10, 20], "object": null, "point": 0, "base": null},
 "objects": [
  {"name": "P", "kind": "Point", "samples": [{"frame": 3, "points": [[170, 260]]},
    {"frame": 0, "points": [[110, 220]]}, {"frame": 1, "points": [[130, 200]]}]},
  {"name": "L", "kind": "Line", "samples": [{"frame": 0, "points": [[0, 0], [100, 0]]},
    {"frame": 1, "points": [[0, 0], null]}, {"frame": 2, "points": [[0, 0], [0, 100]]}]},
  {"name": "A", "kind": "Angle", "samples": [{"frame": 5, "points": [[0, 0], [10, 0], [5, 5], [5, 15]]},
    {"frame": 7, "points": [[0, 0], [10, 0], [5, 5], [-5, 5]]}]}]})";

const char* kMoving = R"({"lumetra": "measurements", "version": 1,
 "timing": {"framePeriod": 0.5, "timeOffset": -10, "timeDecimals": 2},
 "units": {"length": "mm", "angle": "deg", "velocity": "m/s", "angularVelocity": "deg/s"},
 "gage": {"unit": "mm", "factor": 0.25},
 "reference": {"image": [0, 0], "object": "R", "kind": "Point", "point": 0, "base": [1, 2]},
 "objects": [
  {"name": "Q", "kind": "Point", "samples": [{"frame": 0, "points": [[40, 40]]},
    {"frame": 1, "points": [[44, 40]]}, {"frame": 2, "points": [[48, 52]]}]},
  {"name": "R", "kind": "Point", "samples": [{"frame": 0, "points": [[4, 8]]},
    {"frame": 2, "points": [[8, 8]]}]}]})";

struct Table {
  std::vector<QStringList> lines;
  QString Cell(const QString& name, const QString& caption, const QString& time) const {
    for (qsizetype c = 1; c < lines[0].size(); ++c) {
      if (lines[0][c] != name || lines[1][c] != caption) continue;
      for (std::size_t r = 3; r < lines.size(); ++r)
        if (lines[r][0] == time) return lines[r][c];
      return "<no row>";
    }
    return "<no column>";
  }
};

Table Measure(const testsupport::Folder& folder, const char* json) {
  const ToolRun run = RunTool({"measure", folder.write("m.json", json)});
  EXPECT_EQ(run.exitCode, 0) << run.err.constData();
  Table t;
  for (const QByteArray& line : run.out.split('\n'))
    if (!line.isEmpty()) t.lines.push_back(QString::fromLatin1(line.chopped(1)).split(','));
  EXPECT_GE(t.lines.size(), 3u);
  return t;
}

TEST(MeasureTool, ValuesMatchTheFormulasInEveryUnit) {
  testsupport::Folder folder;
  const double mm = 0.5, in = 25.4, pi = std::acos(-1.0);
  const double mph = 0.0022369362, rpm = 9.549296;
  const Table fixed = Measure(folder, kFixed), moving = Measure(folder, kMoving);
  const struct {
    const Table* table;
    const char *name, *caption, *time;
    std::optional<double> value;
  } cases[] = {
      {&fixed, "P", "U", "6.0", 170},
      {&fixed, "P", "X", "6.0", (170 - 10) * mm / in},
      {&fixed, "P", "Y", "2.0", (200 - 20) * mm / in},
      {&fixed, "P", "X Displacement", "6.0", 60 * mm / in},
      {&fixed, "P", "Abs. Displacement", "6.0", std::hypot(60, 40) * mm / in},
      {&fixed, "P", "X Velocity", "6.0", 40 * mm / 4 * 1000 * mph},
      {&fixed, "P", "Abs. Velocity", "6.0", std::hypot(40, 60) * mm / 4 * 1000 * mph},
      {&fixed, "P", "X Velocity", "0.0", std::nullopt},
      {&fixed, "L", "Abs. Angle", "4.0", 0.25},
      {&fixed, "L", "Abs. Angle", "2.0", std::nullopt},
      {&fixed, "L", "X Displacement2", "4.0", -100 * mm / in},
      {&fixed, "L", "Abs. Velocity2", "4.0", std::nullopt},
      {&fixed, "L", "Ang. Displacement", "4.0", 0.25},
      {&fixed, "L", "Ang. Velocity", "4.0", pi / 2 / 4 * 1000 * rpm},
      {&fixed, "L", "Ang. Velocity", "2.0", std::nullopt},
      {&fixed, "A", "Rel. Angle", "10.0", 0.25},
      {&fixed, "A", "Abs. Angle2", "14.0", 0.5},
      {&fixed, "A", "Ang. Displacement", "14.0", 0.25},
      {&fixed, "A", "Ang. Velocity", "14.0", 0.25 * 2 * pi / 4 * 1000 * rpm},
      {&moving, "Q", "X", "-10.00", (40 - 4) * 0.25 + 1},
      {&moving, "Q", "Y", "-9.00", (52 - 8) * 0.25 + 2},
      {&moving, "Q", "X", "-9.50", std::nullopt},
      {&moving, "Q", "U", "-9.50", 44},
      {&moving, "Q", "X Velocity", "-9.00", std::nullopt},
      {&moving, "Q", "X Displacement", "-9.00", (48 - 8 - 36) * 0.25},
      {&moving, "Q", "Abs. Velocity", "-9.50", std::nullopt},
      {&moving, "R", "X", "-9.00", 1},
  };
  for (const auto& c : cases) {
    const QString cell = c.table->Cell(c.name, c.caption, c.time);
    SCOPED_TRACE(std::string(c.name) + " " + c.caption + " at " + c.time + ": " +
                 cell.toStdString());
    if (!c.value) {
      EXPECT_EQ(cell, "");
      continue;
    }
    bool ok = false;
    const double v = cell.toDouble(&ok);
    ASSERT_TRUE(ok);
    EXPECT_NEAR(v, *c.value, 2e-5 * std::max(1.0, std::fabs(*c.value)));
  }
  // Header rows: names, captions, units; the third starts with an empty time field.
  EXPECT_EQ(fixed.lines[2][0], "");
  EXPECT_EQ(fixed.lines[2][fixed.lines[1].indexOf("Ang. Velocity")], "rpm");
}

TEST(MeasureTool, RefusedFileAndOutFile) {
  testsupport::Folder folder;
  const QByteArray unknown = QByteArray(kMoving).replace("\"object\": \"R\"", "\"object\": \"S\"");
  const ToolRun refused = RunTool({"measure", folder.write("bad.json", unknown)});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains("reference.object")) << refused.err.constData();
  EXPECT_TRUE(refused.out.isEmpty());
  const QString json = folder.write("m.json", kMoving);
  EXPECT_EQ(RunTool({"measure", json, "--out", folder.path("out.csv")}).exitCode, 0);
  EXPECT_EQ(folder.read("out.csv"), RunTool({"measure", json}).out);
}

}  // namespace
