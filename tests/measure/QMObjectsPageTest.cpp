// The Objects page driven through its widgets offscreen; boxes answered from the dialog script.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>

#include "SheetFixture.h"
#include "TestSupport.h"
#include "measure/QMObjectsPage.h"

namespace {

using dialogs::Answer;
using testsupport::script;

// The texts of the boxes shown since the script was last cleared.
QStringList boxes() {
  QStringList out;
  for (const dialogs::Message& m : script().shown) out << m.text;
  return out;
}

struct ObjectsPage : ::testing::Test {
  ObjectsPage() {
    testsupport::resetStore();
    ctx.db = model.db.get();
    ctx.grid = &model.grid;
    ctx.showMenu = &model.menu;
    ctx.repaintDisplay = [this] { ++repaints; };
    ctx.markChanged = [this] { ++changes; };
    page = std::make_unique<TQMObjectsPage>(ctx);
    page->isReferenceObject = [this](const TObjDef* def) { return def == reference; };
    QObject::connect(page.get(), &TQMObjectsPage::objectsChanged, [this] { ++objectsChanged; });
  }
  QTreeWidget* tree() const { return page->findChild<QTreeWidget*>("ObjTreeView"); }
  QAbstractButton* button(const char* name) const {
    return page->findChild<QAbstractButton*>(name);
  }
  TObjDef* make(const char* kindButton) const {
    button(kindButton)->click();
    return page->Selected();
  }
  // Clicks with `answer` queued for whatever box it asks.
  void click(const char* name, Answer answer) const {
    script().clear();
    script().answers = {answer};
    button(name)->click();
  }
  void press(const char* upDown, int delta) const {
    auto* w = page->findChild<TUpDown*>(upDown);
    (delta > 0 ? w->Up() : w->Down())->click();
  }
  void select(const char* label) const {
    tree()->setCurrentItem(tree()->findItems(label, Qt::MatchExactly)[0]);
  }
  QStringList labels() const {
    QStringList out;
    for (int i = 0; i < tree()->topLevelItemCount(); ++i) out << tree()->topLevelItem(i)->text(0);
    return out;
  }
  QStringList headers(const TObjDef& def) {
    QStringList out;
    const TSheetElements& columns = model.Columns(def);
    for (std::size_t i = 0; i < columns.Count(); ++i)
      if (columns.Element(i)->Visible()) out << model.grid.Cell(columns.Element(i)->Column(), 0);
    return out;
  }

