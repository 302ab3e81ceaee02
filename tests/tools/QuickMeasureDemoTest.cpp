// Quick Measure end to end on the demo: the 100 frames/s camera clip in a real clip window, scaled
// on the scale bar, the disc and the turning bar clicked frame by frame where truth.json puts them.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <charconv>
#include <functional>
#include <optional>
#include <stdexcept>

#include "DemoKit.h"
#include "TestSupport.h"
#include "clip/AviStream.h"
#include "display/DisplayForm.h"
#include "measure/MotionDataBase.h"
#include "measure/MyStringGrid.h"
#include "measure/QMForm.h"
#include "measure/QMObjectsPage.h"
#include "platform/RegIniFile.h"
#include "textio/NumEdit.h"

namespace {

constexpr int kFrames = 20;

class QuickMeasureDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    ASSERT_EQ(demo_.run.exitCode, 0) << demo_.run.err.toStdString();
    for (const QJsonValue& v : demo_.truth["cameras"].toArray())
      if (v["codec"] == "MJPG" && v["rate_fps"].toDouble() == 100) camera_ = v.toObject();
    ASSERT_EQ(camera_["width"].toInt(), 320);

    const QString name = camera_["file"].toString();
    display_ = std::make_unique<TDisplayForm>(
        nullptr, nullptr, TChildShared{.registry = &registry_}, demo_.path(name), name,
        std::make_unique<TAVISTREAM>(QStringLiteral("AVI")));
    display_->CreateQuickMeasure = [](TChildForm* c, int last) -> QWidget* {
      return new TQMForm(c, last);
    };
    display_->SetQuickMeasureEnabled(true);
    poll();
    // The timing the program takes from the clip's descriptor.
    ASSERT_FLOAT_EQ(display_->EffectiveFramePeriod(), float(periodMs()));
    ASSERT_FLOAT_EQ(display_->TimeOffset(), float(timeOf(0)));
    display_->OpenQuickMeasure();
    qm_ = dynamic_cast<TQMForm*>(display_->QuickMeasureWindow());
    ASSERT_NE(qm_, nullptr);
    qm_->show();
  }

  // The scene in image pixels (y up) and ms of test time.
  double s() const { return Num(camera_, "pixels_per_mm"); }
  double periodMs() const { return 1000 / Num(camera_, "rate_fps"); }
  double timeOf(int frame) const { return Num(camera_, "time_of_frame_0_ms") + periodMs() * frame; }
  QPointF at(const char* part, const char* key) const { return Pair(demo_.part(part), key) * s(); }
  QPointF targetAt(double ms) const { return TargetMotion(demo_.part("target"), ms)[0] * s(); }
  QPointF barTip(double ms) const {
    const double a = BarRadians(demo_.part("bar"), ms),
                 length = Num(demo_.part("bar"), "length_mm");
    return at("bar", "pivot_mm") + QPointF(std::cos(a), std::sin(a)) * length * s();
  }

  void poll() {
    bool timing = false, frozen = false;
    display_->Poll(timing, frozen);
  }
  template <class T>
  T& find(const char* name) {
    T* found = qm_->findChild<T*>(QString::fromLatin1(name));
    if (!found) throw std::runtime_error(name);
    return *found;
  }
  void page(int index) { find<QTabWidget>("PageControl").setCurrentIndex(index); }
  void select(const char* box, const char* unit) {
    auto& b = find<QComboBox>(box);
    b.setCurrentIndex(b.findText(QString::fromLatin1(unit)));
    ASSERT_EQ(b.currentText(), QString::fromLatin1(unit));
  }
  // A left click released on the paint-box pixel that shows image point p.
  void clickImage(QPointF p) {
    const TImageMapping m = display_->Mapping();
    const QPointF at(std::lround(m.ImageToScreenX(float(p.x()))) + 0.5,
                     std::lround(m.ImageToScreenY(float(p.y()))) + 0.5);
    QWidget* box = display_->findChild<QWidget*>(QStringLiteral("PaintBox"));
    QMouseEvent release(QEvent::MouseButtonRelease, at, box->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box, &release);
  }
  void type(QWidget& field, const QString& text) {
    static_cast<TEditNumeric&>(field).selectAll();
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(&field, &press);
    }
  }
  const TMyStringGrid& grid() const {
    return *qm_->findChild<TMyStringGrid*>(QStringLiteral("Grid"));
  }
  // The column of the object's element with that caption; -1 when it is not shown.
  int column(int object, const char* caption) const {
    const TMyStringGrid& g = grid();
    const QString name = qm_->Database().Objects().Object(std::size_t(object))->Name();
    for (int c = 0; c < g.ColCount(); ++c)
      if (g.Cell(c, 0) == name && g.Cell(c, 1) == QLatin1String(caption)) return c;
    return -1;
  }
  std::optional<double> value(int col, int frame) const {
    const QByteArray text = grid().Cell(col, grid().FixedRows() + frame).toLatin1();
    double v = 0;
    const auto r = std::from_chars(text.constData(), text.constData() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.constData() + text.size()) return std::nullopt;
    return v;
  }
  int first() const { return camera_["trigger_frame"].toInt(); }

  // The Scale page measures the scale bar between its ends as a known length in millimetres.
  void scaleOnTheBar() {
    page(4);
    clickImage(at("scale_bar", "from_mm"));
    clickImage(at("scale_bar", "to_mm"));
    select("UnitCB", "mm");
    type(find<TEditNumeric>("GageLengthEN"), QStringLiteral("1000"));
    auto& apply = find<QAbstractButton>("ApplyBtn");
    ASSERT_TRUE(apply.isEnabled());
    apply.click();
    EXPECT_FLOAT_EQ(qm_->Database().Scaler().XFactor(), float(1 / s()));
  }

  // Object 1 the disc's centre, object 2 the bar from its pivot to its tip, clicked on every
  // frame from the trigger on while the window steps on by itself.
  void collect() {
    auto& objects = find<TQMObjectsPage>("Objects");
    objects.NewObject(0);
    objects.NewObject(1);
    page(0);
    find<QCheckBox>("AutoFrameStepXB").setChecked(true);
    find<TEditNumeric>("FrameStepEdit").SetIntegerValue(1);
    display_->StopAtFrame(first());
    poll();
    for (int f = first(); f < first() + kFrames; ++f) {
      EXPECT_EQ(display_->ShownFrame, f);
      clickImage(targetAt(timeOf(f)));
      clickImage(at("bar", "pivot_mm"));
      clickImage(barTip(timeOf(f)));
      poll();
    }
  }

  // Each frame's value and the sum over the run within bound; the largest frame error back. The
  // sum of backward differences telescopes to the end points, so it holds a systematic error to
  // a pixel's worth over the whole run while each frame only holds to one over its own step.
  double expectWithin(int col, double bound, const std::function<double(double)>& truth) {
    double worst = 0, measured = 0, expected = 0;
    EXPECT_FALSE(value(col, first())) << "no velocity without an earlier sample";
    for (int f = first() + 1; f < first() + kFrames; ++f) {
      const std::optional<double> v = value(col, f);
      if (!v) {
        ADD_FAILURE() << "no value in column " << col << " at frame " << f;
        continue;
      }
      const double x = truth(timeOf(f));
      worst = std::max(worst, std::abs(*v - x));
      measured += *v, expected += x;
    }
    EXPECT_LE(worst, bound);
    EXPECT_LE(std::abs(measured - expected), bound);
    return worst;
  }

  Demo demo_;
  QJsonObject camera_;
  TRegIniFile registry_{QStringLiteral("\\Software\\Orvanta\\Lumetra")};
  std::unique_ptr<TDisplayForm> display_;
  TQMForm* qm_ = nullptr;
};

