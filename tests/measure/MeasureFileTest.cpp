#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>

#include "SheetFixture.h"
#include "measure/MeasureExport.h"
#include "measure/MeasureFile.h"
#include "platform/Exception.h"

namespace {

const char* kGood = R"({"lumetra": "measurements", "version": 1,
 "timing": {"framePeriod": 0.5, "timeOffset": -10, "timeDecimals": 2},
 "units": {"length": "cm", "angle": "deg", "velocity": "kph", "angularVelocity": "deg/s"},
 "gage": {"unit": "mm", "factor": 0.25},
 "reference": {"image": [100, 50], "object": null, "point": 0, "base": [5, 5]},
 "objects": [
  {"name": "Point 1", "kind": "Point", "samples": [{"frame": 10, "points": [[412.5, 300]]}]},
  {"name": "Line 1", "kind": "Line", "samples": [{"frame": 3, "points": [[0, 0], null]}]},
  {"name": "Angle 1", "kind": "Angle",
   "samples": [{"frame": 4, "points": [[0, 0], [10, 0], [0, 0], [0, 10]]}]}]})";

QByteArray Edited(const char* from, const char* to) {
  QByteArray text(kGood);
  EXPECT_TRUE(text.contains(from)) << from;
  return text.replace(from, to);
}

TEST(MeasureFile, RefusesBrokenFilesNamingThePlace) {
  const struct {
    const char* from;
    const char* to;
    const char* place;
  } cases[] = {
      {"\"kind\": \"Line\"", "\"kind\": \"Area\"", "objects[1].kind"},
      {"\"kph\"", "\"km/h\"", "units.velocity"},
      {"\"angle\": \"deg\"", "\"angle\": \"cm\"", "units.angle"},
      {"\"unit\": \"mm\"", "\"unit\": \"rad\"", "gage.unit"},
      {"\"objects\": [",
       "\"objects\": [{\"name\": \"POINT 1\", \"kind\": \"Point\", \"samples\": []},",
       "objects[1].name"},
      {"\"name\": \"Angle 1\"", "\"name\": \"\"", "objects[2].name"},
      {"[[0, 0], null]", "[[0, 0]]", "objects[1].samples[0].points"},
      {"[[412.5, 300]]", "[null]", "objects[0].samples[0].points[0]"},
      {"[[412.5, 300]]", "[[412.5]]", "objects[0].samples[0].points[0]"},
      {"[[412.5, 300]]", "[[412.5, 1e300]]", "objects[0].samples[0].points[0][1]"},
      {"\"frame\": 3", "\"frame\": -1", "objects[1].samples[0].frame"},
      {"\"frame\": 3", "\"frame\": 2.5", "objects[1].samples[0].frame"},
      {"\"frame\": 3", "\"frame\": 1e12", "objects[1].samples[0].frame"},
      {"\"object\": null", "\"object\": \"Nobody\"", "reference.object"},
      {"\"object\": null, \"point\": 0", "\"object\": \"line 1\", \"point\": 2", "reference.point"},
      {"\"framePeriod\": 0.5", "\"framePeriod\": 0", "timing.framePeriod"},
      {"\"timeDecimals\": 2", "\"timeDecimals\": 99", "timing.timeDecimals"},
      {"\"version\": 1", "\"version\": 2", "version"},
      {"\"factor\": 0.25", "\"factor\": -1", "gage.factor"},
      {"\"base\": [5, 5]", "\"base\": 5", "reference.base"},
      {"\"objects\": [", "\"objects\": {", "offset"},
  };
  for (const auto& c : cases) {
    try {
      ParseMeasurementFile(Edited(c.from, c.to));
      ADD_FAILURE() << "accepted: " << c.to;
    } catch (const Exception& e) {
      EXPECT_NE(e.message().indexOf(c.place), -1) << e.what();
    }
  }
  // A file of many tiny objects would build a table without end.
  QByteArray many = "\"objects\": [";
  for (int i = 0; i <= TMeasurementFile::kMaxObjects; ++i)
    many += "{\"name\": \"P" + QByteArray::number(i) + "\", \"kind\": \"Point\", \"samples\": []},";
  EXPECT_THROW(ParseMeasurementFile(Edited("\"objects\": [", many.constData())), Exception);
  // The same name in another kind is allowed.
  EXPECT_NO_THROW(ParseMeasurementFile(Edited("\"name\": \"Line 1\"", "\"name\": \"Point 1\"")));
}

TEST(MeasureFile, RefusesWhatIsNoRegularFile) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath("fifo");
  ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  EXPECT_THROW(ReadMeasurementFile(fifo), Exception);  // would block a reader
  EXPECT_THROW(ReadMeasurementFile(dir.filePath("missing.json")), Exception);
  EXPECT_THROW(ReadMeasurementFile(dir.path()), Exception);
}

QByteArray ExportOf(const QByteArray& json, QByteArray* saved = nullptr) {
  SheetFixture f;
  ApplyMeasurementFile(ParseMeasurementFile(json), *f.db);
  WriteTimeColumn(f.grid, f.db->Frames(), 0, SheetFixture::kFrames);
  if (saved) *saved = WriteMeasurementFile(*f.db);
  return ExportText(f.grid);
}

TEST(MeasureFile, SavedModelLoadsToTheSameExport) {
  // A moving reference on a line's second end.
  QByteArray json =
      Edited("\"object\": null, \"point\": 0", "\"object\": \"Line 1\", \"point\": 1");
  json.replace("[[0, 0], null]}]",
               "[[0, 0], [20, 30]]}, {\"frame\": 4, \"points\": [[1, 1], [9, 9]]}]");
  QByteArray saved;
  const QByteArray first = ExportOf(json, &saved);
  EXPECT_TRUE(first.contains("\r\n-8.00,"));
  QByteArray again;
  EXPECT_EQ(ExportOf(saved, &again), first);
  EXPECT_EQ(again, saved);
}

}  // namespace
