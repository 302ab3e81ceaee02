// The Quick Measure window on a real display window, driven as the user drives it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>

#include "ClipKit.h"
#include "TestSupport.h"
#include "clip/AviStream.h"
#include "display/DisplayForm.h"
#include "measure/FrameList.h"
#include "measure/MeasureTable.h"
#include "measure/MotionDataBase.h"
#include "measure/MyStringGrid.h"
#include "measure/QMCollector.h"
#include "measure/QMForm.h"
#include "measure/QMObjectsPage.h"
#include "platform/RegIniFile.h"
#include "textio/NumEdit.h"

namespace {

const QString kAppKey = QStringLiteral("\\Software\\Orvanta\\Lumetra");

class QMFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    const QString path = dir_.filePath("clip.avi");
    ASSERT_EQ(clipkit::WriteClip(path.toStdString(), {.width = 64, .height = 48, .frames = 60}),
              AVIERR_OK);
    display_ =
        std::make_unique<TDisplayForm>(nullptr, nullptr, TChildShared{.registry = &registry_}, path,
                                       "clip.avi", std::make_unique<TAVISTREAM>("AVI"));
    display_->CreateQuickMeasure = [](TChildForm* c, int last) -> QWidget* {
      return new TQMForm(c, last);
    };
    display_->SetQuickMeasureEnabled(true);
    poll();
  }

  TQMForm& open(int pageIndex = -1) {
    display_->OpenQuickMeasure();
    auto& qm = *dynamic_cast<TQMForm*>(display_->QuickMeasureWindow());
    if (pageIndex >= 0) page(qm, pageIndex);
    return qm;
  }
  void poll() {
    bool timing = false, frozen = false;
    display_->Poll(timing, frozen);
  }
  void showFrame(int frame) {
    display_->StopAtFrame(frame);
    poll();
  }
  template <class T>
  static T* find(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static void page(TQMForm& qm, int index) {
    find<QTabWidget>(qm, "PageControl")->setCurrentIndex(index);
  }
  static void stepping(TQMForm& qm, bool on, int step) {
    find<QCheckBox>(qm, "AutoFrameStepXB")->setChecked(on);
    find<TEditNumeric>(qm, "FrameStepEdit")->SetIntegerValue(step);
  }
  static void exportVisible(TQMForm& qm) {
    for (QAction* a : find<QMenu>(qm, "FileMenu")->actions())
      if (a->text() == "&Export Visible Columns...") a->trigger();
  }
  static TObjDef& object(TQMForm& qm, int i) {
    return *qm.Database().Objects().Object(std::size_t(i));
  }
  static bool has(TQMForm& qm, int frame, int object, int point) {
    const TFrameObject* holder = qm.Database().Frames().FindHolder(frame);
    const TSampleObject* s =
        holder ? TFrameObjectList::FindSample(*holder, &QMFormTest::object(qm, object)) : nullptr;
    return s && s->HasPoint(point);
  }
  // A left click released over the image, as the user makes it.
  void clickImage(QPoint at) {
    QWidget* box = display_->findChild<QWidget*>("PaintBox");
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at) + QPointF(0.5, 0.5),
                        box->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(box, &release);
  }

  QTemporaryDir dir_;
  TRegIniFile registry_{kAppKey};
  std::unique_ptr<TDisplayForm> display_;
};

