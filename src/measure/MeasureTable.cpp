#include "measure/MeasureTable.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>

#include "measure/MeasureExport.h"
#include "measure/MyStringGrid.h"
#include "measure/ObjDef.h"
#include "measure/SheetElement.h"

namespace {

constexpr QRgb kTeal = 0x008080;

void ToClipboard(const QString& text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
}

// A caption shown as typed: "&" in an object name is no mnemonic.
QString MenuText(const QString& caption) {
  QString text = caption;
  return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

// Paints the teal mark; every other cell as the grid would. Lives with the grid, so that a
// table going first leaves no dangling delegate behind.
class TMeasureTable::TMarkDelegate : public QStyledItemDelegate {
 public:
  TMarkDelegate(TMeasureTable& table, QObject* parent)
      : QStyledItemDelegate(parent), table_(&table) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (!table_ || (option.state & QStyle::State_Selected) ||
        !table_->Marks(index.column(), index.row())) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    painter->save();
    painter->fillRect(option.rect, QColor(kTeal));
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(option.rect.adjusted(2, 2, 0, 0),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
  }

 private:
  QPointer<TMeasureTable> table_;
};

TMeasureTable::TMeasureTable(TMyStringGrid& grid, TShowMenu& menu, TObjDefList& objects,
                             QObject* parent)
    : QObject(parent), grid_(grid), menu_(menu), objects_(objects) {
  grid_.setItemDelegate(new TMarkDelegate(*this, &grid_));
  grid_.viewport()->installEventFilter(this);
  connect(&grid_, &QAbstractItemView::clicked, this,
          [this](const QModelIndex& index) { cellClicked(index.column(), index.row()); });

  QHeaderView* header = grid_.horizontalHeader();
  // Column selection comes from our release handler, so the header's own press selects nothing.
  header->setSectionsClickable(false);
  header->setSectionsMovable(true);
  header->viewport()->installEventFilter(this);
  connect(header, &QHeaderView::sectionMoved, this,
          [this](int, int from, int to) { columnDragged(from, to); });
  connect(header, &QHeaderView::sectionResized, this, [this] { headerDragged_ = true; });

  buildPopup();
  for (QWidget* widget : {static_cast<QWidget*>(&grid_), static_cast<QWidget*>(header)}) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this, [this, widget](QPoint pos) {
      auto* area = qobject_cast<QAbstractScrollArea*>(widget);
      popup_->popup((area ? area->viewport() : widget)->mapToGlobal(pos));
    });
  }
}

TMeasureTable::~TMeasureTable() {
  delete popup_;
}

void TMeasureTable::buildPopup() {
  popup_ = new QMenu(&grid_);
  popup_->setObjectName(QStringLiteral("TablePopup"));
  const auto add = [this](const QString& text, const char* name, void (TMeasureTable::*slot)()) {
    QAction* action = popup_->addAction(text);
    action->setObjectName(QLatin1String(name));
    if (slot) connect(action, &QAction::triggered, this, slot);
    return action;
  };
  add(QStringLiteral("&Copy Selection"), "CopySelectionItem", &TMeasureTable::CopySelection);
  add(QStringLiteral("Copy &All"), "CopyAllItem", &TMeasureTable::CopyAll);
  add(QStringLiteral("&Delete Selected Data"), "DeleteSelectedItem", nullptr)->setEnabled(false);
  add(QStringLiteral("&Hide Columns"), "HideColumnsItem", &TMeasureTable::HideColumns);
  show_ = popup_->addMenu(QStringLiteral("&Show"));
  show_->setObjectName(QStringLiteral("ShowMenu"));
  connect(show_, &QMenu::aboutToShow, this, &TMeasureTable::fillShowMenu);
  add(QStringLiteral("Se&lect All"), "SelectAllItem", &TMeasureTable::SelectAll);
}

// Qt menus have no column break: the items from a break on go into a "More" submenu of the
// column before, so each column of a long list is one cascaded menu of at most 19 items.
void TMeasureTable::fillShowMenu() {
  show_->clear();
  delete firstMore_;
  menu_.Refresh();
  const std::vector<TSheetElement*> items = menu_.VisibleItems();
  QMenu* column = show_;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (TShowMenu::BreaksBefore(int(i))) {
      column = column->addMenu(QStringLiteral("More"));
      column->setObjectName(QStringLiteral("ShowMore"));
      if (!firstMore_) firstMore_ = column;
    }
    TSheetElement* element = items[i];
    connect(column->addAction(MenuText(element->MenuCaption())), &QAction::triggered, this,
            [this, element] { showColumn(element); });
  }
  QAction* all = show_->addAction(QStringLiteral("&All"));
  all->setObjectName(QStringLiteral("ShowAllItem"));
  connect(all, &QAction::triggered, this, [this] { TShowMenu::ShowAll(objects_); });
}

