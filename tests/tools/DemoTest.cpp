#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <charconv>
#include <string>

#include "DemoKit.h"
#include "clip/AviStream.h"
#include "clip/Dib.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorText.h"
#include "descriptors/Timing.h"
#include "signals/Diadem.h"

// The demo generator's files, read back through the viewer's own readers and checked against
// truth.json.
namespace {

// Luminance of the pixel in column x, row y from the bottom.
double Level(const BITMAPINFOHEADER* dib, int x, int y) {
  const std::uint8_t* p = DibPixels(dib) + y * DibStride(*dib);
  if (dib->biBitCount == 8) {
    const RGBQUAD q = reinterpret_cast<const RGBQUAD*>(dib + 1)[p[x]];
    return 0.299 * q.rgbRed + 0.587 * q.rgbGreen + 0.114 * q.rgbBlue;
  }
  return 0.299 * p[3 * x + 2] + 0.587 * p[3 * x + 1] + 0.114 * p[3 * x];
}

// The brightness-weighted centre of the pixels within radius of c, above the background that
// the top-left corner shows.
QPointF Centroid(const BITMAPINFOHEADER* dib, QPointF c, double radius) {
  const double background = Level(dib, 0, dib->biHeight - 1);
  double sum = 0, sx = 0, sy = 0;
  for (int y = 0; y < dib->biHeight; ++y)
    for (int x = 0; x < dib->biWidth; ++x) {
      const double w = Level(dib, x, y) - background;
      if (std::hypot(x - c.x(), y - c.y()) > radius || w < 8) continue;  // 8: compression noise
      sum += w, sx += w * x, sy += w * y;
    }
  return sum > 0 ? QPointF(sx / sum, sy / sum) : QPointF(-1e9, -1e9);
}

// Pixels covered along the row through the scale bar, counted by brightness.
double ScaleBarPixels(const BITMAPINFOHEADER* dib, int row, int middle) {
  const double background = Level(dib, 0, dib->biHeight - 1);
  const double full = Level(dib, middle, row) - background;
  double covered = 0;
  for (int x = 0; x < dib->biWidth; ++x)
    covered += std::max(0.0, Level(dib, x, row) - background) / full;
  return covered;
}

TDescriptorSource SourceOf(const QString& carrier) {
  return carrier == "ttls"                 ? TDescriptorSource::Ttls
         : carrier == "marker chunk"       ? TDescriptorSource::Marker
         : carrier == "camera header file" ? TDescriptorSource::Camera
                                           : TDescriptorSource::None;
}

// The timing the viewer takes from the clip's descriptor.
TTimingValues TimingOf(const std::string& text) {
  double rate = 0, mark = 0, time = 0;
  GetDescriptorFloat(text, "Timing", "Frame Rate", rate);
  GetDescriptorFloat(text, "Timing", "Mark Frame", mark);
  GetDescriptorFloat(text, "Timing", "Time at Mark Frame", time);
  return DeriveTiming(rate, mark, time);
}

TEST(DemoGenerator, WritesTheSameFilesEveryRunAndRefusesWhatItCannotWrite) {
  const Demo first, second;
  ASSERT_EQ(first.run.exitCode, 0) << first.run.err.toStdString();
  const QStringList names = QDir(first.dir.path()).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(names, QStringList({"cam1_colour.avi", "cam2_grey.avi", "cam3_palette.avi",
                                "cam3_paletteAVI.chd", "target.R32", "target.csv", "target.dat",
                                "truth.json"}));
  for (const QString& name : names) {
    QFile a(first.dir.filePath(name)), b(second.dir.filePath(name));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_TRUE(a.readAll() == b.readAll()) << name.toStdString();
  }
  const QString aFile = first.dir.filePath(QStringLiteral("truth.json"));
  const struct {
    QStringList args;
    int exitCode;
  } refused[] = {{{}, 2}, {{""}, 2}, {{aFile}, 1}, {{aFile + "/sub"}, 1}};
  for (const auto& c : refused) {
    const ToolRun r = RunProgram(LUMETRA_DEMO, c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
    EXPECT_FALSE(r.err.isEmpty());
  }
  // Pipes left under the output names are replaced; writing into one would block.
  const QTemporaryDir piped;
  for (const char* name : {"truth.json", "target.dat", "cam3_paletteAVI.chd"})
    ASSERT_EQ(::mkfifo(QFile::encodeName(piped.filePath(name)).constData(), 0600), 0);
  EXPECT_EQ(RunProgram(LUMETRA_DEMO, {piped.path()}).exitCode, 0);
  EXPECT_TRUE(QFileInfo(piped.filePath("truth.json")).isFile());
}

// The target, the bar and the scale bar where truth.json puts them at test time ms. Edges are
// anti-aliased, so centres land within a few hundredths of a pixel; the quarter-pixel bound
// catches a time base off by one frame (the 250 frames/s clip moves its target about a pixel
// a frame).
void ExpectTruthSeen(const Demo& demo, const QJsonObject& c, const BITMAPINFOHEADER* dib,
                     double ms) {
  constexpr double kPixels = 0.25;
  const auto expectAt = [&](QPointF seen, QPointF truth) {
    EXPECT_NEAR(seen.x(), truth.x(), kPixels);
    EXPECT_NEAR(seen.y(), truth.y(), kPixels);
  };
  const QJsonObject target = demo.part("target"), bar = demo.part("bar"),
                    scale = demo.part("scale_bar");
  const double s = Num(c, "pixels_per_mm");
  const QPointF p = TargetMotion(target, ms)[0] * s;
  expectAt(Centroid(dib, p, 2 * Num(target, "radius_mm") * s), p);

  const double angle = BarRadians(bar, ms), half = Num(bar, "length_mm") / 2 * s;
  const QPointF pivot = Pair(bar, "pivot_mm") * s;
  expectAt(Centroid(dib, pivot, 2.2 * half),
           pivot + QPointF(half * std::cos(angle), half * std::sin(angle)));

  const QPointF from = Pair(scale, "from_mm") * s, to = Pair(scale, "to_mm") * s;
  const double length =
      ScaleBarPixels(dib, int(std::lround(from.y())), int(std::lround((from.x() + to.x()) / 2)));
  EXPECT_NEAR(length, Num(c, "scale_bar_px"), kPixels);
  EXPECT_DOUBLE_EQ(Num(c, "scale_bar_px"), Num(scale, "length_mm") * s);
}

TEST(DemoGenerator, ClipsOpenWithTheirSizeDepthLengthAndTimingAndShowTheTruth) {
  const Demo demo;
  ASSERT_EQ(demo.run.exitCode, 0) << demo.run.err.toStdString();
  const QJsonArray cameras = demo.truth["cameras"].toArray();
  ASSERT_EQ(cameras.size(), 3);
  for (const QJsonValue& v : cameras) {
    const QJsonObject c = v.toObject();
    SCOPED_TRACE(c["file"].toString().toStdString());
    const TClipDescriptor d = ReadClipDescriptor(demo.path(c["file"]));
    EXPECT_EQ(d.source, SourceOf(c["timing_carrier"].toString()));
    const double rate = Num(c, "rate_fps");
    const TTimingValues timing = TimingOf(d.text);
    EXPECT_FLOAT_EQ(timing.period, float(1000 / rate));
    EXPECT_FLOAT_EQ(timing.offset, float(-c["trigger_frame"].toInt() * 1000 / rate));
    EXPECT_FLOAT_EQ(timing.offset, float(Num(c, "time_of_frame_0_ms")));

    TAVISTREAM stream(QStringLiteral("AVI"));
    stream.Open(demo.path(c["file"]));
    AVISTREAMINFOA info{};
    ASSERT_TRUE(stream.GetInfo(info));
    EXPECT_EQ(double(info.dwRate) / info.dwScale, rate);
    const int last = c["frames"].toInt() - 1;
    EXPECT_EQ(stream.GetFrameCount(), last + 1);
    PGETFRAME getter = nullptr;
    ASSERT_TRUE(stream.GetFrameOpen(getter));
    for (int frame : {0, c["trigger_frame"].toInt(), last / 2, last}) {
      SCOPED_TRACE("frame " + std::to_string(frame));
      int size = 0;
      const BITMAPINFOHEADER* dib = nullptr;
      ASSERT_TRUE(stream.GetFrame(getter, frame, size, dib));
      EXPECT_EQ(QList<int>({dib->biWidth, dib->biHeight, dib->biBitCount}),
                QList<int>({c["width"].toInt(), c["height"].toInt(), c["bit_count"].toInt()}));
      ExpectTruthSeen(demo, c, dib, double(timing.offset) + double(timing.period) * frame);
    }
    stream.GetFrameClose(getter);
  }
}

// The values of a channel line as formulas from truth.json give them, in single precision.
std::array<float, 6> ExpectedSignals(const QJsonObject& target, double ms) {
  const auto m = TargetMotion(target, ms);
  return {float(m[0].x()), float(m[0].y()), float(m[1].x()),
          float(m[1].y()), float(m[2].x()), float(m[2].y())};
}

TEST(DemoGenerator, SignalsLoadBackAsDiademChannelsAndCsvColumns) {
  const Demo demo;
  ASSERT_EQ(demo.run.exitCode, 0) << demo.run.err.toStdString();
  const QJsonObject sig = demo.part("signals"), target = demo.part("target");
  const int count = sig["count"].toInt();
  const double first = sig["first_ms"].toDouble(), step = sig["interval_ms"].toDouble();

  TDiademSignalDatabase db;
  db.LoadFromFile(demo.path(sig["diadem_header"]));
  const QJsonArray channels = sig["channels"].toArray();
  ASSERT_EQ(db.Count(), 1 + channels.size());  // the time axis first
  EXPECT_TRUE(db.Channels(0).TimeChannel);
  for (int k = 1; k < db.Count(); ++k) {
    const TSignalData& d = db.Channels(k);
    const QJsonObject c = channels[k - 1].toObject();
    SCOPED_TRACE(c["name"].toString().toStdString());
    EXPECT_EQ(d.GetProperty(TSignalData::kName), c["name"].toString());
    EXPECT_EQ(d.GetProperty(TSignalData::kUnits), c["unit"].toString());
    EXPECT_FALSE(d.TimeChannel);
    EXPECT_EQ(d.DataCount(), count);
    EXPECT_DOUBLE_EQ(d.PropertyFloat(TSignalData::kTimeOffset), first);
    EXPECT_DOUBLE_EQ(d.Interval(), step);
    for (int i : {0, count / 2, count - 1})
      EXPECT_EQ(float(d.GetValue(i)), ExpectedSignals(target, first + i * step)[k - 1]) << i;
  }

  QFile csv(demo.path(sig["csv"]));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = csv.readAll().split('\n');
  ASSERT_EQ(lines.size(), 2 + count + 1);  // two title lines, the samples, nothing after
  EXPECT_TRUE(lines.back().isEmpty());
  // Columns are found by their titles: the file's order is its own.
  const QList<QByteArray> titles = lines[1].trimmed().split(',');
  ASSERT_EQ(titles.size(), 7);
  std::array<int, 7> channelOf{};
  for (int f = 1; f < 7; ++f)
    for (int k = 0; k < channels.size(); ++k)
      if (channels[k].toObject()["name"].toString().toLatin1() == titles[f]) channelOf[f] = k;
  for (int i = 0; i < count; ++i) {
    const QList<QByteArray> fields = lines[2 + i].trimmed().split(',');
    ASSERT_EQ(fields.size(), 7) << i;
    std::array<float, 7> got{};
    for (int f = 0; f < 7; ++f)
      std::from_chars(fields[f].constData(), fields[f].constData() + fields[f].size(), got[f]);
    EXPECT_EQ(got[0], float(first + i * step));
    const auto expected = ExpectedSignals(target, first + i * step);
    for (int f = 1; f < 7; ++f) EXPECT_EQ(got[f], expected[channelOf[f]]) << i << " column " << f;
  }
}

}  // namespace
