#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>

#include "EditorKit.h"
#include "descriptors/TitlesForm.h"
#include "textio/NumEdit.h"

namespace {

const std::string kTiming500 = "[Timing]\rFrame Rate=500\rMark Frame=10\rTime at Mark Frame=100\r";

// "|" stands for the carriage return that ends every line.
std::string T(std::string text) {
  std::replace(text.begin(), text.end(), '|', '\r');
  return text;
}

const std::string kCameraTemplate =
    T("[Camera]|Camera Type=?|Camera ID=?|Session ID=?|Recording Rate=?|Exposure Setting=?|"
      "Date and Time=?|");

class TitlesFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.InitTitleTemplates(dbs.reg.get(), dbs.db.lists);
    form.SetEditedWindow(&window);
  }
  template <typename T>
  T* find(const char* name) {
    T* c = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  void open(const std::string& text) {
    window.text = text;
    form.ParseDescriptor(dbs.db.lists, window.text);
  }
  bool edit(std::function<void()> drive) {
    whenShown(form, std::move(drive));
    return form.EditDescriptors(QStringLiteral("run7.avi"), &window, window.text, dbs.db);
  }
  // The text starts with exactly this timing section.
  void expectTiming(const std::string& lines) {
    EXPECT_EQ(window.text.substr(0, window.text.find('[', 1)), T("[Timing]|" + lines));
  }
  TTitleGrid* titles() { return find<TTitleGrid>("TitlesGrid"); }
  void click(const char* button) { find<QPushButton>(button)->click(); }

  TestDatabases dbs;
  TTitlesForm form;
  FakeWindow window;
};

TEST_F(TitlesFormTest, ParsingSetsTheWindowTimingAndAMissingSectionTakesItsTemplate) {
  open(kTiming500 + "[Camera]\rCamera ID=A1\r");
  EXPECT_EQ(window.EffectiveFramePeriod(), 2.0f);
  EXPECT_EQ(window.TimeOffset(), 80.0f);
  EXPECT_FALSE(form.Modified());
  // The next clip has neither timing nor camera facts: it must not inherit these.
  open("[Titles]\rDescription=second clip\r");
  EXPECT_EQ(window.EffectiveFramePeriod(), 1.0f);
  EXPECT_EQ(window.TimeOffset(), 0.0f);
  EXPECT_EQ(*LocateTitleLists(dbs.db.lists).camera, CameraTemplate());
  open("[Timing]\rFrame Rate=?\rMark Frame=x\rTime at Mark Frame=5\r");
  EXPECT_EQ(window.EffectiveFramePeriod(), 1.0f);  // a bad rate is 1000 frames/s
  EXPECT_EQ(window.TimeOffset(), 5.0f);            // a bad mark frame is 0
  EXPECT_TRUE(testsupport::script().shown.empty());
}

TEST_F(TitlesFormTest, CancelAfterChangingTheRateRestoresPeriodAndOffset) {
  open(kTiming500);
  const bool changed = edit([&] {
    auto* rate = find<TEditNumeric>("FrameRateFld");
    EXPECT_FALSE(rate->isEnabled());  // until the timing is unlocked
    find<QCheckBox>("TimingLockedCB")->click();
    rate->setText(QStringLiteral("250"));
    EXPECT_EQ(window.EffectiveFramePeriod(), 4.0f);  // applied live
    auto* time = find<TEditNumeric>("TimeFrameFld");
    time->setText(QStringLiteral("-20"));
    EXPECT_EQ(window.TimeOffset(), 80.0f);  // only on leaving the field
    emit time->editingFinished();
    EXPECT_EQ(window.TimeOffset(), -20.0f);
    click("CancelBtn");
  });
  EXPECT_FALSE(changed);
  EXPECT_EQ(window.EffectiveFramePeriod(), 2.0f);
  EXPECT_EQ(window.TimeOffset(), 80.0f);
  expectTiming("Frame Rate=500|Mark Frame=0|Time at Mark Frame=80|");
}