  SheetFixture model{12};  // "Object X" and "Object Y" for every point
  TQMContext ctx;
  std::unique_ptr<TQMObjectsPage> page;
  const TObjDef* reference = nullptr;
  int repaints = 0, changes = 0, objectsChanged = 0;
};

// Names rise past every name taken in any letter case, and only within one sample class.
TEST_F(ObjectsPage, NewObjectsTakeTheirKindsNamesInATreeSortedByText) {
  std::vector<TObjDef*> created, made;
  QObject::connect(page.get(), &TQMObjectsPage::objectCreated,
                   [&](TObjDef* def) { created.push_back(def); });
  const std::pair<const char*, const char*> presses[] = {
      {"NewPointBtn", "Point"}, {"NewLineBtn", "Line"}, {"NewPointBtn", "Point2"},
      {"NewAngleBtn", "Angle"}, {nullptr, "point3"},    {"NewPointBtn", "Point4"}};
  for (const auto& [kind, name] : presses) {
    TObjDef* def = kind ? make(kind) : &model.Add(TSampleClass::Point, name);
    if (kind) made.push_back(def);
    EXPECT_EQ(def->Name(), name);
    EXPECT_EQ(headers(*def), QStringList(2 * def->PointCount(), name));
  }
  EXPECT_EQ(created, made);
  EXPECT_EQ(std::make_pair(changes, objectsChanged), std::make_pair(5, 5));
  // "point3" joined the model behind the page's back: only Reload brings it; "Ref" never shows.
  EXPECT_EQ(labels(), QStringList({"Angle", "Line", "Point", "Point2", "Point4"}));
  page->Reload();
  EXPECT_TRUE(labels().size() == 6 && labels().contains("point3") && !labels().contains("Ref"));
  EXPECT_TRUE(button("NewAreaBtn")->isHidden() && !button("NewAreaBtn")->isEnabled());
}

TEST_F(ObjectsPage, RenamingRefusesTakenAndBlankNames) {
  make("NewLineBtn");
  TObjDef* point = make("NewPointBtn");
  std::vector<TObjDef*> renamed;
  QObject::connect(page.get(), &TQMObjectsPage::objectRenamed,
                   [&](TObjDef* def) { renamed.push_back(def); });
  const std::pair<QString, const char*> cases[] = {
      {"point", "Another object already has the name \"point\"."},
      {"LINE", "Another object already has the name \"LINE\"."},
      {"rEF", "Another object already has the name \"rEF\"."},
      {"   ", "An object needs a name that is not blank."},
      {"Knee = left", nullptr}};
  for (const auto& [name, message] : cases) {
    script().clear();
    const QString expected = message ? point->Name() : name;
    tree()->currentItem()->setText(0, name);
    EXPECT_EQ(QStringList({point->Name(), tree()->currentItem()->text(0)}) + headers(*point),
              QStringList(4, expected));
    EXPECT_EQ(boxes(), message ? QStringList{message} : QStringList()) << name.toStdString();
  }
  EXPECT_EQ(renamed, std::vector<TObjDef*>{point});
  EXPECT_EQ(changes, 3);
  // The label editor "Rename" opens commits through the same check.
  page->show();
  button("RenameBtn")->click();
  tree()->findChild<QLineEdit*>()->setText("Femur");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(tree()->findChild<QLineEdit*>(), &enter);
  QCoreApplication::processEvents();  // the delegate commits from the queue
  EXPECT_EQ(point->Name(), "Femur");
}

TEST_F(ObjectsPage, DeletingAsksWhenSamplesOrTheReferenceAreAtStake) {
  const struct {
    int samples;
    bool isReference;
    Answer answer;
    const char* caption;  // null: nothing asked
  } cases[] = {{0, false, Answer::Cancel, nullptr},
               {3, false, Answer::Cancel, "Delete POINT Collection Object"},
               {3, false, Answer::OK, "Delete POINT Collection Object"},
               {0, true, Answer::Cancel, "Delete POINT Reference Object"},
               {2, true, Answer::OK, "Delete POINT Reference Object"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.samples << " samples, reference " << c.isReference);
    page->Reload();
    TObjDef* def = make("NewPointBtn");
    for (int frame = 0; frame < c.samples; ++frame) model.db->SetPoint(frame, *def, 0, {1, 2});
    reference = c.isReference ? def : nullptr;
    const int columns = model.grid.ColCount();
    const bool gone = !c.caption || c.answer == Answer::OK;
    bool toldWhileAlive = false;
    auto hook = QObject::connect(page.get(), &TQMObjectsPage::objectDeleting, [&](TObjDef* d) {
      toldWhileAlive = d == def && model.db->Objects().IndexOf(d) > 0;
    });
    click("DeleteBtn", c.answer);
    QObject::disconnect(hook);
    const QString asked = "There are " + QString::number(c.samples) +
                          " samples collected.  Delete object and all samples?";
    EXPECT_EQ(boxes(), c.caption ? QStringList{asked} : QStringList());
    if (c.caption) {
      EXPECT_EQ(script().shown[0].caption, c.caption);
      EXPECT_EQ(script().shown[0].buttons, dialogs::Buttons::OKCancel);
    }
    EXPECT_EQ(toldWhileAlive, gone);
    EXPECT_EQ(labels().isEmpty(), gone);
    EXPECT_EQ(model.grid.ColCount(), gone ? columns - 2 : columns);
    if (!gone) model.db->DeleteObject(def);
  }
}

// Clearing the moving reference left the other objects' cells computed against samples that
// were gone.
TEST_F(ObjectsPage, ClearingAsksKeepsTheColumnsAndBlanksWhatReferredToTheSamples) {
  TObjDef* ref = make("NewPointBtn");
  TObjDef* other = make("NewPointBtn");
  model.db->SetPoint(0, *other, 0, {250, 150});
  for (int frame = 0; frame < 2; ++frame) model.db->SetPoint(frame, *ref, 0, {100, 100});
  model.db->SelectMovingReference(ref, 0);
  ASSERT_EQ(model.Cell(*other, "X", 0), "150");
  select("Point");
  const int columns = model.grid.ColCount();
  for (Answer answer : {Answer::Cancel, Answer::OK, Answer::OK}) click("ClearBtn", answer);
  EXPECT_EQ(boxes(), QStringList()) << "nothing left to clear asks nothing";
  EXPECT_EQ(model.db->Frames().CountSamples(*ref), 0);
  EXPECT_EQ(model.grid.ColCount(), columns);
  EXPECT_EQ(model.Cell(*other, "X", 0), "");
  EXPECT_EQ(objectsChanged, 3);
  model.db->SetPoint(4, *other, 0, {1, 1});
  select("Point2");
  click("ClearBtn", Answer::Cancel);
  EXPECT_EQ(boxes(), QStringList{"There are 2 samples collected.  Clear all collected samples?"});
  EXPECT_EQ(script().shown.at(0).caption, "Clear POINT2 Samples");
  EXPECT_EQ(model.db->Frames().CountSamples(*other), 2);
}

TEST_F(ObjectsPage, UpDownsStepMarkerAndColourAndStopAtTheEnds) {
  TObjDef* def = make("NewPointBtn");  // marker 1, colour 1: "Ref" took the first ones
  const struct {
    const char* upDown;
    int delta, presses, marker, colour;
  } steps[] = {{"MarkerUpDown", -1, 2, 0, 1}, {"MarkerUpDown", 1, 3, 3, 1},
               {"MarkerUpDown", 1, 9, 7, 1},  {"ColorUpDown", -1, 3, 7, 0},
               {"ColorUpDown", 1, 5, 7, 5},   {"ColorUpDown", 1, 20, 7, 12}};
  for (const auto& s : steps) {
    SCOPED_TRACE(testing::Message() << s.upDown << " " << s.delta << " x" << s.presses);
    for (int i = 0; i < s.presses; ++i) press(s.upDown, s.delta);
    EXPECT_EQ(def->Polymarker(), s.marker);
    EXPECT_EQ(def->Colour(), kObjectColours[s.colour]);
  }
  EXPECT_EQ(repaints, 1 + 3 + 4 + 1 + 5 + 7);  // only steps that changed something
  const QColor last = QColor::fromRgb(kObjectColours[12]);
  EXPECT_EQ(page->findChild<QFrame*>("ObjColorSwatch")->palette().color(QPalette::Window), last);
  EXPECT_EQ(page->findChild<QWidget*>("ObjPolymarker")->grab().toImage().pixelColor(10, 10), last);
  def->SetColour(0x123456);  // outside the cycle: counts as its last entry
  press("ColorUpDown", -1);
  EXPECT_EQ(def->Colour(), kObjectColours[11]);
}

// A node whose object went behind the page's back leaves every control idle.
TEST_F(ObjectsPage, ButtonsIgnoreObjectsThatAreGone) {
  model.db->DeleteObject(make("NewLineBtn"));
  for (const char* name : {"RenameBtn", "DeleteBtn", "ClearBtn"}) button(name)->click();
  press("MarkerUpDown", 1);
  press("ColorUpDown", 1);
  tree()->topLevelItem(0)->setText(0, "Other");
  EXPECT_EQ(std::make_pair(changes, repaints), std::make_pair(1, 0));
  EXPECT_TRUE(script().shown.empty());
  page->Reload();
  EXPECT_EQ(tree()->topLevelItemCount(), 0);
}

}  // namespace
