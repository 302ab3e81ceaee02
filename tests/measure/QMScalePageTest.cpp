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

template <class T>
T& child(QWidget& page, const char* name) {
  T* w = page.findChild<T*>(QString::fromLatin1(name));
  if (!w) throw std::runtime_error(name);
  return *w;
}

std::unique_ptr<TChildForm> makeDisplay(const std::string& descriptor) {
  auto display =
      std::make_unique<TChildForm>(nullptr, nullptr, TChildShared{}, QStringLiteral("/t/run1.avi"),
                                   QStringLiteral("run1.avi"), nullptr);
  display->Descriptor = descriptor;
  return display;
}

// A model with a table and a context that records what the pages ask of their window.
struct PageFixture : SheetFixture {
  PageFixture() {
    testsupport::resetStore();
    ctx.db = db.get();
    ctx.grid = &grid;
    ctx.showMenu = &menu;
    ctx.setPrompt = [this](const QString& p) { prompt = p; };
    ctx.repaintDisplay = [this] { ++repaints; };
    ctx.markChanged = [this] { ++changes; };
  }
  TImagePoint Referenced(TObjDef& def, TImagePoint at) {
    TSampleObject& s = db->SetPoint(0, def, 0, at);
    return ReferencedPoint(s, 0).value_or(TImagePoint{-999, -999});
  }

  TQMContext ctx;
  QString prompt;
  int repaints = 0;
  int changes = 0;
};

TEST(QMScalePage, GageClicksOfferOnlyAFactorThatCanScale) {
  const struct {
    const char* gage;
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
    PageFixture f;
    TQMScalePage page(f.ctx);
    page.Start();
    auto& gage = child<TEditNumeric>(page, "GageLengthEN");
    auto& apply = child<QPushButton>(page, "ApplyBtn");
    EXPECT_EQ(f.prompt, "click Image Length Point 1");
    page.ImageClick(c.p1);
    EXPECT_EQ(f.prompt, "click Image Length Point 2");
    page.ImageClick(c.p2);
    EXPECT_EQ(f.prompt, "click Image Length Point 1");
    gage.setText(QString::fromLatin1(c.gage));  // the factor follows a later edit too
    EXPECT_EQ(child<QLabel>(page, "NewFactorLB").text(), c.factor) << c.gage;
    EXPECT_EQ(child<TEditNumeric>(page, "ImageLenEN").text(), c.imageLength) << c.gage;
    EXPECT_EQ(apply.isEnabled(), *c.factor != 0) << c.gage;
    apply.click();
    EXPECT_FLOAT_EQ(f.db->Scaler().GageFactor(), *c.factor ? 0.25f : 1.0f) << c.gage;
    EXPECT_EQ(f.changes, *c.factor ? 1 : 0);
    f.db->SetLengthUnit(1);  // cm
    EXPECT_FLOAT_EQ(f.db->Scaler().XFactor(), *c.factor ? 0.025f : 0.1f) << c.gage;
    EXPECT_FLOAT_EQ(f.db->Scaler().YFactor(), f.db->Scaler().XFactor());
  }
}

TEST(QMScalePage, ApplyStoresTheScaleInTheDescriptorForTheNextStart) {
  PageFixture f;
  auto display = makeDisplay("[Timing]\rFrame Rate=1000\r");
  f.ctx.display = display.get();
  TObjDef& point = f.Add(TSampleClass::Point, "P");
  f.db->SetPoint(0, point, 0, {400, 0});
  {
    TQMScalePage page(f.ctx);
    page.Start();
    child<TEditNumeric>(page, "GageLengthEN").setText("100");
    child<QComboBox>(page, "UnitCB").setCurrentIndex(1);
    page.ImageClick({0, 0});
    page.ImageClick({0, 400});
    child<QPushButton>(page, "ApplyBtn").click();
    EXPECT_EQ(child<QLabel>(page, "ScaleFactorLB").text(), "0.25 cm/pixel");
    EXPECT_EQ(f.Cell(point, "X", 0), "1000");  // 100 cm in mm
  }
  EXPECT_TRUE(display->DescriptorChanged);
  const TScalingEntries e = ReadScaling(display->Descriptor);
  EXPECT_EQ(e.gageLength, 100);
  EXPECT_EQ(e.gageUnits, "cm");
  EXPECT_EQ(e.factor, 0.25);
  EXPECT_NE(display->Descriptor.find("Frame Rate=1000\r"), std::string::npos);

  PageFixture reopened;
  reopened.ctx.display = display.get();
  TQMScalePage page(reopened.ctx);
  page.Start();
  EXPECT_EQ(child<TEditNumeric>(page, "GageLengthEN").text(), "100");
  EXPECT_EQ(child<QComboBox>(page, "UnitCB").currentText(), "cm");
  EXPECT_EQ(reopened.db->Scaler().GageUnit(), 1);
  EXPECT_FLOAT_EQ(reopened.db->Scaler().XFactor(), 2.5f);  // 0.25 cm is 2.5 mm
}

