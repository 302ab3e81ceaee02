#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "SheetFixture.h"
#include "TestSupport.h"
#include "display/ChildForm.h"
#include "measure/Gage.h"
#include "measure/QMContext.h"
#include "measure/QMReferencePage.h"
#include "measure/QMScalePage.h"
#include "textio/NumEdit.h"

namespace {

using testsupport::script;

template <class T>
T& child(QWidget& page, const char* name) {
  T* w = page.findChild<T*>(QString::fromLatin1(name));
  if (!w) throw std::runtime_error(name);
  return *w;
}

QString text(QWidget& page, const char* name) {
  return child<QLineEdit>(page, name).text();
}

QStringList entries(QComboBox& box) {
  QStringList out;
  for (int i = 0; i < box.count(); ++i) out << box.itemText(i);
  return out;
}

// A model with a table, a display window holding `descriptor`, and a context that records what
// the pages ask of their window.
struct PageFixture : SheetFixture {
  explicit PageFixture(const std::string& descriptor = {})
      : display(nullptr, nullptr, TChildShared{}, QStringLiteral("/t/run1.avi"),
                QStringLiteral("run1.avi"), nullptr) {
    testsupport::resetStore();
    display.Descriptor = descriptor;
    ctx.db = db.get();
    ctx.grid = &grid;
    ctx.showMenu = &menu;
    ctx.display = &display;
    ctx.setPrompt = [this](const QString& p) { prompt = p; };
    ctx.repaintDisplay = [this] { ++repaints; };
    ctx.markChanged = [this] { ++changes; };
  }
  // Where a sample clicked at `at` lies against the reference, as "x,y".
  QString Referenced(TObjDef& def, TImagePoint at) {
    const auto p = ReferencedPoint(db->SetPoint(0, def, 0, at), 0);
    return p ? QString("%1,%2").arg(p->x).arg(p->y) : "none";
  }

  TChildForm display;
  TQMContext ctx;
  QString prompt;
  int repaints = 0, changes = 0;
};

// Apply rescales the table and leaves the scale in the descriptor for the next start.
TEST(QMScalePage, GageClicksOfferOnlyAFactorThatCanScale) {
  const struct {
    const char* gage;  // in cm
    TImagePoint p1, p2;
    const char* factor;  // NewFactorLB; empty: Apply stays disabled
    const char* imageLength;
  } cases[] = {
      {"100", {0, 0}, {400, 0}, "0.25", "400"},
      {"-50", {10, 10}, {130, 170}, "0.25", "200"},  // absolute value, 3-4-5 triangle
      {"10", {7, 7}, {7, 7}, "", ""},                // same pixel twice
      {"", {0, 0}, {400, 0}, "", "400"},             // empty field: factor 0 would zero all
      {"0", {0, 0}, {400, 0}, "", "400"},
      {"1e39", {0, 0}, {1, 0}, "", "1"},  // beyond a single: every value would be infinite
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gage);
    PageFixture f("[Timing]\rFrame Rate=1000\r");
    TObjDef& point = f.Add(TSampleClass::Point, "P");
    f.db->SetPoint(0, point, 0, {400, 0});
    TQMScalePage page(f.ctx);
    page.Start();
    child<QComboBox>(page, "UnitCB").setCurrentText("cm");
    page.ImageClick(c.p1);
    page.ImageClick(c.p2);
    child<TEditNumeric>(page, "GageLengthEN").setText(c.gage);  // the factor follows the edit
    EXPECT_EQ(child<QLabel>(page, "NewFactorLB").text(), c.factor);
    EXPECT_EQ(text(page, "ImageLenEN"), c.imageLength);
    const bool usable = *c.factor;
    EXPECT_EQ(child<QPushButton>(page, "ApplyBtn").isEnabled(), usable);
    child<QPushButton>(page, "ApplyBtn").click();
    EXPECT_EQ(child<QLabel>(page, "ScaleFactorLB").text(), usable ? "0.25 cm/pixel" : "1 mm/pixel");
    EXPECT_EQ(f.Cell(point, "X", 0), usable ? "1000" : "400");  // in mm
    EXPECT_EQ(f.changes, usable ? 1 : 0);
    EXPECT_EQ(f.display.DescriptorChanged, usable);
    const TScalingEntries e = ReadScaling(f.display.Descriptor);
    EXPECT_EQ(e.factor, usable ? std::optional(0.25) : std::nullopt);
    EXPECT_EQ(e.gageUnits, usable ? std::optional<std::string>("cm") : std::nullopt);
    EXPECT_NE(f.display.Descriptor.find("Frame Rate=1000\r"), std::string::npos);
  }
}

