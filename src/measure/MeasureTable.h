#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>

class TMyStringGrid;
class TObjDef;
class TObjDefList;
class TSheetElement;
class TShowMenu;

// The measurement table's behaviour on a plain grid: clicks that move the display window and
// pick the current object, column selection from the header, the teal mark of where the next
// click lands, the table menu, and the clipboard and file copies of the table.
// Rectangles are grid cells: x/left..right are columns, y/top..bottom are rows (frame n is row
// FixedRows() + n). Interface thread only; the grid, the menu model and the objects outlive it.
class TMeasureTable : public QObject {
 public:
  TMeasureTable(TMyStringGrid& grid, TShowMenu& menu, TObjDefList& objects,
                QObject* parent = nullptr);
  ~TMeasureTable() override;

  // Unset hooks are skipped.
  std::function<int()> currentFrame;           // the display window's frame
  std::function<void(int frame)> moveToFrame;  // ask the display window for a frame
  std::function<void(TObjDef* object, int point)> currentChanged;  // an element column clicked

  // Where the next click lands: the teal mark follows it.
  void SetCurrent(int frame, const TObjDef* object, int point);
  // The current frame's row at the top and the current point's first column at the left when
  // they are out of sight; then a repaint.
  void KeepInView();
  // True for a cell that the teal mark covers when it is not selected.
  bool Marks(int col, int row) const;

  // The table menu "TablePopup", also the grid's context menu.
  QMenu* PopupMenu() const { return popup_; }

  // The selection, or the current cell when nothing is selected; null when neither exists.
  QRect Selection() const;
  void Select(const QRect& cells);
  void SelectAll();
  // Hides the element columns of the selection, right to left; fixed columns stay.
  void HideColumns();

  // Header rows, then rows max(top, FixedRows)..bottom: every cell followed by a tab, each
  // row's last tab turned into CR. Empty rows included.
  QString TableCopyText(const QRect& cells) const;
  void CopySelection();
  void CopyAll();
  // Header rows, then rows top..bottom holding a value, tab-separated, CR LF; the time column
  // first when it is not in the rectangle.
  QString DataCopyText(const QRect& cells) const;
  void CopySelectionData();
  void CopyAllData();
  bool ExportTo(const QString& path, QString* error) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class TMarkDelegate;

  void buildPopup();
  void fillShowMenu();
  void showColumn(TSheetElement* element);
  void cellClicked(int col, int row);
  bool gridPress(const QPoint& pos);
  void headerRelease(const QPoint& pos, Qt::KeyboardModifiers modifiers);
  void columnDragged(int oldVisual, int newVisual);
  TSheetElement* elementAt(int col) const;
  int firstColumnOfCurrent() const;
  int dataRows() const;

  TMyStringGrid& grid_;
  TShowMenu& menu_;
  TObjDefList& objects_;
  QPointer<QMenu> popup_;  // a child of the grid, as are its submenus
  QMenu* show_ = nullptr;
  QPointer<QMenu> firstMore_;  // the later ones are its descendants
  int frame_ = -1;
  const TObjDef* object_ = nullptr;
  int point_ = 0;
  bool headerDragged_ = false;
};
