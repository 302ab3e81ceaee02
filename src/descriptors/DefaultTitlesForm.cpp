#include "descriptors/DefaultTitlesForm.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "descriptors/TitleGrid.h"
#include "descriptors/TitleTemplates.h"
#include "platform/Placement.h"
#include "platform/RegIniFile.h"

namespace {

constexpr int kDesignWidth = 380;
constexpr int kDesignHeight = 260;
const QString kDefaultTitlesSection = QStringLiteral("Default Titles");

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

QString menuCaption(QString text) {
  return text.replace(u'&', QStringLiteral("&&"));
}

}  // namespace

TDefaultTitlesForm::TDefaultTitlesForm(QWidget* parent) : QDialog(parent) {
  buildUi();
}

TDefaultTitlesForm::~TDefaultTitlesForm() = default;

void TDefaultTitlesForm::buildUi() {
  setObjectName(QStringLiteral("DefaultTitlesForm"));
  setWindowTitle(QStringLiteral("Default Video File Titles"));
  grid_ = new TTitleGrid(TTitleGrid::Look::Defaults, this);
  grid_->setObjectName(QStringLiteral("DefaultDBGrid"));
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);

  fieldPopUp_ = new QMenu(this);
  fieldPopUp_->setObjectName(QStringLiteral("FieldPopUp"));
  staticText_ = fieldPopUp_->addAction(QStringLiteral("&Static Text"));
  staticText_->setObjectName(QStringLiteral("StaticText1"));
  staticText_->setData(-1);

  auto* add = button("AddBtn", QStringLiteral("Add"), this);
  auto* insert = button("InsertBtn", QStringLiteral("Insert"), this);
  removeBtn_ = button("RemoveBtn", QStringLiteral("Remove"), this);
  auto* ok = button("OKBtn", QStringLiteral("OK"), this);
  ok->setDefault(true);
  auto* cancel = button("CancelBtn", QStringLiteral("Cancel"), this);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {add, insert, removeBtn_}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* column = new QVBoxLayout(this);
  column->addWidget(grid_);
  column->addLayout(buttons);

  connect(add, &QPushButton::clicked, this, &TDefaultTitlesForm::AddBtnClick);
  connect(insert, &QPushButton::clicked, this, &TDefaultTitlesForm::InsertBtnClick);
  connect(removeBtn_, &QPushButton::clicked, this, &TDefaultTitlesForm::RemoveBtnClick);
  connect(ok, &QPushButton::clicked, this, &TDefaultTitlesForm::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(staticText_, &QAction::triggered, this, &TDefaultTitlesForm::StaticTextClick);
  connect(grid_, &TTitleGrid::CountChanged, this,
          [this] { removeBtn_->setEnabled(working_.size() > 1); });
  connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (grid_->indexAt(at).isValid()) PopUpAt(at);
  });
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int col) {
    if (col == 1) PopUpAt(grid_->visualRect(grid_->model()->index(row, 1)).center());
  });
  resize(kDesignWidth, kDesignHeight);
  setMinimumWidth(kDesignWidth);
}

void TDefaultTitlesForm::LoadDefaultTitles(const TRegIniFile* reg, TStringListList& lists) {
  RestorePlacement(this, reg, false);
  InitDefaultTitlesList(reg, lists);
}

void TDefaultTitlesForm::SaveDefaultTitles(TRegIniFile* reg, const TStringListList& lists) {
  if (!reg) return;
  ::SavePlacement(this, reg, 0);
  const QStringList* defaults = LocateTitleLists(lists).defaults;
  if (!defaults) return;
  reg->EraseSection(kDefaultTitlesSection);
  for (const QString& line : *defaults)
    if (!LineName(line).isEmpty())  // a value needs a name in the store
      reg->WriteString(kDefaultTitlesSection, LineName(line), LineValue(line));
}

void TDefaultTitlesForm::buildFieldMenu() {
  for (QAction* a : fieldPopUp_->actions())
    if (a != staticText_) {
      fieldPopUp_->removeAction(a);
      if (QMenu* sub = a->menu()) sub->deleteLater();
      if (a->parent() == fieldPopUp_) a->deleteLater();
    }
  for (int row = 0; row < lists_->Count(); ++row) {
    const TSectionList* sections = lists_->Lists(row);
    if (!sections || sections->Count() == 0) continue;
    fieldPopUp_->addSeparator();
    for (int list = 0; list < sections->Count(); ++list) {
      const QString& name = sections->Name(list);
      const QStringList* lines = sections->Lines(list);
      if (!lines || lines->isEmpty() ||
          name.compare(kDefaultTitlesList, Qt::CaseInsensitive) == 0 ||
          name.compare(kTitlesList, Qt::CaseInsensitive) == 0)
        continue;
      QMenu* sub = fieldPopUp_->addMenu(menuCaption(name));
      for (int line = 0; line < lines->size(); ++line)
        connect(sub->addAction(menuCaption(LineName((*lines)[line]))), &QAction::triggered, this,
                [this, row, list, line] { FieldItemClick(row, list, line); });
    }
  }
}

bool TDefaultTitlesForm::EditDefaultTitles(const QStringList& names, TStringListList& lists) {
  names_ = &names;
  lists_ = &lists;
  const QStringList* defaults = LocateTitleLists(lists).defaults;
  working_ = defaults ? *defaults : QStringList();
  grid_->SetLines(&working_);
  for (int r = 0; r < working_.size(); ++r)
    grid_->SetFieldReference(r, IsFieldReference(LineValue(working_[r])));
  buildFieldMenu();
  grid_->setCurrentCell(0, 1);
  removeBtn_->setEnabled(working_.size() > 1);

  const bool accepted = exec() == QDialog::Accepted;
  if (accepted) PutOwnList(lists, kDefaultTitlesList, working_);
  grid_->SetLines(nullptr);
  working_.clear();
  names_ = nullptr;
  lists_ = nullptr;
  return accepted;
}

void TDefaultTitlesForm::AddBtnClick() {
  grid_->AddLine(true);
}

void TDefaultTitlesForm::InsertBtnClick() {
  grid_->AddLine(false);
}

void TDefaultTitlesForm::RemoveBtnClick() {
  grid_->RemoveCurrentLine();
}

void TDefaultTitlesForm::OKBtnClick() {
  if (grid_->ValidateCurrentName()) accept();
}

void TDefaultTitlesForm::PopUpAt(const QPoint& where) {
  const bool valueColumn = grid_->currentColumn() == 1;
  for (QAction* a : fieldPopUp_->actions())
    if (a != staticText_) a->setEnabled(valueColumn);
  // popup, not exec: the menu must not run an event loop of its own inside the dialog's.
  fieldPopUp_->popup(grid_->viewport()->mapToGlobal(where));
}

void TDefaultTitlesForm::StaticTextClick() {
  const int row = grid_->currentRow();
  if (!grid_->IsFieldReference(row)) return;
  grid_->SetFieldReference(row, false);
  grid_->SetLineValue(row, QStringLiteral("?"));
}

void TDefaultTitlesForm::FieldItemClick(int row, int list, int line) {
  const int current = grid_->currentRow();
  if (!names_ || !lists_ || current < 0 || row >= names_->size()) return;
  const QStringList* lines = lists_->SectionValues(row, list);
  if (!lines || line < 0 || line >= lines->size()) return;
  grid_->SetFieldReference(current, true);
  grid_->SetLineValue(current, FieldReferenceText((*names_)[row], lists_->Lists(row)->Name(list),
                                                  LineName((*lines)[line])));
}
