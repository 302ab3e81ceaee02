#include "display/ZoomForm.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/Dialogs.h"
#include "platform/RegIniFile.h"

namespace zoom {

namespace {

const QString kSection = QStringLiteral("Desktop");
constexpr int kBarMaximum = 32;
constexpr int kBarPerUnit = 8;  // bar positions per 100 %

void readField(const QString& text, int& value) {
  const QByteArray field = text.trimmed().toLatin1();
  int parsed = 0;
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), parsed);
  if (ec == std::errc() && end == field.data() + field.size() && !field.isEmpty()) value = parsed;
}

int percentFromEntry(int stored, int fallback) {
  if (stored < kLeastPercent) return fallback;
  return std::min(stored, kMostPercent);
}

}  // namespace

// The 0.01 sends the halves (position 3: 37.5 %) up.
int PercentOfPosition(int position) {
  if (position <= 0) return kLeastPercent;
  return int(std::lround(double(position) / kBarPerUnit * 100 + 0.01));
}

int PositionOfPercent(int percent) {
  return std::clamp(int(std::lround(percent / 100.0 * kBarPerUnit)), 0, kBarMaximum);
}

QRect DefaultOutline(QSize paintBox) {
  return {paintBox.width() / 4, paintBox.height() / 4, paintBox.width() / 2, paintBox.height() / 2};
}

TZoomEntry ReadEntry(const TRegIniFile* reg, const QString& name, QSize paintBox) {
  const QRect outline = DefaultOutline(paintBox);
  int values[6] = {outline.top(), outline.left(), outline.width(), outline.height(), 100, 100};
  const bool stored = reg && reg->ValueExists(kSection, name);
  if (stored) {
    const QStringList fields = reg->ReadString(kSection, name, {}).split(u',');
    for (int i = 0; i < std::min<int>(6, int(fields.size())); ++i) readField(fields[i], values[i]);
  }
  TZoomEntry entry;
  entry.outline = QRect(values[1], values[0], values[2], values[3]);
  entry.zoomPercent = stored ? percentFromEntry(values[4], 100) : 100;
  entry.fullPercent = stored ? percentFromEntry(values[5], 50) : 100;
  return entry;
}

void WriteEntry(TRegIniFile* reg, const QString& name, const TZoomEntry& entry) {
  if (!reg) return;
  const QRect& r = entry.outline;
  reg->WriteString(kSection, name,
                   QStringLiteral("%1,%2,%3,%4,%5,%6")
                       .arg(r.top())
                       .arg(r.left())
                       .arg(r.width())
                       .arg(r.height())
                       .arg(entry.zoomPercent)
                       .arg(entry.fullPercent));
}

}  // namespace zoom

TZoomForm::TZoomForm(QWidget* owner, IZoomHost* host) : QWidget(owner, Qt::Tool), host_(host) {
  setWindowTitle(QStringLiteral("Magnification and Zoom"));
  auto* column = new QVBoxLayout(this);
  hideRB_ = radio("HideRB", QStringLiteral("Full Frame"));
  showRB_ = radio("ShowRB", QStringLiteral("Edit Zoom Boundary"));
  zoomRB_ = radio("ZoomRB", QStringLiteral("Zoom In"));
  hideRB_->setChecked(true);
  connect(hideRB_, &QRadioButton::clicked, this, &TZoomForm::HideRBClick);
  connect(showRB_, &QRadioButton::clicked, this, &TZoomForm::ShowRBClick);
  connect(zoomRB_, &QRadioButton::clicked, this, &TZoomForm::ZoomRBClick);

  auto* panel = new QGroupBox(QStringLiteral(" Magnification"), this);
  auto* row = new QHBoxLayout(panel);
  zoomBar_ = new QSlider(Qt::Horizontal, panel);
  zoomBar_->setObjectName(QStringLiteral("ZoomBar"));
  zoomBar_->setRange(0, zoom::kBarMaximum);
  zoomBar_->setValue(lastBarPosition_);
  zoomBar_->setTickInterval(4);
  zoomBar_->setTickPosition(QSlider::TicksBelow);
  zoomBar_->setToolTip(QStringLiteral("Magnification of Outlined Area"));
  connect(zoomBar_, &QSlider::valueChanged, this, &TZoomForm::ZoomBarChange);
  colorButton_ = new QToolButton(panel);
  colorButton_->setObjectName(QStringLiteral("SpeedButton1"));
  colorButton_->setToolTip(QStringLiteral("Zoom View Outline Color"));
  connect(colorButton_, &QToolButton::clicked, this, &TZoomForm::SpeedButton1Click);
  row->addWidget(zoomBar_);
  row->addWidget(colorButton_);
  column->addWidget(panel);

  relRefXB_ = new QCheckBox(QStringLiteral("Track QM Relative Reference"), this);
  relRefXB_->setObjectName(QStringLiteral("RelRefXB"));
  column->addWidget(relRefXB_);
}

QRadioButton* TZoomForm::radio(const char* name, const QString& caption) {
  auto* button = new QRadioButton(caption, this);
  button->setObjectName(QString::fromLatin1(name));
  layout()->addWidget(button);
  return button;
}

void TZoomForm::ShowOnTop() {
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  adjustSize();
  if (QWidget* owner = parentWidget()) {
    const QPoint centre = owner->mapToGlobal(owner->rect().center());
    move(centre - QPoint(width() / 2, height() / 2));
  }
  show();
  raise();
  activateWindow();
}

void TZoomForm::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) relRefXB_->setEnabled(false);
  QWidget::changeEvent(e);
}

void TZoomForm::SetBarPercent(int percent) {
  zoomBar_->setEnabled(false);
  zoomBar_->setValue(zoom::PositionOfPercent(percent));
  lastBarPosition_ = zoomBar_->value();
  zoomBar_->setEnabled(true);
}

void TZoomForm::ZoomBarChange(int position) {
  if (!zoomBar_->isEnabled() || position == lastBarPosition_) return;
  lastBarPosition_ = position;
  TZoomState& state = host_->ZoomState();
  (zoomRB_->isChecked() ? state.ZoomPercent : state.FullPercent) =
      zoom::PercentOfPosition(position);
  host_->LayoutForZoom();
}

void TZoomForm::HideRBClick() {
  hideRB_->setChecked(true);
  SetBarPercent(host_->ZoomState().FullPercent);
  host_->SetOutlineVisible(false);
  host_->UnzoomtoFullFrameClick();
}

void TZoomForm::ShowRBClick() {
  showRB_->setChecked(true);
  SetBarPercent(host_->ZoomState().FullPercent);
  host_->MoveResizeOutlineItemClick();
}

void TZoomForm::ZoomRBClick() {
  zoomRB_->setChecked(true);
  TZoomState& state = host_->ZoomState();
  if (state.Zoomed) return;
  SetBarPercent(state.ZoomPercent);
  state.Zoomed = true;
  host_->SetOutlineVisible(false);
  host_->LayoutForZoom();
}

void TZoomForm::SpeedButton1Click() {
  if (const auto color = dialogs::backend().color(this, host_->OutlineColor()))
    host_->SetOutlineColor(*color);
}