TEST(QMScalePage, StartTakesWhatTheDescriptorHoldsAndLeavesWhatItCannotRead) {
  // The page starts with "7" in "in" and the model at 1 mm per pixel.
  const struct {
    const char* scaling;
    const char* gage;
    const char* unit;
    float mmPerPixel;  // the model's scale afterwards
    const char* label;
  } cases[] = {
      {"GageLength=100\rGageUnits=cm\rFactor=0.025\r", "100", "cm", 0.25f, "0.025 cm/pixel"},
      {"GageUnits=furlong\rFactor=2\r", "7", "mm", 2, "2 mm/pixel"},
      {"GageLength=abc\rGageUnits=ft\rFactor=0\r", "7", "ft", 1, "1 mm/pixel"},
      {"GageLength=\rFactor=-2\r", "7", "in", 1, "1 mm/pixel"},
      {"Factor=nan\r", "7", "in", 1, "1 mm/pixel"},
      {"Factor=1e300\r", "7", "in", 1, "1 mm/pixel"},   // infinite as a single
      {"Factor=1e-300\r", "7", "in", 1, "1 mm/pixel"},  // zero as a single
      {"", "7", "in", 1, "1 mm/pixel"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scaling);
    PageFixture f(*c.scaling ? std::string("[Scaling]\r") + c.scaling : "");
    TQMScalePage page(f.ctx);
    child<TEditNumeric>(page, "GageLengthEN").setText("7");
    child<QComboBox>(page, "UnitCB").setCurrentText("in");
    page.ImageClick({0, 0});  // a half-done measurement is dropped
    page.Start();
    page.ImageClick({0, 70});
    EXPECT_EQ(f.prompt, "click Image Length Point 2");
    EXPECT_EQ(text(page, "GageLengthEN"), c.gage);
    EXPECT_EQ(child<QComboBox>(page, "UnitCB").currentText(), c.unit);
    EXPECT_FLOAT_EQ(f.db->Scaler().XFactor(), c.mmPerPixel);
    EXPECT_EQ(child<QLabel>(page, "ScaleFactorLB").text(), c.label);
    EXPECT_FALSE(f.display.DescriptorChanged);
  }
}

// The base shifts the clicked point; a field a single cannot hold is refused, and the fields
// follow the length unit.
TEST(QMReferencePage, FixedImagePointAndItsBase) {
  PageFixture f;
  TObjDef& point = f.Add(TSampleClass::Point, "P");
  TQMReferencePage page(f.ctx);
  auto& x = child<TEditNumeric>(page, "RefBaseXEN");
  auto& y = child<TEditNumeric>(page, "RefBaseYEN");
  page.Start();
  EXPECT_EQ(f.prompt, "Click on image to set point");
  page.ImageClick({100, 50});
  EXPECT_EQ(child<QLabel>(page, "ImagePointLbl").text(), "(100,50)");
  auto& useBase = child<QCheckBox>(page, "RefBaseXB");
  x.setText("-2.5");
  useBase.setChecked(true);
  EXPECT_EQ(f.Referenced(point, {110, 40}), "7.5,-10");  // an empty field is 0
  useBase.setChecked(false);
  EXPECT_EQ(f.Referenced(point, {110, 40}), "10,-10");
  x.setText("5");
  y.setText("5");
  useBase.setChecked(true);
  EXPECT_EQ(f.Referenced(point, {110, 40}), "15,-5");
  EXPECT_GE(f.changes, 6);  // the click and every edit
  EXPECT_EQ(f.repaints, f.changes);
  x.setText("1e39");
  EXPECT_EQ(script().shown.size(), 1u);
  EXPECT_EQ(script().shown.at(0).text, "'1e39' is not a valid floating point value");
  EXPECT_EQ(x.text(), "5");
  EXPECT_FLOAT_EQ(f.db->Referencer().BaseX(), 5);

  f.db->SetLengthUnit(1);
  page.LengthUnitChanged(1);
  EXPECT_EQ(QStringList({x.text(), y.text(), child<QLabel>(page, "OffsetUnitsLbl").text()}),
            QStringList({"0.5", "0.5", "cm"}));
  y.setText("1");  // an edit after the change keeps the converted x
  EXPECT_FLOAT_EQ(f.db->Referencer().BaseX(), 0.5f);
  EXPECT_FLOAT_EQ(f.db->Referencer().BaseY(), 1);
}