TEST_F(QuickMeasureDemo, ClickedTargetAndBarGiveTheTruthsVelocitiesAndExport) {
  ASSERT_NO_FATAL_FAILURE(scaleOnTheBar());
  collect();
  EXPECT_EQ(grid().Cell(0, grid().FixedRows() + first() + 1), QStringLiteral("10.00"));
  // Shown after the clicks: the new columns are computed from the samples already there.
  auto& visible = find<QListWidget>("VisibleColumnsList");
  for (const char* kind : {"X Velocity", "Y Velocity", "Ang. Velocity"})
    visible.findItems(QString::fromLatin1(kind), Qt::MatchExactly)[0]->setCheckState(Qt::Checked);

  // A backward difference of the parabola is its exact velocity half a step earlier. Bounds are
  // a pixel's worth over one frame; for the bar, a pixel across at its tip.
  const double step = periodMs() / 1000, mmPerS = 1 / s() / step;
  const QJsonObject bar = demo_.part("bar");
  const double degPerS = std::atan(1 / (Num(bar, "length_mm") * s())) * 180 / kPi / step;
  const auto velocity = [&](bool y, double scale) {
    return [this, y, scale](double ms) {
      const QPointF v = TargetMotion(demo_.part("target"), ms - periodMs() / 2)[1];
      return (y ? v.y() : v.x()) * scale;
    };
  };
  const struct {
    const char *box, *unit;
    int object;
    const char* caption;
    double bound;
    std::function<double(double)> truth;
  } columns[] = {
      {"LinearVelCB", "kph", 1, "X Velocity", mmPerS * 0.0036, velocity(false, 0.0036)},
      {"LinearVelCB", "kph", 1, "Y Velocity", mmPerS * 0.0036, velocity(true, 0.0036)},
      {"LinearVelCB", "m/s", 1, "X Velocity", mmPerS * 0.001, velocity(false, 0.001)},
      {"LinearVelCB", "m/s", 1, "Y Velocity", mmPerS * 0.001, velocity(true, 0.001)},
      {"AngularVelCB", "deg/s", 2, "Ang. Velocity", degPerS,
       [&](double) { return Num(bar, "rate_deg_per_s"); }},
  };
  for (const auto& k : columns) {
    SCOPED_TRACE(std::string(k.caption) + " in " + k.unit);
    select(k.box, k.unit);
    const int col = column(k.object, k.caption);
    ASSERT_GE(col, 0);
    EXPECT_EQ(grid().Cell(col, 2), QString::fromLatin1(k.unit));
    RecordProperty(std::string(k.caption) + " " + k.unit + " max error",
                   std::to_string(expectWithin(col, k.bound, k.truth)));
  }

  // The export through the window's menu: three header lines and a line for every frame.
  const QString csv = demo_.dir.filePath(QStringLiteral("measured.csv"));
  testsupport::script().files = {dialogs::FileAnswer{{csv}, 0}};
  QAction* exportItem = nullptr;
  for (QAction* a : find<QMenu>("FileMenu").actions())
    if (a->text() == QStringLiteral("&Export Visible Columns...")) exportItem = a;
  ASSERT_NE(exportItem, nullptr);
  exportItem->trigger();
  QFile f(csv);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QList<QByteArray> lines = f.readAll().split('\n');
  ASSERT_TRUE(lines.takeLast().isEmpty());
  ASSERT_EQ(lines.size(), 3 + kFrames);
  for (int i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].endsWith('\r')) << i;
    EXPECT_EQ(lines[i].count(','), lines[0].count(',')) << i;
  }
  EXPECT_TRUE(lines[3].startsWith("0.00,")) << lines[3].toStdString();
}

}  // namespace
