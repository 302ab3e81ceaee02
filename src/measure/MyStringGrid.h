#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>
#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

// The string grid of the measurement table: cells of text addressed (column, row), an object
// pointer per cell, 3 fixed header rows, and column delete and move. Cells live in columns of
// their own, so that moving, adding or deleting a column costs the number of columns, not the
// number of cells (a table holds a row for every frame of a clip).
class TGridModel : public QAbstractTableModel {
 public:
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  friend class TMyStringGrid;
  // Cells in pages of kPage rows, made on the first write: a far-off frame costs one page.
  static constexpr int kPage = 256;
  struct TColumn {
    std::vector<std::unique_ptr<QString[]>> pages;
    std::unordered_map<int, void*> objects;
    int width = 30;
    const QString* Find(int row) const;
    QString* Find(int row) { return const_cast<QString*>(std::as_const(*this).Find(row)); }
    QString& At(int row);
  };
  std::vector<TColumn> columns_;
  int rows_ = 0;
  int fixedRows_ = 3;
  int fixedCols_ = 0;
  int defaultWidth_ = 30;
  bool quiet_ = false;  // a bulk update is running: one reset at its end
};

class TMyStringGrid : public QTableView {
 public:
  explicit TMyStringGrid(QWidget* parent = nullptr);

  int ColCount() const { return int(model_.columns_.size()); }
  void SetColCount(int count);
  int RowCount() const { return model_.rows_; }
  void SetRowCount(int count);
  int FixedRows() const { return model_.fixedRows_; }
  int FixedCols() const { return model_.fixedCols_; }
  void SetFixedCols(int count);
  void SetDefaultColWidth(int width) { model_.defaultWidth_ = width; }
  int ColWidth(int col) const;
  void SetColWidth(int col, int width);

  // Out-of-range cells read empty and ignore writes; a write never adds rows or columns.
  QString Cell(int col, int row) const;
  void SetCell(int col, int row, const QString& text);
  void* Object(int col, int row) const;
  void SetObject(int col, int row, void* object);
  // The first row from `row` on that may hold text in columns first..last (rows in untouched
  // pages are skipped), or RowCount().
  int NextRowWithCells(int row, int first, int last) const;
  // Empties every cell of a column (its objects stay).
  void ClearColumn(int col);

  // Moves a column with its cells, objects and width; the others close up. Reports the move.
  void MoveColumn(int from, int to);
  // Moves the column to the last place (reported as a move), then removes it.
  void DeleteColumn(int col);
  // Called after every column move, with the old and the new index.
  std::function<void(int from, int to)> OnColumnMoved;

  // Cell writes since construction: what a change costs, for tests and benchmarks.
  long long CellWrites() const { return writes_; }

  // While one lives, cell writes notify nothing; the view is refreshed once at its end.
  class TBulkUpdate {
   public:
    explicit TBulkUpdate(TMyStringGrid& grid);
    ~TBulkUpdate();
    TBulkUpdate(const TBulkUpdate&) = delete;
    TBulkUpdate& operator=(const TBulkUpdate&) = delete;

   private:
    TMyStringGrid& grid_;
    bool outer_;
  };

 private:
  bool validCell(int col, int row) const;
  void applyWidths();

  TGridModel model_;
  long long writes_ = 0;
};