TEST(QMReferencePage, ReferenceTracksTheChosenPointOfAnObject) {
  PageFixture f;
  TQMReferencePage page(f.ctx);
  auto& objects = child<QComboBox>(page, "ReferenceCB");
  auto& spin = child<QSpinBox>(page, "RefPointSpin");
  const TReferencer& referencer = f.db->Referencer();
  TObjDef& point = f.Add(TSampleClass::Point, "pt");
  TObjDef& line = f.Add(TSampleClass::Line, "Line");
  TObjDef& angle = f.Add(TSampleClass::Angle, "angle");
  for (TObjDef* def : {&point, &line, &angle}) page.ObjectCreated(def);
  EXPECT_EQ(entries(objects), QStringList({"angle", "Line", "pt"}));
  EXPECT_TRUE(objects.currentIndex() == -1 && !objects.isEnabled());

  page.ImageClick({1000, 1000});
  child<QRadioButton>(page, "RelativeRB").setChecked(true);
  EXPECT_TRUE(objects.isEnabled());
  EXPECT_FALSE(referencer.Moving());  // nothing chosen yet
  page.ImageClick({0, 0});            // ignored in this mode
  EXPECT_FLOAT_EQ(referencer.ImagePoint()->GetPoint(0).x, 1000);

  f.db->SetPoint(0, line, 0, {100, 50});
  f.db->SetPoint(0, line, 1, {90, 30});
  objects.setCurrentText("Line");
  EXPECT_TRUE(referencer.Moving());
  EXPECT_EQ(spin.maximum(), 2);
  EXPECT_EQ(f.Referenced(point, {110, 40}), "10,-10");
  spin.setValue(2);
  EXPECT_EQ(text(page, "RefCoordinate"), "2");
  EXPECT_EQ(referencer.ReferencePoint(), 1);
  EXPECT_EQ(f.Referenced(point, {110, 40}), "20,10");

  objects.setCurrentText("angle");  // a new object starts again at its point 1
  EXPECT_TRUE(spin.value() == 1 && spin.maximum() == 4);
  objects.setCurrentText("Line");
  child<QRadioButton>(page, "ImagePointRB").setChecked(true);
  EXPECT_FALSE(referencer.Moving() || objects.isEnabled());
  child<QRadioButton>(page, "RelativeRB").setChecked(true);  // back on the chosen object
  EXPECT_TRUE(referencer.Moving());
  EXPECT_EQ(referencer.ReferenceObject(), &line);
}

// A loaded reference shows in every control; renaming keeps the choice, and deleting the
// reference falls back to the image point. Neither loading nor renaming is a change of the user's.
TEST(QMReferencePage, LoadedReferenceFollowsRenamesAndFallsBackWhenDeleted) {
  PageFixture f;
  TQMReferencePage page(f.ctx);
  auto& objects = child<QComboBox>(page, "ReferenceCB");
  TObjDef& a = f.Add(TSampleClass::Line, "a");
  TObjDef& b = f.Add(TSampleClass::Line, "b");
  f.db->SetImagePoint({12.345678f, 0.5f});
  f.db->SelectMovingReference(&b, 1);
  f.db->SetReferenceBase(true, 2, -3.25f);
  page.SyncFromModel();
  EXPECT_TRUE(objects.isEnabled() && child<QRadioButton>(page, "RelativeRB").isChecked());
  EXPECT_TRUE(child<QCheckBox>(page, "RefBaseXB").isChecked());
  EXPECT_EQ(QStringList({objects.currentText(), child<QSpinBox>(page, "RefPointSpin").text(),
                         text(page, "RefCoordinate"), text(page, "RefBaseXEN"),
                         text(page, "RefBaseYEN"), child<QLabel>(page, "ImagePointLbl").text()}),
            QStringList({"b", "2", "2", "2", "-3.25", "(12.346,0.5)"}));
  EXPECT_EQ(f.db->Referencer().ReferencePoint(), 1);
  page.ObjectCreated(f.db->CreateObject(0, "0first"));
  EXPECT_EQ(objects.currentText(), "b");

  // The objects page renames first, then tells; the entry moves and stays chosen.
  b.SetName("Aa");
  page.ObjectRenamed(&b);
  EXPECT_EQ(entries(objects), QStringList({"0first", "a", "Aa"}));
  EXPECT_EQ(objects.currentText(), "Aa");
  EXPECT_TRUE(page.IsReferenceObject(&b));
  EXPECT_EQ(f.changes, 0);

  page.ObjectDeleting(&a);  // not the reference: quietly gone
  EXPECT_TRUE(script().shown.empty());
  EXPECT_EQ(objects.currentText(), "Aa");
  f.db->DeleteObject(&a);

  page.ObjectDeleting(&b);
  ASSERT_EQ(script().shown.size(), 1u);
  EXPECT_EQ(script().shown[0].text, "Referencing has changed to image point fixed");
  EXPECT_TRUE(page.ImagePointMode());
  EXPECT_FALSE(f.db->Referencer().Moving());
  EXPECT_EQ(entries(objects), QStringList({"0first"}));
  EXPECT_EQ(objects.currentIndex(), -1);
  EXPECT_FALSE(page.IsReferenceObject(&b));
  f.db->DeleteObject(&b);
}

}  // namespace
