#pragma once

#include <QWidget>

// The base of every window that shows one clip on the master timeline: the calls through
// which the main window's timer and menus drive clip windows alike.
class TChildForm : public QWidget {
  Q_OBJECT
 public:
  explicit TChildForm(QWidget* owner = nullptr);
  ~TChildForm() override;

  // Asked before the main window closes; false keeps the window (and the program) open.
  virtual bool CloseQuery() { return true; }
  virtual bool IsDisplayWindow() const { return false; }

  virtual void SaveClipAs() {}
  virtual void CompressionOptions() {}
  virtual void CopyFrameToClipboard() {}
  virtual void EditDescriptors() {}
  virtual void OpenQuickMeasure() {}
  virtual void OpenSignalGraph() {}
  virtual void SetQuickMeasureEnabled(bool) { QuickMeasureAllowed = false; }
  virtual void SetSignalGraphEnabled(bool) { SignalGraphAllowed = false; }

  bool Saving = false;
  bool QuickMeasureAllowed = false;
  bool SignalGraphAllowed = false;
  bool Frozen = false;
};
