#include "signals/SigInfoDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Exception.h"
#include "textio/NumEdit.h"

namespace {

template <class T>
T* named(T* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

TEditNumeric* numberField(const char* name, double blankValue) {
  auto* field = named(new TEditNumeric, name);
  field->SetFloatingPoint(true);
  field->SetFormating(TFloatFormat::General);
  field->SetPrecision(7);
  field->SetBlankValue(blankValue);
  return field;
}

}  // namespace

TSigInfoDlg::TSigInfoDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SigInfoDlg"));
  setWindowTitle(QStringLiteral("Signal Information"));
  BuildUi();
  SetFrequency(1000);
  SetFirstSampleMs(0);
  SetTimeColumn(0);
  for (QLineEdit* edit : {SigNameEdit, AxisEN})
    connect(edit, &QLineEdit::textChanged, this, &TSigInfoDlg::InfoChange);
  for (TEditNumeric* field : {FreqEN, FirstSampMSEN})
    connect(field, &TEditNumeric::Change, this, &TSigInfoDlg::InfoChange);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(OKAllBtn, &QPushButton::clicked, this, [this] { done(kAll); });
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
  InfoChange();
}

void TSigInfoDlg::BuildUi() {
  SigNameEdit = named(new QLineEdit, "SigNameEdit");
  AxisEN = named(new QLineEdit, "AxisEN");
  TimeLB = named(new QLabel(QStringLiteral("Time Column")), "TimeLB");
  TimeSpin = named(new QLabel, "TimeSpin");
  FreqEN = numberField("FreqEN", 0);
  FirstSampMSEN = numberField("FirstSampMSEN", 1E-07);
  OKBtn = named(new QPushButton(QStringLiteral("OK")), "OKBtn");
  OKBtn->setToolTip(QStringLiteral("Accept and Prompt for Next Signal"));
  OKAllBtn = named(new QPushButton(QStringLiteral("&All")), "OKAllBtn");
  OKAllBtn->setToolTip(QStringLiteral("Accept for All Signals"));
  OKAllBtn->setDefault(true);
  BitBtn1 = named(new QPushButton(QStringLiteral("Cancel")), "BitBtn1");

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Signal Name"), SigNameEdit);
  form->addRow(QStringLiteral("Axis Label"), AxisEN);
  form->addRow(TimeLB, TimeSpin);
  form->addRow(QStringLiteral("Sampling Frequency (Hz)"), FreqEN);
  form->addRow(QStringLiteral("Time of First Sample (mS)"), FirstSampMSEN);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {OKBtn, OKAllBtn, BitBtn1}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

void TSigInfoDlg::SetSignalName(const QString& name) {
  SigNameEdit->setText(name);
  setWindowTitle(name + QStringLiteral(" Signal Info"));
}

QString TSigInfoDlg::SignalName() const {
  return SigNameEdit->text();
}

void TSigInfoDlg::SetAxisLabel(const QString& label) {
  AxisEN->setText(label);
}

QString TSigInfoDlg::AxisLabel() const {
  return AxisEN->text();
}

void TSigInfoDlg::SetFrequency(double hertz) {
  FreqEN->SetFloatValue(hertz);
}

double TSigInfoDlg::Frequency() const {
  return FreqEN->FloatValue();
}

void TSigInfoDlg::SetFirstSampleMs(double ms) {
  FirstSampMSEN->SetFloatValue(ms);
}

double TSigInfoDlg::FirstSampleMs() const {
  return FirstSampMSEN->FloatValue();
}

void TSigInfoDlg::SetTimeColumn(int column) {
  TimeLB->setEnabled(column > 0);
  TimeSpin->setEnabled(column > 0);
  TimeSpin->setText(column > 0 ? QString::number(column) : QString());
}

int TSigInfoDlg::TimeColumn() const {
  return TimeSpin->text().toInt();
}

void TSigInfoDlg::InfoChange() {
  bool frequencyAbove0 = false;
  try {
    frequencyAbove0 = Frequency() > 0;
  } catch (const Exception&) {
  }
  const bool ok = frequencyAbove0 && !FirstSampMSEN->text().trimmed().isEmpty() &&
                  !SigNameEdit->text().isEmpty() && !AxisEN->text().isEmpty();
  OKBtn->setEnabled(ok);
  OKAllBtn->setEnabled(ok);
}

bool TSigInfoDlg::Execute(bool& applyToAll) {
  InfoChange();
  if (applyToAll) return true;
  const int result = exec();
  applyToAll = result == kAll;
  return result == QDialog::Accepted || result == kAll;
}
