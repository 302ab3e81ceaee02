#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "descriptors/DescriptorWindow.h"
#include "descriptors/Timing.h"

class IMeasureHooks;
class TAVISTREAM;
class TRegIniFile;
class TTitlesForm;
struct TDatabases;

// The main window's objects every clip window uses. None is owned by the window.
struct TChildShared {
  TDatabases* databases = nullptr;
  TRegIniFile* registry = nullptr;  // placement and compression options
  TTitlesForm* titlesEditor = nullptr;
};

// The base of every window that shows one clip on the master timeline: its file, clip stream,
// descriptor text and timing, companion windows and view options, and the operations through
// which the main window's timer and menus drive every clip window alike. All calls on the
// interface thread.
class TChildForm : public QWidget, public IDescriptorWindow {
  Q_OBJECT
 public:
  using TNotifyEvent = std::function<void(TChildForm*)>;

  // stream: the clip's stream, owned by the derived window (may be null). caption: the file
  // name without its directory.
  TChildForm(QWidget* owner, TNotifyEvent onOpened, const TChildShared& shared,
             const QString& fileName, const QString& caption, TAVISTREAM* stream);
  TChildForm(const TChildForm&) = delete;
  TChildForm& operator=(const TChildForm&) = delete;
  ~TChildForm() override;

  virtual int CurrentFrame() { return ShownFrame; }
  virtual void StopAtFrame(int frame);
  virtual void ShowFrame(int frame);
  virtual float CurrentTime() { return currentTime_; }
  virtual void ShowTime(float time);
  virtual void StopAtTime(float time);
  virtual float EndTime() { return 0.0f; }
  virtual int FrameCount() { return 0; }
  virtual int ViewKind() { return 0; }
  virtual void SetQuickMeasureEnabled(bool) { QuickMeasureAllowed = false; }
  virtual void SetSignalGraphEnabled(bool) { SignalGraphAllowed = false; }
  // True when the window must redraw: a new frame was requested, or a repaint is pending.
  bool UpdateFrame() override;
  virtual void SaveClipAs() {}
  virtual void CompressionOptions();
  virtual void CopyFrameToClipboard();
  virtual void EditDescriptors();
  // Called every master tick. hasTiming is overwritten with "not frozen" once timing is set.
  virtual bool Poll(bool& hasTiming, bool& frozen);
  virtual void OpenQuickMeasure();
  virtual void OpenSignalGraph();

  // Asked before the main window closes; false keeps the window (and the program) open.
  virtual bool CloseQuery() { return true; }
  // The clip display window answers true; the main window acts only on those.
  virtual bool IsDisplayWindow() const { return false; }

  // Timing (IDescriptorWindow); each setter also rewrites the "Timing" entries of Descriptor.
  float EffectiveFramePeriod() const override { return timing_.EffectiveFramePeriod(); }
  float TimeOffset() const override { return timing_.TimeOffset(); }
  int TimeDecimals() const override { return timing_.TimeDecimals(); }
  float FramePeriod() const { return timing_.FramePeriod(); }
  void SetFramePeriod(float period) override { timing_.SetFramePeriod(period); }
  void SetTimeOffset(float time) override { timing_.SetTimeOffset(time); }
  bool TimingSet() const { return timing_.TimingSet(); }

  TAVISTREAM* ClipStream() const { return stream_; }
  TRegIniFile* Registry() const { return shared_.registry; }
  const TChildShared& Shared() const { return shared_; }
  QWidget* QuickMeasureWindow() const { return quickMeasure_; }
  // The Quick Measure window's side of the display window, when there is one.
  IMeasureHooks* MeasureHooks() const;
  QWidget* SignalGraphWindow() const { return signalGraph_; }

  // Companion windows are made by the layers above: given this window (and the last frame
  // number for Quick Measure), they return a window this one then owns. Unset: not offered.
  std::function<QWidget*(TChildForm*, int lastFrame)> CreateQuickMeasure;
  std::function<QWidget*(TChildForm*, TRegIniFile*)> CreateSignalGraph;
  // Given the signal graph window and the current time whenever another frame is shown.
  std::function<void(QWidget*, float)> OnFrameShown;
  // Given the companion windows on every timing change: decimals, period, offset.
  std::function<void(int, float, float)> OnTimingChanged;
  // Set by the main window once the clip is open; called at the start of destruction.
  TNotifyEvent OnDestroy;
  // Moves a window that has no stored position to where the platform would put it, given the
  // window's size; set by the main window. Unset: the window stays where it was made.
  TNotifyEvent PlaceByDefault;
  bool HasStoredPosition() const { return storedPosition_; }
  bool HasStoredSize() const { return storedSize_; }
  TNotifyEvent OnOpened;

  QString FileName;
  std::string Descriptor;
  int ShownFrame = -1;      // -1: stale, the next update redraws
  int RequestedFrame = -2;  // the frame the window is asked to show
  bool StopRequest = false;
  bool QuickMeasureAllowed = false;
  bool SignalGraphAllowed = false;
  std::uint32_t ViewOptions = 0;  // high half: playback speed tag; low half: nothing
  bool Frozen = false;
  bool DescriptorAsked = false;
  bool DescriptorChanged = false;
  bool CancelSaveRequested = false;
  bool Saving = false;
  bool NeedsRepaint = false;

 protected:
  // The placement entry's bounds and view options apply when the window is first shown; its
  // maximized field is read and not applied. Saved again on destruction.
  void RestoreChildPlacement();
  void SaveChildPlacement();
  // Takes the first of base, base_1, base_2, ... that no other clip window of the same owner
  // carries: clip windows open side by side keep a placement entry each.
  void TakeFreeName(const QString& base);

 private:
  void timingChanged(int decimals, float period, float offset);

  TChildShared shared_;
  TAVISTREAM* stream_;
  TTimingModel timing_{Descriptor};
  float currentTime_ = 0.0f;
  bool storedPosition_ = false;
  bool storedSize_ = false;
  QPointer<QWidget> quickMeasure_;
  QPointer<QWidget> signalGraph_;
};