TEST(QMScalePage, StartTakesWhatTheDescriptorHoldsAndLeavesWhatItCannotRead) {
  // The page starts with "7" in "in" and the model at 1 mm per pixel.
  const struct {
    const char* scaling;
    const char* gage;
    const char* unit;
    float factor;  // the model's gage factor afterwards
    const char* label;
  } cases[] = {
      {"GageLength=100\rGageUnits=cm\rFactor=0.025\r", "100", "cm", 0.025f, "0.025 cm/pixel"},
      {"GageUnits=furlong\rFactor=2\r", "7", "mm", 2, "2 mm/pixel"},
      {"GageLength=abc\rGageUnits=ft\rFactor=0\r", "7", "ft", 1, "1 mm/pixel"},
      {"GageLength=\rFactor=-2\r", "7", "in", 1, "1 mm/pixel"},
      {"Factor=nan\r", "7", "in", 1, "1 mm/pixel"},
      {"Factor=1e300\r", "7", "in", 1, "1 mm/pixel"},   // infinite as a single
      {"Factor=1e-300\r", "7", "in", 1, "1 mm/pixel"},  // zero as a single
      {"", "7", "in", 1, "1 mm/pixel"},
  };
  for (const auto& c : cases) {
    PageFixture f;
    auto display = makeDisplay(*c.scaling ? std::string("[Scaling]\r") + c.scaling : "");
    f.ctx.display = display.get();
    TQMScalePage page(f.ctx);
    child<TEditNumeric>(page, "GageLengthEN").setText("7");
    child<QComboBox>(page, "UnitCB").setCurrentText("in");
    page.ImageClick({0, 0});  // a half-done measurement is dropped
    page.Start();
    page.ImageClick({0, 70});
    EXPECT_EQ(f.prompt, "click Image Length Point 2") << c.scaling;
    EXPECT_EQ(child<TEditNumeric>(page, "GageLengthEN").text(), c.gage) << c.scaling;
    EXPECT_EQ(child<QComboBox>(page, "UnitCB").currentText(), c.unit) << c.scaling;
    EXPECT_FLOAT_EQ(f.db->Scaler().GageFactor(), c.factor) << c.scaling;
    EXPECT_EQ(child<QLabel>(page, "ScaleFactorLB").text(), c.label) << c.scaling;
    EXPECT_FALSE(display->DescriptorChanged);
  }
}

TEST(QMReferencePage, FixedImagePointWithAndWithoutBase) {
  const struct {
    bool useBase;
    const char *x, *y;
    TImagePoint expected;
  } cases[] = {
      {false, "5", "5", {10, -10}},
      {true, "5", "5", {15, -5}},
      {true, "-2.5", "", {7.5f, -10}},  // an empty field is 0
  };
  for (const auto& c : cases) {
    PageFixture f;
    TObjDef& point = f.Add(TSampleClass::Point, "P");
    TQMReferencePage page(f.ctx);
    page.Start();
    EXPECT_EQ(f.prompt, "Click on image to set point");
    page.ImageClick({100, 50});
    EXPECT_EQ(child<QLabel>(page, "ImagePointLbl").text(), "(100,50)");
    child<TEditNumeric>(page, "RefBaseXEN").setText(c.x);
    child<TEditNumeric>(page, "RefBaseYEN").setText(c.y);
    child<QCheckBox>(page, "RefBaseXB").setChecked(c.useBase);
    const TImagePoint p = f.Referenced(point, {110, 40});
    EXPECT_FLOAT_EQ(p.x, c.expected.x) << c.x << c.useBase;
    EXPECT_FLOAT_EQ(p.y, c.expected.y) << c.y << c.useBase;
    EXPECT_GE(f.changes, 3);
    EXPECT_EQ(f.repaints, f.changes);
  }
}

