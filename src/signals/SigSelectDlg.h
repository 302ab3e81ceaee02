#pragma once

#include <QColor>
#include <QDialog>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "signals/SigClass.h"

class ISigInfo;
class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

// Chooses what to graph: a pool of the sources loaded so far (sorted by name) and two groups
// drawn from it, overlay graphing (curves sharing one band) and separate axis graphing (a band
// each), together at most 14. The dialog owns every source in the pool and the groups; they
// survive from one Execute to the next and leave only through "Remove" or with the dialog.
class TSigSelectDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kCapacity = 14;
  static constexpr int kColorCount = 14;
  // Subset colours as 0x00BBGGRR, the stored form.
  using TColors = std::array<std::uint32_t, kColorCount>;
  enum class TScaling { Auto, Linear, Log };
  struct TResultItem {
    QString text;
    TSigClass* source = nullptr;  // owned by the dialog
  };

  // info: the shared dialog that confirms the guesses of the ASCII reader.
  explicit TSigSelectDlg(ISigInfo& info, QWidget* parent = nullptr);
  ~TSigSelectDlg() override;

  // Adds files, shows the dialog and, on OK, hands back the last file added through the open
  // dialog and takes the overlay group followed by the separate group as the result.
  bool Execute(QString& lastFile, const QStringList& files);
  // Each file that cannot be added is reported in a box of its own; the others still come.
  void AddFiles(const QStringList& files);

  const std::vector<TResultItem>& Result() const { return result_; }
  int OverlayCount() const;
  int CapacityLeft() const;
  bool ShareFirstAxis() const;
  TScaling Scaling() const;
  bool Prompt() const;
  void SetPrompt(bool prompt);
  const TColors& Colors() const { return colors_; }
  void SetColors(const TColors& colors);
  bool ColorsChanged() const { return colorsChanged_; }

  // The move buttons of a group: ">", "<", ">>", "<<".
  void IncBtnClick(QListWidget* group);
  void ExcBtnClick(QListWidget* group);
  void IncAllBtnClick(QListWidget* group);
  void ExcAllBtnClick(QListWidget* group);
  void RemoveBtnClick();
  void OpenBtnClick();
  void SetButtons();
  // Opens the colour dialog on the clicked entry.
  void SubsetColorsListBoxClick(int index);

 private:
  struct TPanel {
    QListWidget* group = nullptr;
    QPushButton* inc = nullptr;
    QPushButton* exc = nullptr;
    QPushButton* incAll = nullptr;
    QPushButton* excAll = nullptr;
  };

  void BuildUi();
  QWidget* BuildPanel(TPanel& panel, const char* prefix);
  void ConnectPanel(const TPanel& panel);
  void AddFile(const QString& name, bool& applyToAll);
  void AddToPool(std::unique_ptr<TSigClass> source);
  void MoveItem(QListWidget* from, int row, QListWidget* to);
  void Reselect(QListWidget* list, int row);
  void FreeSource(TSigClass* source);
  void PaintColors();

  ISigInfo& info_;
  QString lastFile_;
  std::vector<TResultItem> result_;
  int capacity_ = kCapacity;
  bool colorsChanged_ = false;
  TColors colors_{};
  std::vector<std::unique_ptr<TSigClass>> sources_;

  QListWidget* SrcList = nullptr;
  QListWidget* OverlayList = nullptr;
  QListWidget* SeparateList = nullptr;
  TPanel overlayPanel_;
  TPanel separatePanel_;
  QPushButton* OpenBtn = nullptr;
  QPushButton* RemoveBtn = nullptr;
  QCheckBox* ShareAxisCB = nullptr;
  QRadioButton* AutoRB = nullptr;
  QRadioButton* LinearRB = nullptr;
  QRadioButton* LogRB = nullptr;
  QCheckBox* PromptXB = nullptr;
  QListWidget* SubsetColorsListBox = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* BitBtn2 = nullptr;
};

// The colour of a stored 0x00BBGGRR value, and back.
QColor ColorOfRef(std::uint32_t ref);
std::uint32_t RefOfColor(const QColor& color);
