#include "signals/GraphCustomiseDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <charconv>
#include <cmath>

#include "platform/Dialogs.h"

namespace {

QComboBox* Choice(const QStringList& items, int current, const char* name) {
  auto* box = new QComboBox;
  box->setObjectName(QLatin1String(name));
  box->addItems(items);
  box->setCurrentIndex(current);
  return box;
}

QCheckBox* Check(const QString& text, bool on, const char* name) {
  auto* box = new QCheckBox(text);
  box->setObjectName(QLatin1String(name));
  box->setChecked(on);
  return box;
}

}  // namespace

TGraphCustomiseDialog::TGraphCustomiseDialog(const TGraphLook& look, QWidget* parent)
    : QDialog(parent), look_(look) {
  setWindowTitle(tr("Customize Graph"));
  auto* form = new QFormLayout(this);
  form->addRow(tr("Desk"), ColourButton("DeskColorBtn", &TGraphLook::DeskColor));
  form->addRow(tr("Graph back"), ColourButton("GraphBackColorBtn", &TGraphLook::GraphBackColor));
  form->addRow(tr("Axes and grid"), ColourButton("GraphForeColorBtn", &TGraphLook::GraphForeColor));
  form->addRow(tr("Text"), ColourButton("TextColorBtn", &TGraphLook::TextColor));
  form->addRow(tr("Annotations"), ColourButton("ShadowColorBtn", &TGraphLook::ShadowColor));
  titleFont_ = new QFontComboBox;
  titleFont_->setCurrentFont(QFont(look.MainTitleFont));
  titleBold_ = Check(tr("Bold"), look.MainTitleBold, "MainTitleBoldCB");
  form->addRow(tr("Title font"), titleFont_);
  form->addRow(QString(), titleBold_);
  labelFont_ = new QFontComboBox;
  labelFont_->setCurrentFont(QFont(look.LabelFont));
  labelBold_ = Check(tr("Bold"), look.LabelBold, "LabelBoldCB");
  form->addRow(tr("Label font"), labelFont_);
  form->addRow(QString(), labelBold_);
  fontSize_ = Choice({tr("Large"), tr("Medium"), tr("Small")}, look.FontSize, "FontSizeCB");
  form->addRow(tr("Font size"), fontSize_);
  precision_ = Choice({"0", "1", "2", "3"}, look.DataPrecision, "DataPrecisionCB");
  form->addRow(tr("Decimals"), precision_);
  grid_ = Choice({tr("Both axes"), tr("Y axis"), tr("X axis"), tr("None")}, look.GridLineControl,
                 "GridLineCB");
  form->addRow(tr("Grid"), grid_);
  gridStyle_ =
      Choice({tr("Thin"), tr("Thick"), tr("Dotted"), tr("Dashed")}, look.GridStyle, "GridStyleCB");
  form->addRow(tr("Grid lines"), gridStyle_);
  lineWidth_ = new QDoubleSpinBox;
  lineWidth_->setObjectName(QStringLiteral("LineWidthEN"));
  lineWidth_->setRange(0.5, 10);
  lineWidth_->setSingleStep(0.5);
  lineWidth_->setValue(look.LineWidth);
  form->addRow(tr("Line width"), lineWidth_);
  shadows_ = Check(tr("Data shadows"), look.DataShadows, "DataShadowsCB");
  marks_ = Check(tr("Mark data points"), look.MarkDataPoints, "MarkDataPointsCB");
  annotationsShown_ = Check(tr("Show annotations"), look.ShowAnnotations, "ShowAnnotationsCB");
  form->addRow(QString(), shadows_);
  form->addRow(QString(), marks_);
  form->addRow(QString(), annotationsShown_);
  annotations_ = new QPlainTextEdit(AnnotationText(look.Annotations));
  annotations_->setObjectName(QStringLiteral("AnnotationsMemo"));
  annotations_->setPlaceholderText(tr("time (ms) text, one per line"));
  form->addRow(tr("Annotations"), annotations_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

QPushButton* TGraphCustomiseDialog::ColourButton(const char* name, QColor TGraphLook::*member) {
  auto* button = new QPushButton;
  button->setObjectName(QLatin1String(name));
  colours_[button] = member;
  Paint(button, look_.*member);
  connect(button, &QPushButton::clicked, this, [this, button, member] {
    if (const auto chosen = dialogs::backend().color(this, look_.*member)) {
      look_.*member = *chosen;
      Paint(button, *chosen);
    }
  });
  return button;
}

void TGraphCustomiseDialog::Paint(QPushButton* button, const QColor& colour) {
  button->setText(colour.name());
  button->setStyleSheet(QStringLiteral("background-color: %1").arg(colour.name()));
}

TGraphLook TGraphCustomiseDialog::Look() const {
  TGraphLook l = look_;  // the colours as chosen
  l.MainTitleFont = titleFont_->currentFont().family();
  l.MainTitleBold = titleBold_->isChecked();
  l.LabelFont = labelFont_->currentFont().family();
  l.LabelBold = labelBold_->isChecked();
  l.FontSize = TPEFontSize(fontSize_->currentIndex());
  l.DataPrecision = TPEDataPrecision(precision_->currentIndex());
  l.GridLineControl = TPEGridLineControl(grid_->currentIndex());
  l.GridStyle = TPEGridStyle(gridStyle_->currentIndex());
  l.LineWidth = lineWidth_->value();
  l.DataShadows = shadows_->isChecked();
  l.MarkDataPoints = marks_->isChecked();
  l.ShowAnnotations = annotationsShown_->isChecked();
  l.Annotations = ParseAnnotations(annotations_->toPlainText());
  return l;
}

std::vector<TGraphAnnotation> TGraphCustomiseDialog::ParseAnnotations(const QString& text) {
  std::vector<TGraphAnnotation> list;
  for (const QString& line : text.split(u'\n')) {
    const QString trimmed = line.trimmed();
    const qsizetype space = trimmed.indexOf(u' ');
    const QByteArray time = (space < 0 ? trimmed : trimmed.left(space)).toLatin1();
    TGraphAnnotation a;
    const auto r = std::from_chars(time.data(), time.data() + time.size(), a.x);
    if (time.isEmpty() || r.ec != std::errc() || r.ptr != time.data() + time.size() ||
        !std::isfinite(a.x))
      continue;
    a.text = space < 0 ? QString() : trimmed.mid(space + 1).trimmed();
    if (list.size() < size_t(kGraphLookMaxAnnotations)) list.push_back(a);
  }
  return list;
}

QString TGraphCustomiseDialog::AnnotationText(const std::vector<TGraphAnnotation>& list) {
  QStringList lines;
  for (const TGraphAnnotation& a : list) lines << QString::number(a.x, 'g', 17) + u' ' + a.text;
  return lines.join(u'\n');
}

bool TGraphCustomiseDialog::Edit(TGraphLook& look, QWidget* parent) {
  TGraphCustomiseDialog dialog(look, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  look = dialog.Look();
  return true;
}
