// Quick Measure end to end on the demo test: the 100 frames/s camera clip in a real clip window
// with its Quick Measure window, scaled on the demo's scale bar, the disc and the turning bar
// clicked frame by frame where truth.json puts them, and the table's velocities and its export
// checked against the truth's formulas (written here, not taken from the generator).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <charconv>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "TestSupport.h"
#include "ToolRunner.h"
#include "clip/AviStream.h"
#include "display/DisplayForm.h"
#include "measure/MotionDataBase.h"
#include "measure/MyStringGrid.h"
#include "measure/QMForm.h"
#include "measure/QMObjectsPage.h"
#include "platform/RegIniFile.h"
#include "textio/NumEdit.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kFrames = 20;

// The scene as truth.json gives it: image points in pixels (y up), times in ms of test time.
struct Truth {
  QJsonObject target, bar, scale, camera;

  double s() const { return camera["pixels_per_mm"].toDouble(); }
  double periodMs() const { return 1000 / camera["rate_fps"].toDouble(); }
  double timeOf(int frame) const {
    return camera["time_of_frame_0_ms"].toDouble() + periodMs() * frame;
  }
  double mm(const QJsonObject& o, const char* key) const {
    return o[QLatin1String(key)].toDouble();
  }
  QPointF pair(const QJsonObject& o, const char* key) const {
    const QJsonArray a = o[QLatin1String(key)].toArray();
    return {a[0].toDouble() * s(), a[1].toDouble() * s()};
  }
  QPointF targetAt(double ms) const {
    const double t = ms / 1000;
    return QPointF(mm(target, "x0_mm") + mm(target, "vx_mm_per_s") * t,
                   mm(target, "y0_mm") + mm(target, "vy_mm_per_s") * t -
                       mm(target, "g_mm_per_s2") * t * t / 2) *
           s();
  }
  QPointF targetVelocity(double ms) const {  // mm/s
    return {mm(target, "vx_mm_per_s"),
            mm(target, "vy_mm_per_s") - mm(target, "g_mm_per_s2") * ms / 1000};
  }
  double barDegrees(double ms) const {
    return mm(bar, "angle0_deg") + mm(bar, "rate_deg_per_s") * ms / 1000;
  }
  QPointF barTip(double ms) const {
    const double a = barDegrees(ms) * kPi / 180, length = mm(bar, "length_mm") * s();
    return pair(bar, "pivot_mm") + QPointF(length * std::cos(a), length * std::sin(a));
  }
};

class QuickMeasureDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    const ToolRun run = RunProgram(LUMETRA_DEMO, {demo_.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile f(demo_.filePath(QStringLiteral("truth.json")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(f.readAll()).object();
    truth_.target = json["target"].toObject();
    truth_.bar = json["bar"].toObject();
    truth_.scale = json["scale_bar"].toObject();
    for (const QJsonValue& v : json["cameras"].toArray())
      if (v["codec"] == "MJPG" && v["rate_fps"].toDouble() == 100) truth_.camera = v.toObject();
    ASSERT_EQ(truth_.camera["width"].toInt(), 320);

    const QString name = truth_.camera["file"].toString();
    display_ = std::make_unique<TDisplayForm>(
        nullptr, nullptr, TChildShared{.registry = &registry_}, demo_.filePath(name), name,
        std::make_unique<TAVISTREAM>(QStringLiteral("AVI")));
    display_->CreateQuickMeasure = [](TChildForm* c, int last) -> QWidget* {
      return new TQMForm(c, last);
    };
    display_->SetQuickMeasureEnabled(true);
    poll();
    // The timing the program takes from the clip's descriptor.
    ASSERT_FLOAT_EQ(display_->EffectiveFramePeriod(), float(truth_.periodMs()));
    ASSERT_FLOAT_EQ(display_->TimeOffset(), float(truth_.timeOf(0)));
    display_->OpenQuickMeasure();
    qm_ = dynamic_cast<TQMForm*>(display_->QuickMeasureWindow());
    ASSERT_NE(qm_, nullptr);
    qm_->show();
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
    const TMyStringGrid& g = grid();
    const QByteArray text = g.Cell(col, g.FixedRows() + frame).toLatin1();
    double v = 0;
    const auto r = std::from_chars(text.constData(), text.constData() + text.size(), v);
    if (text.isEmpty() || r.ec != std::errc() || r.ptr != text.constData() + text.size())
      return std::nullopt;
    return v;
  }

  // The Scale page measures the scale bar between its ends as a known length in millimetres.
  void scaleOnTheBar() {
    page(4);
    clickImage(truth_.pair(truth_.scale, "from_mm"));
    clickImage(truth_.pair(truth_.scale, "to_mm"));
    select("UnitCB", "mm");
    type(find<TEditNumeric>("GageLengthEN"), QStringLiteral("1000"));
    auto& apply = find<QAbstractButton>("ApplyBtn");
    ASSERT_TRUE(apply.isEnabled());
    apply.click();
    EXPECT_FLOAT_EQ(qm_->Database().Scaler().XFactor(), float(1 / truth_.s()));
  }

  // Object 1 the disc's centre, object 2 the bar from its pivot to its tip, clicked on every
  // frame from the trigger on while the window steps on by itself.
  int collect() {
    auto& objects = find<TQMObjectsPage>("Objects");
    objects.NewObject(0);
    objects.NewObject(1);
    page(0);
    find<QCheckBox>("AutoFrameStepXB").setChecked(true);
    find<TEditNumeric>("FrameStepEdit").SetIntegerValue(1);
    const int first = truth_.camera["trigger_frame"].toInt();
    display_->StopAtFrame(first);
    poll();
    for (int f = first; f < first + kFrames; ++f) {
      EXPECT_EQ(display_->ShownFrame, f);
      const double ms = truth_.timeOf(f);
      clickImage(truth_.targetAt(ms));
      clickImage(truth_.pair(truth_.bar, "pivot_mm"));
      clickImage(truth_.barTip(ms));
      poll();
    }
    return first;
  }

  // Largest error of one frame's value and error of the sum over the run: the sum of backward
  // differences telescopes to the end points, so it holds a systematic error to a pixel's worth
  // over the whole run while each frame only holds to a pixel's worth over its own step.
  struct Errors {
    double frame = 0, sum = 0;
  };
  template <class Expected>
  Errors compare(int col, int first, Expected expected) {
    Errors e;
    double measured = 0, truth = 0;
    EXPECT_FALSE(value(col, first)) << "no velocity without an earlier sample";
    for (int f = first + 1; f < first + kFrames; ++f) {
      const std::optional<double> v = value(col, f);
      if (!v) {
        ADD_FAILURE() << "no value in column " << col << " at frame " << f;
        continue;
      }
      const double x = expected(truth_.timeOf(f));
      e.frame = std::max(e.frame, std::abs(*v - x));
      measured += *v, truth += x;
    }
    e.sum = std::abs(measured - truth);
    return e;
  }

  QTemporaryDir demo_;
  Truth truth_;
  TRegIniFile registry_{QStringLiteral("\\Software\\Orvanta\\Lumetra")};
  std::unique_ptr<TDisplayForm> display_;
  TQMForm* qm_ = nullptr;
};

TEST_F(QuickMeasureDemo, ClickedTargetAndBarGiveTheTruthsVelocitiesAndExport) {
  ASSERT_NO_FATAL_FAILURE(scaleOnTheBar());
  const int first = collect();
  EXPECT_EQ(grid().Cell(0, grid().FixedRows() + first + 1), QStringLiteral("10.00"));
  // Shown after the clicks: the new columns are computed from the samples already there.
  auto& visible = find<QListWidget>("VisibleColumnsList");
  for (const char* kind : {"X Velocity", "Y Velocity", "Ang. Velocity"})
    visible.findItems(QString::fromLatin1(kind), Qt::MatchExactly)
        .at(0)
        ->setCheckState(Qt::Checked);

  // A backward difference of the parabola is its exact velocity half a step earlier.
  const double half = truth_.periodMs() / 2;
  const double pixelPerFrame = 1 / truth_.s() / (truth_.periodMs() / 1000);  // mm/s
  const struct {
    const char* unit;
    double perMmPerS;
  } linear[] = {{"kph", 0.0036}, {"m/s", 0.001}};
  for (const auto& u : linear) {
    SCOPED_TRACE(u.unit);
    select("LinearVelCB", u.unit);
    const double bound = pixelPerFrame * u.perMmPerS;
    for (const bool y : {false, true}) {
      const int col = column(1, y ? "Y Velocity" : "X Velocity");
      ASSERT_GE(col, 0);
      EXPECT_EQ(grid().Cell(col, 2), QString::fromLatin1(u.unit));
      const Errors e = compare(col, first, [&](double ms) {
        const QPointF v = truth_.targetVelocity(ms - half);
        return (y ? v.y() : v.x()) * u.perMmPerS;
      });
      EXPECT_LE(e.frame, bound) << (y ? "y" : "x");
      EXPECT_LE(e.sum, bound) << (y ? "y" : "x");
      RecordProperty(std::string(y ? "vy_" : "vx_") + u.unit + "_max_error",
                     std::to_string(e.frame));
    }
  }

  // One pixel across at the bar's tip, over one frame.
  select("AngularVelCB", "deg/s");
  const int col = column(2, "Ang. Velocity");
  ASSERT_GE(col, 0);
  const double tip = truth_.mm(truth_.bar, "length_mm") * truth_.s();
  const double degreeBound = std::atan(1 / tip) * 180 / kPi / (truth_.periodMs() / 1000);
  const double rate = truth_.mm(truth_.bar, "rate_deg_per_s");
  const Errors e = compare(col, first, [&](double) { return rate; });
  EXPECT_LE(e.frame, degreeBound);
  EXPECT_LE(e.sum, degreeBound);
  RecordProperty("angular_max_error_deg_per_s", std::to_string(e.frame));

  // The export through the window's menu: three header lines and a line for every frame.
  const QString csv = demo_.filePath(QStringLiteral("measured.csv"));
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
  const qsizetype fields = lines[0].count(',');
  for (int i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].endsWith('\r')) << i;
    EXPECT_EQ(lines[i].count(','), fields) << i;
  }
  EXPECT_TRUE(lines[3].startsWith("0.00,")) << lines[3].toStdString();
}

}  // namespace
