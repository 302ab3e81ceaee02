#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "signals/GraphBands.h"
#include "signals/GraphCursor.h"
#include "signals/SigSelectDlg.h"

class PESGraph;
class QFrame;
class TGraphStatusBar;
class TRegIniFile;
class ISigInfo;

// The "Signals" window: up to 14 signal sources against test time, with a crosshair cursor on
// one sample kept in step with a timeline. The owner feeds it the timeline's time (SetTime) and
// asks whether the user moved the cursor (TakeCursorTime). It owns the selection dialog, whose
// sources it graphs, and its graph preferences under "Graph Signals". Interface thread only.
class TGraphForm : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kColorBytes = 4 * TSigSelectDlg::kColorCount;
  static const TSigSelectDlg::TColors kDefaultColors;

  // registry: the owner's preference store, not owned (may be null). info: the shared
  // dialog that confirms the guesses about ASCII files.
  // placementName: the name of its "Desktop" placement entry.
  TGraphForm(QWidget* owner, TRegIniFile* registry, ISigInfo& info,
             const QString& placementName = QStringLiteral("GraphForm"));
  ~TGraphForm() override;

  // Runs the selection dialog with files added first; on OK rebuilds the graph and shows the
  // window. False when the dialog was refused (nothing changes).
  bool SelectSignals(const QStringList& files = {});
  void SetTime(float t);
  bool TakeCursorTime(float& t);
  void SetTimeTolerance(double ms) { cursor_.Tolerance = ms; }
  double TimeTolerance() const { return cursor_.Tolerance; }
  float CursorTime() const { return cursor_.CursorTime; }
  bool CursorMovedByUser() const { return cursor_.MovedByUser; }

  // Rebuilds from the dialog's current result (after SelectSignals' dialog was confirmed).
  void Rebuild();
  // The status panels' actions.
  void MinMaxClick(bool max);
  // The cursor as the window set it last: its subset's point time and value.
  int CursorPoint() const;
  TSigSelectDlg& SelectDialog() { return *selectDlg_; }
  PESGraph& Graph() { return *Graph1; }
  TGraphStatusBar& StatusBar() { return *StatusBar1; }
  const TGraphBands& Bands() const { return bands_; }
  const TSigSelectDlg::TColors& Colors() const { return colors_; }
  QString LastSignalFile() const { return lastSignalFile_; }
  bool Zoomed() const { return zoomed_; }
  int VisibleFirstPoint() const { return visibleFirst_; }
  int VisibleLastPoint() const { return visibleLast_; }

  // Called once the window is gone (the owner clears its reference).
  std::function<void()> OnDestroy;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  // What the cursor needs of a graphed source, taken at the rebuild: the sources belong to the
  // dialog, which may free them while the graph still shows their curves.
  struct TTimeBase {
    double first = 0;
    double interval = 1;
    int count = 0;
  };

  void BuildUi();
  void ConnectGraph();
  void ReadPreferences();
  void WritePreferences();
  void LoadSettingsBlock(const QByteArray& block);
  void SetupLayout(int subsets, int points, bool share, int overlay);
  void SetupSubset(int subset, TSigClass& source);
  bool CursorSubsetValid() const;
  void PlaceCursor(int point);
  void UpdateReadouts();
  QString YReadout(float cursorY);
  void PanelClick(int panel);
  void CursorMoved();
  void SubsetHotSpot(int subset);
  void MouseDown(Qt::MouseButton button, QPoint p);
  void MouseMove(QPoint p);
  void ZoomIn();
  void ZoomOut();

  TRegIniFile* registry_;
  std::unique_ptr<TSigSelectDlg> selectDlg_;
  TGraphCursor cursor_;
  QString lastSignalFile_;
  TSigSelectDlg::TColors colors_;
  TGraphBands bands_;
  std::vector<TTimeBase> timeBases_;
  bool zoomed_ = false;
  bool dragging_ = false;
  double mouseX_ = 0;
  double mouseY_ = 0;
  int mouseAxis_ = 0;
  int visibleFirst_ = 0;
  int visibleLast_ = -1;

  QFrame* GraphPanel = nullptr;
  PESGraph* Graph1 = nullptr;
  TGraphStatusBar* StatusBar1 = nullptr;
};
