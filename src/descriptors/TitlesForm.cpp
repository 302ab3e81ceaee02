#include "descriptors/TitlesForm.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>
#include <cstdint>
#include <limits>

#include "descriptors/DescriptorSections.h"
#include "descriptors/DescriptorWindow.h"
#include "descriptors/Timing.h"
#include "descriptors/TitleGrid.h"
#include "platform/Exception.h"
#include "platform/Placement.h"
#include "textio/NumEdit.h"

namespace {

constexpr int kTitlesPage = 0;
const QString kFrameRate = QStringLiteral("Frame Rate");
const QString kMarkFrame = QStringLiteral("Mark Frame");
const QString kTimeAtMarkFrame = QStringLiteral("Time at Mark Frame");

double floatOr(const TEditNumeric* field, double fallback) {
  try {
    return field->FloatValue();
  } catch (const Exception&) {
    return fallback;
  }
}

int integerOr(const TEditNumeric* field, int fallback) {
  try {
    return field->IntegerValue();
  } catch (const Exception&) {
    return fallback;
  }
}

QString valueOf(const QStringList& lines, const QString& name) {
  const int i = IndexOfName(lines, name);
  return i < 0 ? QString() : LineValue(lines[i]);
}

}  // namespace

TTitlesForm::TTitlesForm(QWidget* parent) : QDialog(parent) {
  buildUi();
}

TTitlesForm::~TTitlesForm() = default;

void TTitlesForm::InitTitleTemplates(const TRegIniFile* reg, TStringListList& lists) {
  RestorePlacement(this, reg, false);
  InitTitleLists(reg, lists);
  locate(lists);
  FrameRateFldChange();
  TimingLockedCBClick();
  MarkFrameFldChange();
}

void TTitlesForm::SavePlacement(TRegIniFile* reg) {
  ::SavePlacement(this, reg, 0);
}

void TTitlesForm::ForgetWindow(IDescriptorWindow* window) {
  if (window_ == window) window_ = nullptr;
}

bool TTitlesForm::locate(const TStringListList& lists) {
  lists_ = LocateTitleLists(lists);
  applyDefaultsBtn_->setEnabled(lists_.defaults != nullptr);
  return lists_.Complete();
}

// The rate the timing takes: 1000 frames/s for one that cannot be read or used.
double TTitlesForm::frameRate() const {
  const double rate = floatOr(frameRateFld_, 0);
  return UsableFrameRate(rate) ? rate : 1000;
}

int TTitlesForm::markFrame() {
  if (!markFrameFld_->IsBlank()) lastMark_ = integerOr(markFrameFld_, lastMark_);
  return lastMark_;
}

double TTitlesForm::timeAtMark() {
  if (!timeFrameFld_->IsBlank()) lastTime_ = floatOr(timeFrameFld_, lastTime_);
  return lastTime_;
}

// A value equal to the field's blank value shows as an empty field; it is remembered here.
void TTitlesForm::showMark(int mark) {
  lastMark_ = mark;
  markFrameFld_->SetIntegerValue(mark);
}

void TTitlesForm::showTime(double time) {
  lastTime_ = time;
  timeFrameFld_->SetFloatValue(time);
}

void TTitlesForm::loadDefaultTiming() {
  frameRateFld_->SetFloatValue(1000);
  showMark(0);
  showTime(0);
}

void TTitlesForm::loadTiming(const QStringList& timing) {
  int mark = 0;
  double time = 0;
  try {
    mark = StrToInt(valueOf(timing, kMarkFrame));
  } catch (const Exception&) {
  }
  try {
    time = StrToFloat(valueOf(timing, kTimeAtMarkFrame));
  } catch (const Exception&) {
  }
  showMark(mark);
  showTime(time);
  // Taken unchecked: the frame-rate handler reads a bad rate as 1000 without a message.
  frameRateFld_->LoadText(valueOf(timing, kFrameRate));
}

void TTitlesForm::ParseDescriptor(TStringListList& lists, const std::string& text) {
  if (!locate(lists)) return;
  loading_ = true;
  const QStringList timing = DescriptorSectionLines(text, "[Timing]");
  const QStringList camera = DescriptorSectionLines(text, "[Camera]");
  const QStringList titles = DescriptorSectionLines(text, "[Titles]");
  // A section the text lacks takes its template, never the previously parsed clip's lines.
  *lists_.timing = timing.isEmpty() ? TimingTemplate() : timing;
  *lists_.camera = camera.isEmpty() ? CameraTemplate() : camera;
  if (timing.isEmpty())
    loadDefaultTiming();
  else
    loadTiming(timing);
  if (!titles.isEmpty()) *lists_.titles = titles;
  loading_ = false;
  FrameRateFldChange();
  TimingLockedCBClick();
  modified_ = false;
}