TEST_F(QMFormTest, ClicksFillPointsInOrderAndStepTheFrame) {
  TQMForm& qm = open(0);
  qm.show();
  showFrame(10);
  qm.Clicked(10, {5, 5});  // nothing to collect yet
  EXPECT_EQ(qm.Database().Frames().FindHolder(10), nullptr);

  auto* objects = find<TQMObjectsPage>(qm, "Objects");
  objects->NewObject(0);
  objects->NewObject(1);
  stepping(qm, true, 2);
  // Point, line end 1, line end 2: then two frames on, and the point again.
  for (const QPoint at : {QPoint(10, 10), QPoint(20, 20), QPoint(30, 30)}) clickImage(at);
  EXPECT_TRUE(has(qm, 10, 1, 0) && has(qm, 10, 2, 0) && has(qm, 10, 2, 1));
  EXPECT_EQ(display_->RequestedFrame, 12);
  poll();
  EXPECT_EQ(qm.Database().Frames().CurrentFrame(), 12);
  EXPECT_EQ(qm.Collector().CurrentObject(), 1);
  clickImage({11, 11});
  EXPECT_TRUE(has(qm, 12, 1, 0));
  EXPECT_FALSE(has(qm, 12, 2, 0));
  // The samples of the shown frame are drawn over the image where they were clicked.
  const QImage shown = display_->findChild<QWidget*>("PaintBox")->grab().toImage();
  bool drawn = false;
  for (int y = 6; y <= 16 && !drawn; ++y)
    for (int x = 6; x <= 16 && !drawn; ++x)
      drawn = (shown.pixel(x, y) & 0xFFFFFF) == (object(qm, 1).Colour() & 0xFFFFFF);
  EXPECT_TRUE(drawn);

  // A backward step stops at frame 0; without auto step the frame stays.
  showFrame(1);
  for (bool autoStep : {true, false}) {
    stepping(qm, autoStep, autoStep ? -3 : 5);
    for (const QPoint at : {QPoint(1, 1), QPoint(2, 2), QPoint(3, 3)}) clickImage(at);
    EXPECT_EQ(display_->RequestedFrame, 0);
    poll();
  }
  EXPECT_TRUE(has(qm, 0, 2, 1));

  // Other pages do not collect.
  page(qm, 1);
  qm.Clicked(0, {7, 7});
  EXPECT_EQ(qm.Collector().CurrentPoint(), 0);
  EXPECT_EQ(qm.Collector().CurrentObject(), 1);
}

// Smart positioning extrapolates the point from its last two samples; the answer only counts
// while clicks collect, and the status bar shows the pointer in length units.
TEST_F(QMFormTest, PointerMovesShowScaledPositionAndOfferThePrediction) {
  TQMForm& qm = open(0);
  find<QAbstractButton>(qm, "SmartRB")->click();
  find<TQMObjectsPage>(qm, "Objects")->NewObject(0);
  stepping(qm, true, 2);
  showFrame(10);
  qm.Clicked(10, {10, 20});
  poll();
  qm.Clicked(12, {14, 26});
  poll();
  const std::optional<QPointF> snap = qm.PointerMoved(Qt::NoModifier, {3, 4});
  ASSERT_TRUE(snap.has_value());
  EXPECT_EQ(*snap, QPointF(18, 32));
  qm.Database().SetGage(0, 0.5f);
  qm.PointerMoved(Qt::NoModifier, {3, 4});
  EXPECT_EQ(find<QLabel>(qm, "StatusPanel0")->text(), "X 1.5");
  EXPECT_EQ(find<QLabel>(qm, "StatusPanel1")->text(), "Y 2");
  page(qm, 4);
  EXPECT_FALSE(qm.PointerMoved(Qt::NoModifier, {3, 4}).has_value());
  EXPECT_EQ(find<QLabel>(qm, "StatusPanel3")->text(), "click Image Length Point 1");
}

TEST_F(QMFormTest, SettingsSurviveClosingAndReopening) {
  // Character k stands for kind k - 1: only "Ang. Velocity" (kind 13).
  TRegIniFile(kAppKey + "\\QuickMeasure").WriteString("Collection", "Visibles", "0000000000000100");
  TQMForm& qm = open();
  auto* objects = find<TQMObjectsPage>(qm, "Objects");
  objects->NewObject(1);
  const TMyStringGrid& grid = *find<TMyStringGrid>(qm, "Grid");
  ASSERT_EQ(grid.ColCount(), 2);
  EXPECT_EQ(grid.Cell(1, 1), "Ang. Velocity");

  find<QComboBox>(qm, "LinearUnitsCB")->setCurrentIndex(2);
  find<QComboBox>(qm, "AngularVelCB")->setCurrentIndex(3);
  stepping(qm, false, -7);
  find<QAbstractButton>(qm, "NoneRB")->click();
  page(qm, 0);
  qm.resize(700, 500);
  auto& script = testsupport::script();
  QDir(dir_.path()).mkdir("out");
  script.files = {dialogs::FileAnswer{{dir_.filePath("out/m.csv")}, 0}};
  exportVisible(qm);
  script.answers = {dialogs::Answer::No};  // the new object is not kept
  qm.close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(display_->QuickMeasureWindow(), nullptr);

  TQMForm& again = open();
  EXPECT_EQ(find<QComboBox>(again, "LinearUnitsCB")->currentIndex(), 2);
  EXPECT_EQ(find<QComboBox>(again, "AngularVelCB")->currentIndex(), 3);
  EXPECT_FALSE(find<QCheckBox>(again, "AutoFrameStepXB")->isChecked());
  EXPECT_EQ(find<TEditNumeric>(again, "FrameStepEdit")->IntegerValue(), -7);
  EXPECT_EQ(again.Database().Objects().cursorMode, TCursorMode::None);
  EXPECT_EQ(again.Database().Objects().defaultVisibleKinds, 1u << 13);
  page(again, 0);
  EXPECT_EQ(again.size(), QSize(700, 500));
  page(again, 4);
  EXPECT_NE(again.size(), QSize(700, 500));
  exportVisible(again);  // cancelled: the dialog opened where the last export went
  EXPECT_EQ(script.fileRequests.back().directory, dir_.filePath("out"));
}