TEST_F(TitlesFormTest, OkStoresOnlyAChangeAndAFractionalRateSurvivesComposeAndParse) {
  open(kTiming500 + "[Scaling]\rGage=a[b]\r");
  EXPECT_FALSE(edit([&] { click("OKBtn"); }));
  EXPECT_EQ(form.windowTitle(), "Descriptors for run7.avi");
  const bool changed = edit([&] {
    find<QCheckBox>("TimingLockedCB")->click();
    find<TEditNumeric>("FrameRateFld")->setText(QStringLiteral("29.97"));
    click("OKBtn");
  });
  ASSERT_TRUE(changed);
  // Other sections stay with the clip, after the three the editor composes.
  EXPECT_EQ(window.text, T("[Timing]|Frame Rate=29.97|Mark Frame=0|Time at Mark Frame=80|") +
                             kCameraTemplate +
                             T("[Titles]|Title=?|Imager Name=?|[Scaling]|Gage=a[b]|"));
  const float period = window.EffectiveFramePeriod();
  EXPECT_EQ(period, float(1000.0 / 29.97));
  open(window.text);  // as the clip opens next time
  EXPECT_EQ(window.EffectiveFramePeriod(), period);
}

TEST_F(TitlesFormTest, EditingOnlyTheMarkFrameKeepsTheTimingAndStoresTheNewMark) {
  open(kTiming500);
  const bool changed = edit([&] {
    auto* mark = find<TEditNumeric>("MarkFrameFld");
    mark->setText(QStringLiteral("20"));
    EXPECT_EQ(find<TEditNumeric>("TimeFrameFld")->text(), "120.000");
    form.FirstSBClick(1);
    EXPECT_EQ(mark->text(), "21");
    EXPECT_EQ(find<TEditNumeric>("TimeFrameFld")->text(), "122.000");
    click("OKBtn");
  });
  EXPECT_TRUE(changed);
  EXPECT_GT(window.updates, 0);
  EXPECT_EQ(window.EffectiveFramePeriod(), 2.0f);
  EXPECT_EQ(window.TimeOffset(), 80.0f);
  expectTiming("Frame Rate=500|Mark Frame=21|Time at Mark Frame=122|");
}

// A name with "=" or "[" once went into the text, where a later title became another
// section's text.
TEST_F(TitlesFormTest, BlankDuplicateAndMalformedNamesAreRefusedWithTheirMessages) {
  open(kTiming500 + "[Titles]\rDescription=sled\rOperator=kim\r");
  const bool changed = edit([&] {
    TTitleGrid* grid = titles();
    grid->setCurrentCell(0, 0);
    click("AddBtn");  // a blank name after row 1, being edited
    EXPECT_EQ(grid->currentRow(), 1);
    click("OKBtn");
    EXPECT_TRUE(form.isVisible());
    typeInCell(grid, 1, 0, QStringLiteral("description"));
    click("OKBtn");
    EXPECT_TRUE(form.isVisible());
    find<QTabWidget>("PageControl")->setCurrentIndex(1);  // leaving the page is refused too
    EXPECT_EQ(find<QTabWidget>("PageControl")->currentIndex(), 0);
    for (const char* malformed : {"Rig=A", "[Rig]", "Rig[2]"}) {
      typeInCell(grid, 1, 0, QString::fromLatin1(malformed));
      EXPECT_EQ(grid->item(1, 0)->text(), "description") << malformed;
    }
    typeInCell(grid, 1, 0, QStringLiteral("  Rig"));
    click("OKBtn");
    EXPECT_FALSE(form.isVisible());
  });
  EXPECT_TRUE(changed);
  const QString duplicate = QStringLiteral("The name \"description\" is already used on row 1");
  const QString equals = QStringLiteral("Title field names may not contain \"=\".");
  const QString bracket = QStringLiteral("Title field names may not contain \"[\".");
  EXPECT_EQ(shownTexts(), (QStringList{"Title field names may not be Blank.", duplicate, duplicate,
                                       equals, bracket, bracket}));
  EXPECT_EQ(testsupport::script().shown[0].icon, dialogs::Icon::Warning);
  // Opening the clip wrote its timing back normalised to mark frame 0.
  EXPECT_EQ(window.text, T("[Timing]|Frame Rate=500|Mark Frame=0|Time at Mark Frame=80|") +
                             kCameraTemplate + T("[Titles]|Description=sled|Rig=?|Operator=kim|"));
}

