#include "measure/QMScalePage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "display/ChildForm.h"
#include "measure/MotionDataBase.h"
#include "measure/QMContext.h"
#include "measure/Units.h"
#include "platform/Exception.h"
#include "textio/FloatText.h"
#include "textio/NumEdit.h"

namespace {

QLabel* caption(const char* text, QWidget* parent) {
  return new QLabel(QString::fromLatin1(text), parent);
}

}  // namespace

TQMScalePage::TQMScalePage(TQMContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  BuildControls();
  connect(gageLength_, &TEditNumeric::Change, this, &TQMScalePage::GageLengthChanged);
  connect(apply_, &QPushButton::clicked, this, &TQMScalePage::Apply);
}

void TQMScalePage::BuildControls() {
  gageLength_ = new TEditNumeric(this);
  gageLength_->setObjectName(QStringLiteral("GageLengthEN"));
  gageLength_->SetFloatingPoint(true);
  unit_ = new QComboBox(this);
  unit_->setObjectName(QStringLiteral("UnitCB"));
  unit_->setToolTip(QStringLiteral("Gage Length's Units"));
  for (int i = 0; i <= units::kLastLength; ++i)
    unit_->addItem(QString::fromLatin1(units::LengthName(i)));
  imageLength_ = new TEditNumeric(this);
  imageLength_->setObjectName(QStringLiteral("ImageLenEN"));
  imageLength_->SetFloatingPoint(true);
  imageLength_->SetPrecision(8);
  imageLength_->setReadOnly(true);
  newFactorText_ = new QLabel(this);
  newFactorText_->setObjectName(QStringLiteral("NewFactorLB"));
  apply_ = new QPushButton(QStringLiteral("Set to New Factor"), this);
  apply_->setObjectName(QStringLiteral("ApplyBtn"));
  apply_->setToolTip(QStringLiteral("Apply scale factor to collected data"));
  apply_->setEnabled(false);
  scaleFactor_ = new QLabel(this);
  scaleFactor_->setObjectName(QStringLiteral("ScaleFactorLB"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(caption("Gage Length", this), 0, 0);
  grid->addWidget(gageLength_, 0, 1);
  grid->addWidget(unit_, 0, 2);
  grid->addWidget(caption("image length (pixels)", this), 1, 0);
  grid->addWidget(imageLength_, 1, 1);
  grid->addWidget(caption("New Factor", this), 2, 0);
  grid->addWidget(newFactorText_, 2, 1);
  grid->addWidget(apply_, 2, 2);
  grid->addWidget(caption("Scale Factor", this), 3, 0);
  grid->addWidget(scaleFactor_, 3, 1, 1, 2);
  grid->setRowStretch(4, 1);
  grid->setColumnStretch(3, 1);
}

void TQMScalePage::Start() {
  gage_.Restart();
  if (ctx_.setPrompt) ctx_.setPrompt(gage_.Prompt());
  imageLength_->LoadText(QString());
  const TScaler& s = ctx_.db->Scaler();
  ShowScaleFactor(FormatGeneral(s.GageFactor()), s.GageUnit());
  LoadDescriptor();
  gage_.SetGageLength(GageLengthValue());
  RecomputeFactor();
}

// Each entry that is missing or unreadable leaves its field as it was; only a unit name that is
// present but unknown falls back to the first unit.
void TQMScalePage::LoadDescriptor() {
  if (!ctx_.display) return;
  const TScalingEntries e = ReadScaling(ctx_.display->Descriptor);
  if (e.gageLength) gageLength_->LoadText(QString::fromStdString(FloatToStr(*e.gageLength)));
  if (e.gageUnits) {
    const int i = units::LengthIndex(QString::fromStdString(*e.gageUnits), 0, units::kLastLength);
    unit_->setCurrentIndex(i < 0 ? 0 : i);
  }
  if (e.factor) {
    ctx_.db->SetGage(GageUnit(), static_cast<float>(*e.factor));
    ShowScaleFactor(FormatGeneral(static_cast<float>(*e.factor)), GageUnit());
  }
}

void TQMScalePage::ImageClick(TImagePoint p) {
  gage_.Click(p);
  if (ctx_.setPrompt) ctx_.setPrompt(gage_.Prompt());
  if (gage_.Counter() == 1) RecomputeFactor();
}

void TQMScalePage::GageLengthChanged() {
  gage_.SetGageLength(GageLengthValue());
  RecomputeFactor();
}

// A factor that would zero or overflow every coordinate is never offered for applying.
void TQMScalePage::RecomputeFactor() {
  const std::optional<double> factor = gage_.NewFactor();
  if (gage_.ImageLength() > 0)
    imageLength_->LoadText(QString::fromStdString(
        FloatToStrF(gage_.ImageLength(), TFloatFormat::General, imageLength_->Precision(), 0)));
  newFactor_ = factor && UsableFactor(*factor) ? factor : std::nullopt;
  newFactorText_->setText(newFactor_ ? FormatGeneral(static_cast<float>(*newFactor_)) : QString());
  apply_->setEnabled(newFactor_.has_value());
}

void TQMScalePage::Apply() {
  if (!newFactor_) return;
  const int unit = GageUnit();
  ctx_.db->SetGage(unit, static_cast<float>(*newFactor_));
  ShowScaleFactor(newFactorText_->text(), unit);
  if (TChildForm* display = ctx_.display) {
    WriteScaling(display->Descriptor, GageLengthValue(), units::LengthName(unit), *newFactor_);
    // As the descriptor editor leaves it: the window offers to store the text when it closes.
    display->DescriptorChanged = true;
    display->DescriptorAsked = false;
  }
  if (ctx_.markChanged) ctx_.markChanged();
}

int TQMScalePage::GageUnit() const {
  return std::max(0, unit_->currentIndex());
}

double TQMScalePage::GageLengthValue() const {
  try {
    return gageLength_->FloatValue();
  } catch (const Exception&) {
    return 0;  // text put in place unchecked that is no number: nothing to measure
  }
}

void TQMScalePage::ShowScaleFactor(const QString& factorText, int unit) {
  scaleFactor_->setText(factorText + u' ' + QString::fromLatin1(units::LengthName(unit)) +
                        QStringLiteral("/pixel"));
}
