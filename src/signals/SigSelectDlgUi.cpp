// The widgets of the signal selection dialog; its behaviour is in SigSelectDlg.cpp.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "signals/SigSelectDlg.h"

namespace {

template <class T>
T* named(T* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

QListWidget* sourceList(const char* name) {
  auto* list = named(new QListWidget, name);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  return list;
}

QPushButton* button(const QString& caption, const QString& name) {
  auto* b = new QPushButton(caption);
  b->setObjectName(name);
  b->setEnabled(false);
  b->setFixedWidth(36);
  return b;
}

QWidget* labelled(const QString& label, QWidget* widget) {
  auto* box = new QWidget;
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(label));
  layout->addWidget(widget);
  return box;
}

}  // namespace

QWidget* TSigSelectDlg::BuildPanel(TPanel& panel, const char* prefix) {
  const QString p = QString(QLatin1String(prefix)).remove(QStringLiteral("Panel"));
  auto* box = named(new QWidget, prefix);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch();
  panel.inc = button(QStringLiteral(">"), p + QStringLiteral("IncBtn"));
  panel.exc = button(QStringLiteral("<"), p + QStringLiteral("ExcBtn"));
  panel.incAll = button(QStringLiteral(">>"), p + QStringLiteral("IncAllBtn"));
  panel.excAll = button(QStringLiteral("<<"), p + QStringLiteral("ExcAllBtn"));
  for (QPushButton* b : {panel.inc, panel.exc, panel.incAll, panel.excAll}) layout->addWidget(b);
  layout->addStretch();
  return box;
}

void TSigSelectDlg::BuildUi() {
  SrcList = sourceList("SrcList");
  SrcList->setSortingEnabled(true);
  OverlayList = sourceList("OverlayList");
  SeparateList = sourceList("SeparateList");
  overlayPanel_.group = OverlayList;
  separatePanel_.group = SeparateList;

  OpenBtn = named(new QPushButton(QStringLiteral("&Add File(s)...")), "OpenBtn");
  OpenBtn->setToolTip(QStringLiteral("Add to Signal Files List"));
  RemoveBtn = named(new QPushButton(QStringLiteral("&Remove File(s)")), "RemoveBtn");
  RemoveBtn->setToolTip(QStringLiteral("Remove Selected Signal Files"));
  ShareAxisCB = named(new QCheckBox(QStringLiteral("Share First Axis")), "ShareAxisCB");
  PromptXB = named(new QCheckBox(QStringLiteral("Prompt to Confirm Added Signal Information")),
                   "PromptXB");
  PromptXB->setChecked(true);

  auto* scaling = named(new QGroupBox(QStringLiteral("Scaling")), "RadioGroup1");
  AutoRB = named(new QRadioButton(QStringLiteral("A&uto")), "AutoRB");
  LinearRB = named(new QRadioButton(QStringLiteral("&Linear")), "LinearRB");
  LogRB = named(new QRadioButton(QStringLiteral("L&og")), "LogRB");
  LinearRB->setChecked(true);
  auto* scalingLayout = new QHBoxLayout(scaling);
  for (QRadioButton* b : {AutoRB, LinearRB, LogRB}) scalingLayout->addWidget(b);

  SubsetColorsListBox = named(new QListWidget, "SubsetColorsListBox");
  SubsetColorsListBox->setToolTip(QStringLiteral("Double-Click to redefine a subset color"));
  SubsetColorsListBox->setMaximumWidth(90);

  OKBtn = named(new QPushButton(QStringLiteral("OK")), "OKBtn");
  OKBtn->setDefault(true);
  BitBtn2 = named(new QPushButton(QStringLiteral("Cancel")), "BitBtn2");

  auto* grid = new QGridLayout;
  grid->addWidget(labelled(QStringLiteral("Signal Files"), SrcList), 0, 0, 2, 1);
  grid->addWidget(BuildPanel(overlayPanel_, "OverlayPanel"), 0, 1);
  grid->addWidget(labelled(QStringLiteral("Overlay Graphing"), OverlayList), 0, 2);
  grid->addWidget(BuildPanel(separatePanel_, "SeparatePanel"), 1, 1);
  grid->addWidget(labelled(QStringLiteral("Separate Axis Graphing"), SeparateList), 1, 2);
  grid->addWidget(labelled(QStringLiteral("Colors"), SubsetColorsListBox), 0, 3, 2, 1);

  auto* files = new QHBoxLayout;
  files->addWidget(OpenBtn);
  files->addWidget(RemoveBtn);
  files->addStretch();
  files->addWidget(ShareAxisCB);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(scaling);
  bottom->addWidget(PromptXB);
  bottom->addStretch();
  bottom->addWidget(OKBtn);
  bottom->addWidget(BitBtn2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(files);
  layout->addLayout(bottom);
}
