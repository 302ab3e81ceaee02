#include "measure/QMReferencePage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <cmath>
#include <limits>
#include <optional>

#include "measure/MotionDataBase.h"
#include "measure/QMContext.h"
#include "measure/Units.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "textio/FloatText.h"
#include "textio/NumEdit.h"

namespace {

constexpr int kBasePrecision = 8;

TEditNumeric* baseField(const char* name, QWidget* parent) {
  auto* field = new TEditNumeric(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->SetFloatingPoint(true);
  field->SetFormating(TFloatFormat::General);
  field->SetPrecision(kBasePrecision);
  return field;
}

QString baseText(float value) {
  return QString::fromStdString(FloatToStrF(value, TFloatFormat::General, kBasePrecision, 0));
}

// A base coordinate the model can hold: a number within the single's range. A larger one would
// put an infinity into every referenced coordinate.
std::optional<float> baseValue(const TEditNumeric& field) {
  try {
    const double v = field.FloatValue();
    if (std::fabs(v) <= std::numeric_limits<float>::max()) return static_cast<float>(v);
  } catch (const Exception&) {
  }
  return std::nullopt;
}

}  // namespace

TQMReferencePage::TQMReferencePage(TQMContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  BuildControls();
  connect(imagePoint_, &QRadioButton::toggled, this, &TQMReferencePage::ImagePointChosen);
  connect(relative_, &QRadioButton::toggled, this, &TQMReferencePage::RelativeChosen);
  connect(objects_, &QComboBox::currentIndexChanged, this, &TQMReferencePage::ObjectChosen);
  connect(pointSpin_, &QSpinBox::valueChanged, this, &TQMReferencePage::PointChanged);
  connect(useBase_, &QCheckBox::toggled, this, &TQMReferencePage::BaseChanged);
  connect(baseX_, &TEditNumeric::Change, this, &TQMReferencePage::BaseChanged);
  connect(baseY_, &TEditNumeric::Change, this, &TQMReferencePage::BaseChanged);
}

void TQMReferencePage::BuildControls() {
  imagePoint_ = new QRadioButton(QStringLiteral("Image point pixel"), this);
  imagePoint_->setObjectName(QStringLiteral("ImagePointRB"));
  imagePoint_->setToolTip(QStringLiteral("Reference fixed at given image point"));
  imagePoint_->setChecked(true);
  relative_ = new QRadioButton(QStringLiteral("Relative to Point"), this);
  relative_->setObjectName(QStringLiteral("RelativeRB"));
  relative_->setToolTip(QStringLiteral("Reference tracks specified point"));
  imagePointText_ = new QLabel(QStringLiteral("(9999.99,9999.99)"), this);
  imagePointText_->setObjectName(QStringLiteral("ImagePointLbl"));
  objects_ = new QComboBox(this);
  objects_->setObjectName(QStringLiteral("ReferenceCB"));
  objects_->setToolTip(QStringLiteral("Object Containing Point for Reference"));
  objects_->setEnabled(false);
  coordinate_ = new QLineEdit(QStringLiteral("1"), this);
  coordinate_->setObjectName(QStringLiteral("RefCoordinate"));
  coordinate_->setReadOnly(true);
  pointSpin_ = new QSpinBox(this);
  pointSpin_->setObjectName(QStringLiteral("RefPointSpin"));
  pointSpin_->setRange(1, 9);

  auto* grid = new QGridLayout(this);
  grid->addWidget(imagePoint_, 0, 0);
  grid->addWidget(imagePointText_, 0, 1);
  grid->addWidget(relative_, 1, 0);
  grid->addWidget(objects_, 1, 1);
  auto* pointRow = new QHBoxLayout;
  pointRow->addWidget(coordinate_);
  pointRow->addWidget(pointSpin_);
  pointRow->addWidget(new QLabel(QStringLiteral("of"), this));
  pointRow->addStretch();
  grid->addLayout(pointRow, 2, 1);
  grid->addWidget(BuildBaseRow(), 3, 0, 1, 2);
  grid->setRowStretch(4, 1);
  grid->setColumnStretch(2, 1);
}

QWidget* TQMReferencePage::BuildBaseRow() {
  auto* row = new QWidget(this);
  useBase_ = new QCheckBox(QStringLiteral("Reference Base"), row);
  useBase_->setObjectName(QStringLiteral("RefBaseXB"));
  useBase_->setToolTip(QStringLiteral("Offset reference to specific (X,Y) location"));
  baseX_ = baseField("RefBaseXEN", row);
  baseY_ = baseField("RefBaseYEN", row);
  offsetUnits_ = new QLabel(row);
  offsetUnits_->setObjectName(QStringLiteral("OffsetUnitsLbl"));
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(useBase_);
  layout->addWidget(new QLabel(QStringLiteral("X"), row));
  layout->addWidget(baseX_);
  layout->addWidget(new QLabel(QStringLiteral("Y"), row));
  layout->addWidget(baseY_);
  layout->addWidget(offsetUnits_);
  ShowBase();
  offsetUnits_->setText(QString::fromLatin1(units::LengthName(ctx_.db->Scaler().LengthUnit())));
  return row;
}

void TQMReferencePage::Start() {
  if (ctx_.setPrompt && ImagePointMode())
    ctx_.setPrompt(QStringLiteral("Click on image to set point"));
}

bool TQMReferencePage::ImagePointMode() const {
  return imagePoint_->isChecked();
}

void TQMReferencePage::ImageClick(TImagePoint p) {
  if (!ImagePointMode()) return;
  ctx_.db->SetImagePoint(p);
  ShowImagePoint(p);
  Changed();
}

bool TQMReferencePage::IsReferenceObject(const TObjDef* def) const {
  return def && def == SelectedObject();
}

void TQMReferencePage::LengthUnitChanged(int unit) {
  ShowBase();
  offsetUnits_->setText(QString::fromLatin1(units::LengthName(unit)));
}

void TQMReferencePage::SyncFromModel() {
  const TReferencer& r = ctx_.db->Referencer();
  {
    const QSignalBlocker blockCombo(objects_);
    objects_->clear();
    const TObjDefList& list = ctx_.db->Objects();
    for (std::size_t i = 0; i < list.Count(); ++i)
      if (TObjDef* def = list.Object(i); def != &ctx_.db->RefObject()) InsertSorted(def);
    objects_->setCurrentIndex(IndexOf(r.ReferenceObject()));
  }
  ShowPointRange(r.ReferenceObject(), r.ReferencePoint() + 1);
  {
    const QSignalBlocker blockImage(imagePoint_), blockRelative(relative_);
    (r.Moving() ? relative_ : imagePoint_)->setChecked(true);
  }
  objects_->setEnabled(r.Moving());
  {
    const QSignalBlocker blockBase(useBase_);
    useBase_->setChecked(r.UseBase());
  }
  ShowBase();
  ShowImagePoint(r.ImagePoint()->GetPoint(0));
  offsetUnits_->setText(QString::fromLatin1(units::LengthName(ctx_.db->Scaler().LengthUnit())));
}

void TQMReferencePage::ObjectCreated(TObjDef* def) {
  if (!def || def == &ctx_.db->RefObject() || IndexOf(def) >= 0) return;
  const QSignalBlocker block(objects_);
  const TObjDef* selected = SelectedObject();
  InsertSorted(def);
  objects_->setCurrentIndex(IndexOf(selected));
}

void TQMReferencePage::ObjectRenamed(TObjDef* def) {
  const int at = IndexOf(def);
  if (at < 0) return;
  const QSignalBlocker block(objects_);
  const TObjDef* selected = SelectedObject();
  objects_->removeItem(at);
  InsertSorted(def);
  objects_->setCurrentIndex(IndexOf(selected));
}

void TQMReferencePage::ObjectDeleting(TObjDef* def) {
  if (IsReferenceObject(def)) {
    dialogs::show(this, QStringLiteral("Referencing has changed to image point fixed"),
                  QApplication::applicationName(), dialogs::Buttons::OK,
                  dialogs::Icon::Information);
    imagePoint_->setChecked(true);
  }
  const int at = IndexOf(def);
  if (at < 0) return;
  const QSignalBlocker block(objects_);
  const TObjDef* selected = def == SelectedObject() ? nullptr : SelectedObject();
  objects_->removeItem(at);
  objects_->setCurrentIndex(IndexOf(selected));
}

void TQMReferencePage::ImagePointChosen(bool checked) {
  if (!checked) return;
  objects_->setEnabled(false);
  ctx_.db->SelectFixedReference();
  ShowPrompt();
  Changed();
}

void TQMReferencePage::RelativeChosen(bool checked) {
  if (!checked) return;
  objects_->setEnabled(true);
  ShowPrompt();
  if (TObjDef* def = SelectedObject()) {
    ctx_.db->SelectMovingReference(def, pointSpin_->value() - 1);
    Changed();
  }
}

void TQMReferencePage::ObjectChosen(int index) {
  TObjDef* def = ObjectAt(index);
  if (!def) return;
  ShowPointRange(def, 1);
  ctx_.db->SelectMovingReference(def, 0);
  Changed();
}

void TQMReferencePage::PointChanged(int number) {
  coordinate_->setText(QString::number(number));
  const TObjDef* def = SelectedObject();
  if (!def || number > def->PointCount()) return;
  // The chosen object is the model's reference object: choosing it made it so, and the
  // model forgets it only when it goes, which removes it from the selector first.
  ctx_.db->SetReferencePoint(number - 1);
  Changed();
}

void TQMReferencePage::BaseChanged() {
  const std::optional<float> x = baseValue(*baseX_), y = baseValue(*baseY_);
  if (!x || !y) {
    const TEditNumeric& bad = x ? *baseY_ : *baseX_;
    dialogs::showError(
        this, QChar(u'\'') + bad.text() + QStringLiteral("' is not a valid floating point value"));
    ShowBase();
    return;
  }
  ctx_.db->SetReferenceBase(useBase_->isChecked(), *x, *y);
  Changed();
}

TObjDef* TQMReferencePage::SelectedObject() const {
  return ObjectAt(objects_->currentIndex());
}

TObjDef* TQMReferencePage::ObjectAt(int index) const {
  if (index < 0 || index >= objects_->count()) return nullptr;
  return reinterpret_cast<TObjDef*>(objects_->itemData(index).value<quintptr>());
}

int TQMReferencePage::IndexOf(const TObjDef* def) const {
  if (!def) return -1;
  for (int i = 0; i < objects_->count(); ++i)
    if (ObjectAt(i) == def) return i;
  return -1;
}

// The list stays sorted by name in any letter case, as new names arrive.
void TQMReferencePage::InsertSorted(TObjDef* def) {
  int at = 0;
  while (at < objects_->count() &&
         objects_->itemText(at).compare(def->Name(), Qt::CaseInsensitive) <= 0)
    ++at;
  objects_->insertItem(at, def->Name(), QVariant::fromValue(reinterpret_cast<quintptr>(def)));
}

void TQMReferencePage::ShowPointRange(const TObjDef* def, int number) {
  const QSignalBlocker block(pointSpin_);
  pointSpin_->setMaximum(def ? std::max(1, def->PointCount()) : 9);
  pointSpin_->setValue(number);
  coordinate_->setText(QString::number(pointSpin_->value()));
}

void TQMReferencePage::ShowImagePoint(TImagePoint p) {
  imagePointText_->setText(u'(' + FormatGeneral(p.x, 5) + u',' + FormatGeneral(p.y, 5) + u')');
}

void TQMReferencePage::ShowBase() {
  const TReferencer& r = ctx_.db->Referencer();
  baseX_->LoadText(baseText(r.BaseX()));
  baseY_->LoadText(baseText(r.BaseY()));
}

// Only while the page is shown: a change made from another page leaves that page's prompt.
void TQMReferencePage::ShowPrompt() {
  if (!ctx_.setPrompt || !isVisible()) return;
  ctx_.setPrompt(ImagePointMode() ? QStringLiteral("Click on image to set point") : QString());
}

void TQMReferencePage::Changed() {
  if (ctx_.repaintDisplay) ctx_.repaintDisplay();
  if (ctx_.markChanged) ctx_.markChanged();
}
