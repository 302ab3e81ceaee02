#pragma once

#include <QStringList>
#include <QTableWidget>
#include <vector>

// A two-column grid over a list of "name=value" lines (not owned): row r shows the name and
// the value of line r, and edits go straight into the list. Leaving a name cell that is blank
// or repeats another row's name (without regard to case) is refused with a warning; a typed
// name holding "=" or "[" is refused with a warning and the cell keeps its old name.
class TTitleGrid : public QTableWidget {
  Q_OBJECT
 public:
  // Titles: names plain and right-aligned, values bold and 25 pixels in.
  // Defaults: names bold and right-aligned, values plain at the cell's left edge.
  enum class Look { Titles, Defaults };
  TTitleGrid(Look look, QWidget* parent = nullptr);

  // Shows the list; null shows nothing. The list must outlive its showing.
  void SetLines(QStringList* lines);
  QStringList* Lines() const { return lines_; }
  void Reload();
  // A read-only grid shows its list and never edits it.
  void SetReadOnly(bool on);
  // Pixels the value column leaves free at the right.
  void SetValueMargin(int pixels) { valueMargin_ = pixels; }

  // A line marked as a field reference cannot have its value typed over.
  void SetFieldReference(int row, bool on);
  bool IsFieldReference(int row) const;
  // Replaces the value of line row and shows it.
  void SetLineValue(int row, const QString& value);

  // True when the current cell may be left; otherwise the warning has been shown.
  bool ValidateCurrentName();
  // After validation: a new line "=?" after (or before) the current row, edited at its name.
  bool AddLine(bool after);
  // Deletes the current line unless it is the only one.
  bool RemoveCurrentLine();

 signals:
  // A cell edit changed the list.
  void Edited();
  // Lines were added or removed.
  void CountChanged();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void cellEdited(QTableWidgetItem* item);
  void warn(const QString& text);
  void fitColumns();

  Look look_;
  QStringList* lines_ = nullptr;
  std::vector<bool> references_;
  bool readOnly_ = false;
  bool reloading_ = false;
  int valueMargin_ = 25;
};