// An emptied mark frame or time once read as its blank value 10000000 (a mark frame of ten
// million, or a timing shifted by 10000 s), and a rate of 1e-40 gave an infinite period.
TEST_F(TitlesFormTest, EmptiedFieldsKeepTheirLastValueAndAnUnusableRateIs1000) {
  const std::string kept = "Frame Rate=500|Mark Frame=0|Time at Mark Frame=80|";
  const struct {
    const char *field, *text;
    std::string timing;
    float period, offset;
  } cases[] = {
      {"MarkFrameFld", "", kept, 2, 80},
      {"TimeFrameFld", " ", kept, 2, 80},
      {"FrameRateFld", "1e-40", "Frame Rate=1000|Mark Frame=0|Time at Mark Frame=80|", 1, 80},
  };
  for (const auto& c : cases) {
    FakeWindow clip;  // a fresh window each time: opening it sets and normalises its timing
    form.SetEditedWindow(&clip);
    clip.text = kTiming500;
    form.ParseDescriptor(dbs.db.lists, clip.text);
    whenShown(form, [&] {
      auto* field = find<TEditNumeric>(c.field);
      field->setText(QString::fromLatin1(c.text));
      emit field->editingFinished();
      typeInCell(titles(), 0, 1, QStringLiteral("sled"));
      click("OKBtn");
    });
    EXPECT_TRUE(form.EditDescriptors(QStringLiteral("run7.avi"), &clip, clip.text, dbs.db));
    form.ForgetWindow(&clip);
    EXPECT_EQ(clip.text,
              T("[Timing]|" + c.timing) + kCameraTemplate + T("[Titles]|Title=sled|Imager Name=?|"))
        << c.field;
    EXPECT_EQ(clip.EffectiveFramePeriod(), c.period) << c.field;
    EXPECT_EQ(clip.TimeOffset(), c.offset) << c.field;
  }
}

TEST_F(TitlesFormTest, TheLastTitleCannotBeRemoved) {
  open(kTiming500 + "[Titles]\rDescription=sled\rOperator=kim\r");
  const bool changed = edit([&] {
    auto* remove = find<QPushButton>("RemoveBtn");
    EXPECT_TRUE(remove->isEnabled());
    titles()->setCurrentCell(0, 1);
    click("RemoveBtn");
    EXPECT_FALSE(remove->isEnabled());
    form.RemoveBtnClick();
    EXPECT_EQ(titles()->rowCount(), 1);
    click("OKBtn");
  });
  // Removing a title alone is a change that OK stores.
  EXPECT_TRUE(changed);
  EXPECT_NE(window.text.find("[Titles]\rOperator=kim\r"), std::string::npos);
}

TEST_F(TitlesFormTest, TemplateTitlesShowResolvedDefaults) {
  PutOwnList(dbs.db.lists, kDefaultTitlesList,
             {"Camera=(rig7.ini)[Camera]Camera ID", "Rig=(rig8.ini)[Camera]Camera ID"});
  open(kTiming500);
  edit([&] {
    EXPECT_EQ(titles()->item(0, 1)->text(), "HX-9");
    EXPECT_EQ(titles()->item(1, 1)->text(), "(rig8.ini)[Camera]Camera ID");
    typeInCell(titles(), 0, 1, QStringLiteral("  "));  // an emptied value becomes "?"
    EXPECT_EQ(titles()->item(0, 1)->text(), "?");
    click("ApplyDefaultsBtn");
    EXPECT_EQ(titles()->item(0, 1)->text(), "HX-9");
    EXPECT_TRUE(form.Modified());
    click("CancelBtn");
  });
}

}  // namespace