void TTitlesForm::FrameRateFldChange() {
  if (loading_ || inFrameRate_) return;
  inFrameRate_ = true;
  const double rate = frameRate();
  if (rate != floatOr(frameRateFld_, 0)) frameRateFld_->SetFloatValue(rate);
  if (window_) {
    const TTimingValues t = DeriveTiming(rate, markFrame(), timeAtMark());
    if (t.period != window_->EffectiveFramePeriod() || t.offset != window_->TimeOffset()) {
      window_->SetFramePeriod(t.period);
      window_->SetTimeOffset(t.offset);
      timeFrameFld_->SetDigits(window_->TimeDecimals() + 1);
      modified_ = true;
    }
  }
  inFrameRate_ = false;
}

void TTitlesForm::TimingLockedCBClick() {
  const bool locked = timingLocked_->isChecked();
  frameRateFld_->setEnabled(!locked);
  timeFrameFld_->setEnabled(!locked);
}

void TTitlesForm::MarkFrameFldChange() {
  if (loading_ || inMarkFrame_) return;
  inMarkFrame_ = true;
  if (isVisible()) markFrameFld_->setFocus();
  if (window_) {
    window_->UpdateFrame();
    // Shows the time of the new mark frame; the timing itself stays.
    showTime(double(window_->EffectiveFramePeriod()) * markFrame() + double(window_->TimeOffset()));
    // The new mark frame and its time are an edit that OK must store.
    modified_ = true;
  }
  inMarkFrame_ = false;
}

void TTitlesForm::FirstSBClick(int step) {
  const std::int64_t next = std::int64_t(markFrame()) + step;  // no overflow at the ends
  markFrameFld_->SetIntegerValue(int(std::clamp<std::int64_t>(next, std::numeric_limits<int>::min(),
                                                              std::numeric_limits<int>::max())));
}

void TTitlesForm::titleCountChanged() {
  removeBtn_->setEnabled(working_.size() > 1);
  modified_ = true;
}

void TTitlesForm::AddBtnClick() {
  titlesGrid_->AddLine(true);
}

void TTitlesForm::InsertBtnClick() {
  titlesGrid_->AddLine(false);
}

void TTitlesForm::RemoveBtnClick() {
  titlesGrid_->RemoveCurrentLine();
}

void TTitlesForm::ApplyDefaultsBtnClick() {
  if (!db_ || !RebuildTitles(*db_) || !locate(db_->lists) || !lists_.defaults) return;
  for (const QString& line : *lists_.defaults)
    SetLineValue(working_, LineName(line), DefaultTitleValue(line, db_->names, db_->lists));
  titlesGrid_->Reload();
  titleCountChanged();
}

void TTitlesForm::OKBtnClick() {
  if (titlesGrid_->ValidateCurrentName()) accept();
}

void TTitlesForm::PageControlChange(int page) {
  if (pageGuard_) return;
  if (page_ == kTitlesPage && page != kTitlesPage && !titlesGrid_->ValidateCurrentName()) {
    pageGuard_ = true;
    pages_->setCurrentIndex(kTitlesPage);
    pageGuard_ = false;
    return;
  }
  page_ = page;
  controlsPanel_->setVisible(page == kTitlesPage);
}

void TTitlesForm::ComposeDescriptor(TStringListList& lists, std::string& text) {
  if (!locate(lists)) return;
  // Sections of other subsystems (Quick Measure's scale) stay with the clip.
  text = ComposeDescriptorText(frameRate(), markFrame(), timeAtMark(), *lists_.camera,
                               *lists_.titles, OtherSections(text));
}

bool TTitlesForm::EditDescriptors(const QString& caption, IDescriptorWindow* window,
                                  std::string& text, TDatabases& db) {
  if (!window || !RebuildTitles(db) || !locate(db.lists)) return false;
  setWindowTitle(QStringLiteral("Descriptors for ") + caption);
  window_ = window;
  db_ = &db;
  ParseDescriptor(db.lists, text);
  recordingGrid_->SetLines(lists_.camera);
  working_ = *lists_.titles;
  titlesGrid_->SetLines(&working_);
  titlesGrid_->setCurrentCell(0, 1);
  removeBtn_->setEnabled(working_.size() > 1);
  pages_->setCurrentIndex(kTitlesPage);
  modified_ = false;
  const float period = window->EffectiveFramePeriod();
  const float offset = window->TimeOffset();

  const bool changed = exec() == QDialog::Accepted && modified_;
  if (changed) {
    *lists_.titles = working_;
    SetLineValue(*lists_.timing, kFrameRate, frameRateFld_->text());
    SetLineValue(*lists_.timing, kMarkFrame, QString::number(markFrame()));
    SetLineValue(*lists_.timing, kTimeAtMarkFrame,
                 QString::fromStdString(FloatToStr(timeAtMark())));
    ComposeDescriptor(db.lists, text);
  } else {
    window->SetFramePeriod(period);
    window->SetTimeOffset(offset);
  }
  titlesGrid_->SetLines(nullptr);
  recordingGrid_->SetLines(nullptr);
  working_.clear();
  return changed;
}