void TMeasureTable::showColumn(TSheetElement* element) {
  // The item may have outlived its element (an object removed while the menu was built).
  const std::vector<TSheetElement*> offered = menu_.VisibleItems();
  if (std::find(offered.begin(), offered.end(), element) != offered.end())
    TShowMenu::Click(*element);
}

TSheetElement* TMeasureTable::elementAt(int col) const {
  // Column 0 is the time column; every other header cell holds its element.
  if (col < 1 || col >= grid_.ColCount()) return nullptr;
  return static_cast<TSheetElement*>(grid_.Object(col, 0));
}

int TMeasureTable::dataRows() const {
  return std::max(grid_.RowCount() - grid_.FixedRows(), 0);
}

void TMeasureTable::SetCurrent(int frame, const TObjDef* object, int point) {
  frame_ = frame;
  object_ = object;
  point_ = point;
  grid_.viewport()->update();
}

bool TMeasureTable::Marks(int col, int row) const {
  if (!object_ || frame_ < 0 || row != grid_.FixedRows() + frame_) return false;
  const TSheetElement* element = elementAt(col);
  return element && &element->Object() == object_;
}

int TMeasureTable::firstColumnOfCurrent() const {
  bool alive = false;
  for (std::size_t i = 0; i < objects_.Count() && !alive; ++i)
    alive = objects_.Object(i) == object_;
  if (!alive) return -1;
  const auto* columns = dynamic_cast<const TSheetElements*>(object_->Columns());
  int first = -1;
  for (std::size_t i = 0; columns && i < columns->Count(); ++i) {
    const TSheetElement* e = columns->Element(i);
    if (e->Visible() && e->Ordinate() / 2 == point_ && (first < 0 || e->Column() < first))
      first = e->Column();
  }
  return first;
}

// Scroll values: per item they count shown sections, and the only hidden rows are the header
// rows above frame 0 (the grid shows those in its header); columns are never hidden.
void TMeasureTable::KeepInView() {
  const int row = grid_.FixedRows() + frame_;
  if (frame_ >= 0 && row < grid_.RowCount()) {
    const int y = grid_.rowViewportPosition(row);
    if (y < 0 || y + grid_.rowHeight(row) > grid_.viewport()->height())
      grid_.verticalScrollBar()->setValue(grid_.verticalScrollMode() ==
                                                  QAbstractItemView::ScrollPerPixel
                                              ? grid_.verticalHeader()->sectionPosition(row)
                                              : frame_);
  }
  const int col = firstColumnOfCurrent();
  if (col >= grid_.FixedCols()) {
    const int x = grid_.columnViewportPosition(col);
    if (x < 0 || x + grid_.columnWidth(col) > grid_.viewport()->width())
      grid_.horizontalScrollBar()->setValue(grid_.horizontalScrollMode() ==
                                                    QAbstractItemView::ScrollPerPixel
                                                ? grid_.horizontalHeader()->sectionPosition(col)
                                                : grid_.horizontalHeader()->visualIndex(col));
  }
  grid_.viewport()->update();
}

void TMeasureTable::cellClicked(int col, int row) {
  const int frame = row - grid_.FixedRows();
  if (frame >= 0 && moveToFrame && (!currentFrame || currentFrame() != frame)) moveToFrame(frame);
  if (TSheetElement* element = elementAt(col); element && currentChanged)
    currentChanged(&element->Object(), element->Ordinate() / 2);
  KeepInView();
}

bool TMeasureTable::gridPress(const QPoint& pos) {
  const QModelIndex index = grid_.indexAt(pos);
  if (!index.isValid() || index.column() >= grid_.FixedCols() || index.row() < grid_.FixedRows())
    return false;
  if (moveToFrame) moveToFrame(index.row() - grid_.FixedRows());
  return true;  // a fixed cell is never selected
}

void TMeasureTable::headerRelease(const QPoint& pos, Qt::KeyboardModifiers modifiers) {
  const QHeaderView* header = grid_.horizontalHeader();
  const int col = header->logicalIndexAt(pos.x());
  // The header shows the three header rows as three lines: rows 0 and 1 are the upper two.
  const bool nameOrCaption = pos.y() * 3 < header->height() * 2;
  if (col < grid_.FixedCols() || col < 0 || !nameOrCaption || dataRows() == 0) return;
  int left = col, right = col;
  if (const QRect selection = Selection(); modifiers & Qt::ShiftModifier && !selection.isNull()) {
    left = std::min(selection.left(), col);
    right = std::max(selection.right(), col);
  }
  Select(QRect(QPoint(left, grid_.FixedRows()), QPoint(right, grid_.RowCount() - 1)));
}