TEST_F(QMFormTest, TableAndTimingFollowTheDisplayWindow) {
  TQMForm& qm = open();
  const TMyStringGrid& grid = *find<TMyStringGrid>(qm, "Grid");
  ASSERT_EQ(grid.RowCount(), 60 + 3);
  EXPECT_EQ(grid.Cell(0, 3 + 40), "40.00");  // no timing: 1000 frames/s
  qm.Table().moveToFrame(40);
  poll();
  EXPECT_EQ(display_->ShownFrame, 40);
  EXPECT_EQ(qm.Database().Frames().CurrentFrame(), 40);
  display_->SetFramePeriod(2.0f);
  EXPECT_EQ(grid.Cell(0, 3 + 40), "80.00");
}

TEST_F(QMFormTest, UnsavedMeasurementsAreOfferedBeforeTheyAreLost) {
  TQMForm& qm = open(0);
  find<TQMObjectsPage>(qm, "Objects")->NewObject(0);
  qm.Clicked(0, {4, 5});
  auto& script = testsupport::script();
  script.answers = {dialogs::Answer::Cancel};
  EXPECT_FALSE(display_->CloseQuery());
  // Yes with a name saves, and the window may go.
  const QString saved = dir_.filePath("m.measure.json");
  script.answers = {dialogs::Answer::Yes};
  script.files = {dialogs::FileAnswer{{saved}, 0}};
  EXPECT_TRUE(display_->CloseQuery());
  ASSERT_TRUE(QFile::exists(saved));
  EXPECT_EQ(script.fileRequests.back().directory, dir_.filePath("clip.measure.json"));
  EXPECT_FALSE(qm.MeasurementsChanged());

  // Loaded back into a fresh window, the same sample is there; a file that reaches past the
  // clip's end is refused and changes nothing.
  qm.close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  TQMForm& again = open();
  ASSERT_TRUE(again.LoadMeasurements(saved));
  EXPECT_TRUE(has(again, 0, 1, 0));
  QFile file(saved);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QByteArray text = file.readAll();
  const QString far = dir_.filePath("far.measure.json");
  testsupport::writeFile(far, text.replace("\"frame\": 0", "\"frame\": 60"));
  script.answers = {dialogs::Answer::OK};
  EXPECT_FALSE(again.LoadMeasurements(far));
  EXPECT_TRUE(has(again, 0, 1, 0));
}

// An edited or damaged store gives settings the window's controls can show.
TEST(QMPreferencesTest, StoredValuesAreKeptWithinWhatTheControlsShow) {
  testsupport::resetStore();
  TRegIniFile store(QuickMeasureKey(kAppKey));
  const QString c = "Collection";
  const std::pair<const char*, const char*> cases[] = {
      {"FrameStep", "99999"},       {"CursorPositioning", "7"}, {"GridWidth", "-5"},
      {"GridHeight", "2000000000"}, {"AutoStep", "2"},          {"Visibles", "1x1"}};
  for (const auto& [name, value] : cases) store.WriteString(c, name, value);
  store.WriteString("DisplacementUnits", "Linear", "furlong");
  const TQMPreferences p = ReadQMPreferences(store);
  EXPECT_EQ(std::tuple(p.frameStep, p.cursorPositioning, p.gridWidth, p.gridHeight, p.autoStep),
            std::tuple(TQMPreferences::kMaxFrameStep, 0, 0, TQMPreferences::kMaxWindowSide, false));
  // Kinds 0 and 2 set, 1 cleared, 3 (set from the start) kept past the text's end.
  EXPECT_EQ(p.visibleKinds, 0b1101);
  EXPECT_EQ(VisiblesText(p.visibleKinds), "1011000000000000");
  EXPECT_EQ(p.linearUnit, "furlong");  // the selector then takes its first entry
}

}  // namespace