TEST(QMReferencePage, BaseFieldsRefuseWhatASingleCannotHoldAndFollowTheLengthUnit) {
  PageFixture f;
  TQMReferencePage page(f.ctx);
  auto& x = child<TEditNumeric>(page, "RefBaseXEN");
  auto& y = child<TEditNumeric>(page, "RefBaseYEN");
  child<QCheckBox>(page, "RefBaseXB").setChecked(true);
  x.setText("5");
  y.setText("5");
  x.setText("1e39");
  ASSERT_EQ(testsupport::script().shown.size(), 1u);
  EXPECT_EQ(testsupport::script().shown[0].text, "'1e39' is not a valid floating point value");
  EXPECT_EQ(x.text(), "5");
  EXPECT_FLOAT_EQ(f.db->Referencer().BaseX(), 5);

  f.db->SetLengthUnit(1);
  page.LengthUnitChanged(1);
  EXPECT_EQ(x.text(), "0.5");
  EXPECT_EQ(y.text(), "0.5");
  EXPECT_EQ(child<QLabel>(page, "OffsetUnitsLbl").text(), "cm");
  y.setText("1");  // an edit after the change keeps the converted x
  EXPECT_FLOAT_EQ(f.db->Referencer().BaseX(), 0.5f);
  EXPECT_FLOAT_EQ(f.db->Referencer().BaseY(), 1);
}

QStringList entries(QComboBox& box) {
  QStringList out;
  for (int i = 0; i < box.count(); ++i) out << box.itemText(i);
  return out;
}

TEST(QMReferencePage, ReferenceTracksTheChosenPointOfAnObject) {
  PageFixture f;
  TQMReferencePage page(f.ctx);
  auto& objects = child<QComboBox>(page, "ReferenceCB");
  auto& spin = child<QSpinBox>(page, "RefPointSpin");
  TObjDef& point = f.Add(TSampleClass::Point, "pt");
  TObjDef& line = f.Add(TSampleClass::Line, "Line");
  TObjDef& angle = f.Add(TSampleClass::Angle, "angle");
  for (TObjDef* def : {&point, &line, &angle}) page.ObjectCreated(def);
  EXPECT_EQ(entries(objects), QStringList({"angle", "Line", "pt"}));
  EXPECT_EQ(objects.currentIndex(), -1);
  EXPECT_FALSE(objects.isEnabled());

  page.ImageClick({1000, 1000});
  child<QRadioButton>(page, "RelativeRB").setChecked(true);
  EXPECT_TRUE(objects.isEnabled());
  EXPECT_FALSE(f.db->Referencer().Moving());  // nothing chosen yet
  page.ImageClick({0, 0});                    // ignored in this mode
  EXPECT_FLOAT_EQ(f.db->Referencer().ImagePoint()->GetPoint(0).x, 1000);

  f.db->SetPoint(0, line, 0, {100, 50});
  f.db->SetPoint(0, line, 1, {90, 30});
  objects.setCurrentText("Line");
  EXPECT_TRUE(f.db->Referencer().Moving());
  EXPECT_EQ(spin.maximum(), 2);
  TImagePoint p = f.Referenced(point, {110, 40});
  EXPECT_FLOAT_EQ(p.x, 10);
  EXPECT_FLOAT_EQ(p.y, -10);
  spin.setValue(2);
  EXPECT_EQ(child<QLineEdit>(page, "RefCoordinate").text(), "2");
  EXPECT_EQ(f.db->Referencer().ReferencePoint(), 1);
  p = f.Referenced(point, {110, 40});
  EXPECT_FLOAT_EQ(p.x, 20);
  EXPECT_FLOAT_EQ(p.y, 10);

  objects.setCurrentText("angle");  // a new object starts again at its point 1
  EXPECT_EQ(spin.value(), 1);
  EXPECT_EQ(spin.maximum(), 4);
  objects.setCurrentText("Line");
  child<QRadioButton>(page, "ImagePointRB").setChecked(true);
  EXPECT_FALSE(f.db->Referencer().Moving());
  EXPECT_FALSE(objects.isEnabled());
  child<QRadioButton>(page, "RelativeRB").setChecked(true);  // back on the chosen object
  EXPECT_TRUE(f.db->Referencer().Moving());
  EXPECT_EQ(f.db->Referencer().ReferenceObject(), &line);
}

