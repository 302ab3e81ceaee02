#pragma once

#include <QPointer>
#include <QStringList>
#include <memory>

#include "app/MasterTimeline.h"

class QWidget;
class TChildForm;
class TGraphForm;
class TRegIniFile;
class TSigInfoDlg;

// The main window's side of signal graphing: the one information dialog every ASCII file is
// confirmed in, the one global graph window on the master timeline, and the graph windows that
// clip windows make for themselves. Interface thread only.
class TGraphLink : public ITimelineGraph {
 public:
  TGraphLink(QWidget* owner, TRegIniFile* registry);
  ~TGraphLink() override;

  // The global graph window when it exists.
  TGraphForm* Window() const;
  TSigInfoDlg& InfoDialog() { return *info_; }

  // "Signal Graphing...": the window, created when absent, runs its selection dialog.
  void SelectSignals();
  // Signal files of one run of the open queue, handed over by Flush once the run is over (a
  // modal selection dialog inside the tick would hold back the clips opened before it).
  void Queue(const QStringList& names) { queued_ << names; }
  void Flush();
  void Close();
  // Gives a clip window the means to make its own graph window.
  void Equip(TChildForm* child);

  bool TakeCursorTime(float& time) override;
  void SetTime(float time) override;
  void SetTimeStep(float step) override;

 private:
  TGraphForm& Ensure();

  QWidget* owner_;
  TRegIniFile* registry_;
  std::unique_ptr<TSigInfoDlg> info_;
  QPointer<TGraphForm> graph_;
  QStringList queued_;
  float step_ = 0;
};