void TMeasureTable::columnDragged(int oldVisual, int newVisual) {
  headerDragged_ = true;
  QHeaderView* header = grid_.horizontalHeader();
  {
    // The view keeps logical order; the grid moves the cells and tells the elements instead.
    const QSignalBlocker block(header);
    header->moveSection(newVisual, oldVisual);
  }
  grid_.viewport()->update();
  const int fixed = grid_.FixedCols();
  if (oldVisual < fixed || newVisual < fixed) return;
  // Not inside the header's own mouse handling: the move resets the model under it.
  QTimer::singleShot(0, this,
                     [this, oldVisual, newVisual] { grid_.MoveColumn(oldVisual, newVisual); });
}

bool TMeasureTable::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
  if (!press && type != QEvent::MouseButtonRelease) return QObject::eventFilter(watched, event);
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint pos = mouse->position().toPoint();
  // A double click is a press to the view: it would select the fixed cell.
  if (watched == grid_.viewport()) return press && gridPress(pos);
  if (watched == grid_.horizontalHeader()->viewport()) {
    if (press) {
      headerDragged_ = false;
    } else if (mouse->button() == Qt::LeftButton && !headerDragged_) {
      headerRelease(pos, mouse->modifiers());
    }
  }
  return QObject::eventFilter(watched, event);
}

QRect TMeasureTable::Selection() const {
  QRect cells;
  if (const QItemSelectionModel* model = grid_.selectionModel())
    for (const QItemSelectionRange& range : model->selection())
      cells |= QRect(QPoint(range.left(), range.top()), QPoint(range.right(), range.bottom()));
  if (cells.isNull() && grid_.currentIndex().isValid())
    cells = QRect(grid_.currentIndex().column(), grid_.currentIndex().row(), 1, 1);
  return cells;
}

void TMeasureTable::Select(const QRect& cells) {
  const QRect all(0, 0, grid_.ColCount(), grid_.RowCount());
  const QRect clipped = cells & all;
  if (clipped.isEmpty() || !grid_.selectionModel()) return;
  const QAbstractItemModel* model = grid_.model();
  const QModelIndex topLeft = model->index(clipped.top(), clipped.left());
  grid_.selectionModel()->select(
      QItemSelection(topLeft, model->index(clipped.bottom(), clipped.right())),
      QItemSelectionModel::ClearAndSelect);
  grid_.selectionModel()->setCurrentIndex(topLeft, QItemSelectionModel::NoUpdate);
}

void TMeasureTable::SelectAll() {
  Select(QRect(QPoint(grid_.FixedCols(), grid_.FixedRows()),
               QPoint(grid_.ColCount() - 1, grid_.RowCount() - 1)));
}

void TMeasureTable::HideColumns() {
  const QRect selection = Selection();
  if (selection.isNull()) return;
  const int left = std::max(selection.left(), grid_.FixedCols());
  for (int col = std::min(selection.right(), grid_.ColCount() - 1); col >= left; --col)
    if (TSheetElement* element = elementAt(col)) element->SetVisible(false);
}

QString TMeasureTable::TableCopyText(const QRect& cells) const {
  const int left = std::max(cells.left(), 0), right = std::min(cells.right(), grid_.ColCount() - 1);
  if (cells.isNull() || left > right) return {};
  const int fixed = grid_.FixedRows();
  const int bottom = std::min(cells.bottom(), grid_.RowCount() - 1);
  QString text;
  const auto append = [&](int row) {
    for (int col = left; col <= right; ++col) {
      text += grid_.Cell(col, row);
      text += QLatin1Char('\t');
    }
    text[text.size() - 1] = QLatin1Char('\r');
  };
  for (int row = 0; row < fixed; ++row) append(row);
  for (int row = std::max(cells.top(), fixed); row <= bottom; ++row) append(row);
  return text;
}

QString TMeasureTable::DataCopyText(const QRect& cells) const {
  if (cells.isNull()) return {};
  return RowsText(grid_, cells.top(), cells.bottom(), QLatin1Char('\t'), std::max(cells.left(), 0),
                  std::min(cells.right(), grid_.ColCount() - 1));
}

void TMeasureTable::CopySelection() {
  if (const QRect selection = Selection(); !selection.isNull())
    ToClipboard(TableCopyText(selection));
}

void TMeasureTable::CopyAll() {
  ToClipboard(TableCopyText(QRect(0, 0, grid_.ColCount(), grid_.RowCount())));
}

void TMeasureTable::CopySelectionData() {
  if (const QRect selection = Selection(); !selection.isNull())
    ToClipboard(DataCopyText(selection));
}

void TMeasureTable::CopyAllData() {
  ToClipboard(DataCopyText(
      QRect(QPoint(1, grid_.FixedRows()), QPoint(grid_.ColCount() - 1, grid_.RowCount() - 1))));
}

bool TMeasureTable::ExportTo(const QString& path, QString* error) const {
  return WriteExportFile(grid_, path, error);
}
