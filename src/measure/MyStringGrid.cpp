#include "measure/MyStringGrid.h"

#include <QBrush>
#include <QColor>
#include <QHeaderView>
#include <algorithm>

const QString* TGridModel::TColumn::Find(int row) const {
  const std::size_t page = std::size_t(row / kPage);
  if (page >= pages.size() || !pages[page]) return nullptr;
  return &pages[page][std::size_t(row % kPage)];
}

QString& TGridModel::TColumn::At(int row) {
  const std::size_t page = std::size_t(row / kPage);
  if (page >= pages.size()) pages.resize(page + 1);
  if (!pages[page]) pages[page] = std::make_unique<QString[]>(kPage);
  return pages[page][std::size_t(row % kPage)];
}

int TGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(columns_.size());
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int col = index.column(), row = index.row();
  if (role == Qt::DisplayRole) {
    const QString* cell = columns_[std::size_t(col)].Find(row);
    return cell ? *cell : QString();
  }
  if (role == Qt::BackgroundRole && (row < fixedRows_ || col < fixedCols_))
    return QBrush(QColor(0xF0, 0xF0, 0xF0));
  return {};
}

// The header rows are shown in the view's own header, so that they stay when the rows scroll.
QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  if (section < 0 || section >= int(columns_.size())) return {};
  QStringList lines;
  for (int row = 0; row < fixedRows_; ++row) {
    const QString* cell = columns_[std::size_t(section)].Find(row);
    lines << (cell ? *cell : QString());
  }
  return lines.join(QLatin1Char('\n'));
}

TMyStringGrid::TMyStringGrid(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("TMyStringGrid"));
  setModel(&model_);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(18);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setFrameShape(QFrame::NoFrame);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  setFont(font);
  // A number too wide for its column is cut at the edge, never turned into "...".
  setTextElideMode(Qt::ElideNone);
  SetColCount(1);
}

void TMyStringGrid::SetColCount(int count) {
  count = std::max(count, 0);
  const int old = ColCount();
  const bool tell = !model_.quiet_;
  if (count > old) {
    if (tell) model_.beginInsertColumns({}, old, count - 1);
    model_.columns_.resize(std::size_t(count));
    for (int c = old; c < count; ++c) model_.columns_[std::size_t(c)].width = model_.defaultWidth_;
    if (tell) model_.endInsertColumns();
  } else if (count < old) {
    if (tell) model_.beginRemoveColumns({}, count, old - 1);
    model_.columns_.resize(std::size_t(count));
    if (tell) model_.endRemoveColumns();
  }
  if (tell) applyWidths();
}

void TMyStringGrid::SetRowCount(int count) {
  count = std::max(count, 0);
  const int old = model_.rows_;
  if (count == old) return;
  if (count > old) {
    model_.beginInsertRows({}, old, count - 1);
    model_.rows_ = count;
    model_.endInsertRows();
  } else {
    model_.beginRemoveRows({}, count, old - 1);
    model_.rows_ = count;
    const std::size_t pages = std::size_t((count + TGridModel::kPage - 1) / TGridModel::kPage);
    for (auto& column : model_.columns_) {
      if (column.pages.size() > pages) column.pages.resize(pages);
      for (int row = count; row < int(pages) * TGridModel::kPage; ++row)
        if (QString* cell = column.Find(row)) cell->clear();
      std::erase_if(column.objects, [count](const auto& entry) { return entry.first >= count; });
    }
    model_.endRemoveRows();
  }
  for (int row = 0; row < std::min(count, model_.fixedRows_); ++row) setRowHidden(row, true);
}

void TMyStringGrid::SetFixedCols(int count) {
  model_.fixedCols_ = std::clamp(count, 0, ColCount());
  if (!model_.quiet_ && ColCount() > 0 && model_.rows_ > 0)
    emit model_.dataChanged(model_.index(0, 0), model_.index(model_.rows_ - 1, ColCount() - 1));
}

int TMyStringGrid::ColWidth(int col) const {
  return col >= 0 && col < ColCount() ? model_.columns_[std::size_t(col)].width : 0;
}

void TMyStringGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= ColCount()) return;
  model_.columns_[std::size_t(col)].width = width;
  if (!model_.quiet_) setColumnWidth(col, width);
}

