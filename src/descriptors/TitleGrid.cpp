#include "descriptors/TitleGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include "descriptors/TitleTemplates.h"
#include "platform/Dialogs.h"

namespace {

constexpr int kRowHeight = 17;
constexpr int kValueIndent = 25;

// Draws the value column's text some pixels in from the cell's left edge.
class TIndentDelegate : public QStyledItemDelegate {
 public:
  TIndentDelegate(int indent, QObject* parent) : QStyledItemDelegate(parent), indent_(indent) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem shifted(option);
    if (index.column() == 1) shifted.rect.setLeft(shifted.rect.left() + indent_);
    QStyledItemDelegate::paint(painter, shifted, index);
  }

 private:
  int indent_;
};

// A name holding "=" would end at it, its rest going into the value; a "[" in a name starts a
// section header, or ends the titles section for every later title when the text is read.
QString NameRefusal(const QString& name) {
  for (const QChar c : {QChar(u'='), QChar(u'[')})
    if (name.contains(c)) return QStringLiteral("Title field names may not contain \"%1\".").arg(c);
  return {};
}

QString trimLeft(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text[i] <= u' ') ++i;
  return text.mid(i);
}

}  // namespace

TTitleGrid::TTitleGrid(Look look, QWidget* parent) : QTableWidget(0, 2, parent), look_(look) {
  setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Value")});
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  horizontalHeader()->setStretchLastSection(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(look == Look::Titles
                      ? QAbstractItemView::AllEditTriggers
                      : QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::SelectedClicked);
  if (look == Look::Titles) setItemDelegate(new TIndentDelegate(kValueIndent, this));
  connect(this, &QTableWidget::itemChanged, this, &TTitleGrid::cellEdited);
}

void TTitleGrid::SetLines(QStringList* lines) {
  lines_ = lines;
  references_.assign(lines ? std::size_t(lines->size()) : 0, false);
  Reload();
}

void TTitleGrid::SetReadOnly(bool on) {
  readOnly_ = on;
  if (on) setEditTriggers(QAbstractItemView::NoEditTriggers);
  Reload();
}

void TTitleGrid::Reload() {
  reloading_ = true;
  const int count = lines_ ? int(lines_->size()) : 0;
  references_.resize(std::size_t(count), false);
  setRowCount(count);
  QFont bold = font();
  bold.setBold(true);
  for (int r = 0; r < count; ++r) {
    auto* name = new QTableWidgetItem(LineName((*lines_)[r]));
    auto* value = new QTableWidgetItem(LineValue((*lines_)[r]));
    name->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    (look_ == Look::Titles ? value : name)->setFont(bold);
    for (QTableWidgetItem* item : {name, value})
      if (readOnly_) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    if (references_[std::size_t(r)]) value->setFlags(value->flags() & ~Qt::ItemIsEditable);
    setItem(r, 0, name);
    setItem(r, 1, value);
  }
  reloading_ = false;
  fitColumns();
}

void TTitleGrid::SetFieldReference(int row, bool on) {
  if (row < 0 || row >= int(references_.size())) return;
  references_[std::size_t(row)] = on;
  if (QTableWidgetItem* value = item(row, 1)) {
    reloading_ = true;
    value->setFlags(on || readOnly_ ? value->flags() & ~Qt::ItemIsEditable
                                    : value->flags() | Qt::ItemIsEditable);
    reloading_ = false;
  }
}

bool TTitleGrid::IsFieldReference(int row) const {
  return row >= 0 && row < int(references_.size()) && references_[std::size_t(row)];
}

void TTitleGrid::SetLineValue(int row, const QString& value) {
  if (!lines_ || row < 0 || row >= lines_->size()) return;
  (*lines_)[row] = LineName((*lines_)[row]) + u'=' + value;
  reloading_ = true;
  if (QTableWidgetItem* cell = item(row, 1)) cell->setText(value);
  reloading_ = false;
}

void TTitleGrid::cellEdited(QTableWidgetItem* cell) {
  if (reloading_ || !lines_ || cell->row() >= lines_->size()) return;
  const int r = cell->row();
  const QString old = (*lines_)[r];
  QString text = trimLeft(cell->text());
  QString line;
  if (cell->column() == 1) {
    if (text.isEmpty()) text = QStringLiteral("?");
    line = LineName(old) + u'=' + text;
  } else if (const QString refusal = NameRefusal(text); !refusal.isEmpty()) {
    // The name would not survive the descriptor text: the cell takes its old name back.
    reloading_ = true;
    cell->setText(LineName(old));
    reloading_ = false;
    warn(refusal);
    return;
  } else {
    line = text + u'=' + LineValue(old);
  }
  reloading_ = true;
  cell->setText(text);
  reloading_ = false;
  if (line == old) return;
  (*lines_)[r] = line;
  emit Edited();
}

void TTitleGrid::warn(const QString& text) {
  dialogs::show(this, text, QStringLiteral("Warning"), dialogs::Buttons::OK,
                dialogs::Icon::Warning);
}

bool TTitleGrid::ValidateCurrentName() {
  const int row = currentRow();
  if (readOnly_ || !lines_ || currentColumn() != 0 || row < 0 || row >= lines_->size()) return true;
  const QString name = LineName((*lines_)[row]);
  if (name.isEmpty()) {
    warn(QStringLiteral("Title field names may not be Blank."));
    return false;
  }
  for (int i = 0; i < lines_->size(); ++i) {
    if (i == row || QString::compare(LineName((*lines_)[i]), name, Qt::CaseInsensitive) != 0)
      continue;
    warn(QStringLiteral("The name \"%1\" is already used on row %2").arg(name).arg(i + 1));
    return false;
  }
  return true;
}

bool TTitleGrid::AddLine(bool after) {
  if (!lines_ || readOnly_ || !ValidateCurrentName()) return false;
  const int row = currentRow();
  const int at = row < 0 ? (after ? int(lines_->size()) : 0) : (after ? row + 1 : row);
  lines_->insert(at, QStringLiteral("=?"));
  references_.insert(references_.begin() + at, false);
  Reload();
  setCurrentCell(at, 0);
  editItem(item(at, 0));
  emit CountChanged();
  return true;
}

bool TTitleGrid::RemoveCurrentLine() {
  const int row = currentRow();
  if (!lines_ || readOnly_ || lines_->size() <= 1 || row < 0 || row >= lines_->size()) return false;
  const int column = std::max(currentColumn(), 0);
  lines_->removeAt(row);
  references_.erase(references_.begin() + row);
  Reload();
  setCurrentCell(std::min(row, int(lines_->size()) - 1), column);
  emit CountChanged();
  return true;
}

void TTitleGrid::mousePressEvent(QMouseEvent* e) {
  const QModelIndex target = indexAt(e->position().toPoint());
  if (target.isValid() && target != currentIndex() && !ValidateCurrentName()) {
    e->accept();
    return;
  }
  QTableWidget::mousePressEvent(e);
}

QModelIndex TTitleGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
  if (next.isValid() && next != currentIndex() && !ValidateCurrentName()) return currentIndex();
  return next;
}

void TTitleGrid::keyPressEvent(QKeyEvent* e) {
  const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
  if (enter && state() != EditingState && !ValidateCurrentName()) {
    e->accept();  // neither the grid nor the dialog's default button takes it
    return;
  }
  QTableWidget::keyPressEvent(e);
}

void TTitleGrid::resizeEvent(QResizeEvent* e) {
  QTableWidget::resizeEvent(e);
  fitColumns();
}

void TTitleGrid::fitColumns() {
  const int width = viewport()->width();
  setColumnWidth(0, width / 3);
  setColumnWidth(1, std::max(width - width / 3 - valueMargin_, 10));
}
