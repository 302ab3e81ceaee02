#pragma once

#include <QDialog>
#include <QStringList>

#include "textio/StringListList.h"

class QAction;
class QMenu;
class QPushButton;
class TRegIniFile;
class TTitleGrid;

// The editor of the default titles that every clip's titles start from. A value is static
// text or a field reference "(database)[list]key" chosen from the pop-up menu of the value
// cell, which stands for that value of a title-template file (or of the system's own lists).
class TDefaultTitlesForm : public QDialog {
  Q_OBJECT
 public:
  explicit TDefaultTitlesForm(QWidget* parent = nullptr);
  ~TDefaultTitlesForm() override;

  // At main-window creation: placement and the "Default Titles" list from the store.
  void LoadDefaultTitles(const TRegIniFile* reg, TStringListList& lists);
  // Modal; true when OK replaced the "Default Titles" list of the last row.
  bool EditDefaultTitles(const QStringList& names, TStringListList& lists);
  // At main-window close: placement, then the store's section "Default Titles" rewritten.
  void SaveDefaultTitles(TRegIniFile* reg, const TStringListList& lists);

  QMenu* FieldPopUp() const { return fieldPopUp_; }

  // Component handlers, public so that a test can drive them as the components do.
  void AddBtnClick();
  void InsertBtnClick();
  void RemoveBtnClick();
  void OKBtnClick();
  void StaticTextClick();
  // A field item: line `line` of list `list` of database row `row`.
  void FieldItemClick(int row, int list, int line);
  // Opens FieldPopUp at a point of the grid's viewport.
  void PopUpAt(const QPoint& where);

 private:
  void buildUi();
  void buildFieldMenu();

  TTitleGrid* grid_ = nullptr;
  QPushButton* removeBtn_ = nullptr;
  QMenu* fieldPopUp_ = nullptr;
  QAction* staticText_ = nullptr;
  QStringList working_;
  const QStringList* names_ = nullptr;
  const TStringListList* lists_ = nullptr;
};