bool TMyStringGrid::validCell(int col, int row) const {
  return col >= 0 && col < ColCount() && row >= 0 && row < model_.rows_;
}

QString TMyStringGrid::Cell(int col, int row) const {
  if (!validCell(col, row)) return {};
  const QString* cell = model_.columns_[std::size_t(col)].Find(row);
  return cell ? *cell : QString();
}

void TMyStringGrid::SetCell(int col, int row, const QString& text) {
  if (!validCell(col, row)) return;
  ++writes_;
  auto& column = model_.columns_[std::size_t(col)];
  if (text.isEmpty()) {
    if (QString* cell = column.Find(row)) cell->clear();
  } else {
    column.At(row) = text;
  }
  if (model_.quiet_) return;
  const QModelIndex index = model_.index(row, col);
  emit model_.dataChanged(index, index, {Qt::DisplayRole});
  if (row < model_.fixedRows_) emit model_.headerDataChanged(Qt::Horizontal, col, col);
}

void* TMyStringGrid::Object(int col, int row) const {
  if (!validCell(col, row)) return nullptr;
  const auto& objects = model_.columns_[std::size_t(col)].objects;
  const auto found = objects.find(row);
  return found == objects.end() ? nullptr : found->second;
}

void TMyStringGrid::SetObject(int col, int row, void* object) {
  if (!validCell(col, row)) return;
  auto& objects = model_.columns_[std::size_t(col)].objects;
  if (object)
    objects[row] = object;
  else
    objects.erase(row);
}

int TMyStringGrid::NextRowWithCells(int row, int first, int last) const {
  const int page = TGridModel::kPage;
  first = std::max(first, 0);
  last = std::min(last, ColCount() - 1);
  for (row = std::max(row, 0); row < model_.rows_; row = (row / page + 1) * page) {
    for (int col = first; col <= last; ++col) {
      const auto& pages = model_.columns_[std::size_t(col)].pages;
      const std::size_t index = std::size_t(row / page);
      if (index < pages.size() && pages[index]) return row;
    }
  }
  return model_.rows_;
}

void TMyStringGrid::ClearColumn(int col) {
  if (col < 0 || col >= ColCount()) return;
  model_.columns_[std::size_t(col)].pages.clear();
  if (!model_.quiet_ && model_.rows_ > 0) {
    emit model_.dataChanged(model_.index(0, col), model_.index(model_.rows_ - 1, col));
    emit model_.headerDataChanged(Qt::Horizontal, col, col);
  }
}

void TMyStringGrid::MoveColumn(int from, int to) {
  const int count = ColCount();
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
  auto& columns = model_.columns_;
  const bool tell = !model_.quiet_;
  if (tell) model_.beginResetModel();
  if (from < to)
    std::rotate(columns.begin() + from, columns.begin() + from + 1, columns.begin() + to + 1);
  else
    std::rotate(columns.begin() + to, columns.begin() + from, columns.begin() + from + 1);
  if (tell) {
    model_.endResetModel();
    applyWidths();
  }
  if (OnColumnMoved) OnColumnMoved(from, to);
}

void TMyStringGrid::DeleteColumn(int col) {
  if (col < 0 || col >= ColCount()) return;
  MoveColumn(col, ColCount() - 1);
  SetColCount(ColCount() - 1);
  model_.fixedCols_ = std::min(model_.fixedCols_, ColCount());
}

void TMyStringGrid::applyWidths() {
  for (int c = 0; c < ColCount(); ++c) setColumnWidth(c, model_.columns_[std::size_t(c)].width);
  for (int row = 0; row < std::min(model_.rows_, model_.fixedRows_); ++row) setRowHidden(row, true);
}

TMyStringGrid::TBulkUpdate::TBulkUpdate(TMyStringGrid& grid)
    : grid_(grid), outer_(!grid.model_.quiet_) {
  if (outer_) {
    grid_.model_.beginResetModel();
    grid_.model_.quiet_ = true;
  }
}

TMyStringGrid::TBulkUpdate::~TBulkUpdate() {
  if (!outer_) return;
  grid_.model_.quiet_ = false;
  grid_.model_.endResetModel();
  grid_.applyWidths();
}