TEST(QMReferencePage, RenamingKeepsTheChoiceAndDeletingItFallsBackToTheImagePoint) {
  PageFixture f;
  TQMReferencePage page(f.ctx);
  auto& objects = child<QComboBox>(page, "ReferenceCB");
  TObjDef& a = f.Add(TSampleClass::Line, "a");
  TObjDef& b = f.Add(TSampleClass::Line, "b");
  page.ObjectCreated(&a);
  page.ObjectCreated(&b);
  child<QRadioButton>(page, "RelativeRB").setChecked(true);
  objects.setCurrentText("b");
  page.ObjectCreated(f.db->CreateObject(0, "0first"));
  EXPECT_EQ(objects.currentText(), "b");
  const int changesBefore = f.changes;

  // The objects page renames first, then tells; the entry moves and stays chosen.
  b.SetName("Aa");
  page.ObjectRenamed(&b);
  EXPECT_EQ(entries(objects), QStringList({"0first", "a", "Aa"}));
  EXPECT_EQ(objects.currentText(), "Aa");
  EXPECT_TRUE(page.IsReferenceObject(&b));
  EXPECT_EQ(f.changes, changesBefore);

  page.ObjectDeleting(&a);  // not the reference: quietly gone
  EXPECT_TRUE(testsupport::script().shown.empty());
  EXPECT_EQ(objects.currentText(), "Aa");
  f.db->DeleteObject(&a);

  page.ObjectDeleting(&b);
  ASSERT_EQ(testsupport::script().shown.size(), 1u);
  EXPECT_EQ(testsupport::script().shown[0].text, "Referencing has changed to image point fixed");
  EXPECT_TRUE(page.ImagePointMode());
  EXPECT_FALSE(f.db->Referencer().Moving());
  EXPECT_EQ(entries(objects), QStringList({"0first"}));
  EXPECT_EQ(objects.currentIndex(), -1);
  EXPECT_FALSE(page.IsReferenceObject(&b));
  f.db->DeleteObject(&b);
}

TEST(QMReferencePage, SyncShowsALoadedReference) {
  PageFixture f;
  TQMReferencePage page(f.ctx);
  TObjDef& line = f.Add(TSampleClass::Line, "Line");
  f.Add(TSampleClass::Point, "Point");
  f.db->SetImagePoint({12.345678f, 0.5f});
  f.db->SelectMovingReference(&line, 1);
  f.db->SetReferenceBase(true, 2, -3.25f);
  page.SyncFromModel();
  EXPECT_EQ(entries(child<QComboBox>(page, "ReferenceCB")), QStringList({"Line", "Point"}));
  EXPECT_EQ(child<QComboBox>(page, "ReferenceCB").currentText(), "Line");
  EXPECT_TRUE(child<QComboBox>(page, "ReferenceCB").isEnabled());
  EXPECT_TRUE(child<QRadioButton>(page, "RelativeRB").isChecked());
  EXPECT_EQ(child<QSpinBox>(page, "RefPointSpin").value(), 2);
  EXPECT_EQ(child<QLineEdit>(page, "RefCoordinate").text(), "2");
  EXPECT_TRUE(child<QCheckBox>(page, "RefBaseXB").isChecked());
  EXPECT_EQ(child<TEditNumeric>(page, "RefBaseXEN").text(), "2");
  EXPECT_EQ(child<TEditNumeric>(page, "RefBaseYEN").text(), "-3.25");
  EXPECT_EQ(child<QLabel>(page, "ImagePointLbl").text(), "(12.346,0.5)");
  EXPECT_EQ(f.changes, 0);  // loading is no change of the user's
  EXPECT_EQ(f.db->Referencer().ReferencePoint(), 1);
}

}  // namespace
