#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <array>
#include <memory>

#include "display/ChildForm.h"
#include "display/DisplayWidgets.h"
#include "display/ImageMapping.h"
#include "display/LocalPlayback.h"
#include "display/PointerInput.h"
#include "display/SaveFlow.h"
#include "display/ZoomForm.h"
#include "platform/avifile/AviFile.h"

class IMeasureHooks;
class QPainter;
class TCropOutline;
class TFrameRangeStream;
class TSaveJob;
class TSaveReplace;
class QProgressBar;
class QPushButton;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTimer;
class QToolButton;
class QWidget;

// The window that shows one clip: the frame nearest to the master time stretched onto its
// paint box pixel for pixel (nearest neighbour, no smoothing), a legend with frame number,
// reticle and time, its own video controls with a local playback that runs apart from the
// master timeline, and the question about unsaved descriptor changes on close. All calls on the
// interface thread.
class TDisplayForm : public TChildForm, public IZoomHost {
  Q_OBJECT
 public:
  // Opens the clip (descriptor text, stream, frame reader, frame 0, timing) and, when all of
  // that succeeds, calls onOpened with this window. Raises Exception with "File <name>[ requires
  // driver <codec>]" + CR + the failure's own message when the clip cannot be opened; the
  // stream is then closed and freed with the window.
  TDisplayForm(QWidget* owner, TNotifyEvent onOpened, const TChildShared& shared,
               const QString& fileName, const QString& caption, std::unique_ptr<TAVISTREAM> stream);
  ~TDisplayForm() override;

  int CurrentFrame() override { return ShownFrame; }
  void StopAtFrame(int frame) override;
  void ShowFrame(int frame) override;
  float EndTime() override;
  int FrameCount() override;
  void SetQuickMeasureEnabled(bool flag) override;
  void SetSignalGraphEnabled(bool flag) override;
  bool UpdateFrame() override;
  bool Poll(bool& hasTiming, bool& frozen) override;
  void OpenQuickMeasure() override;
  bool CloseQuery() override;
  bool IsDisplayWindow() const override { return true; }

  // "Save As" (DisplayFormSave.cpp): the dialog, then the save on a thread of the clip stream
  // with the progress panel, the work file renamed over an existing target, and the window
  // reopened on a new clip file. A narrower play loop saves only its frames as a clip file.
  void SaveClipAs() override;
  // Runs the save dialog with the given title; false when the user cancelled it.
  bool SaveDialog(const QString& title);
  // The save's progress (percent, -1 a cancel from the frame source): 0 goes on,
  // AVIERR_USERABORT stops.
  int SaveProgress(int percent);
  // The save's end with its result code.
  void SaveDone(HRESULT result);
  void SaveCancelBtnClick();
  // Called at the end of the dialog (cancelled) or of the save: success, whether the window
  // should open the target, the target (the work path when the rename failed).
  std::function<void(bool success, bool reopen, const QString& target)> AfterSave;
  // The target and work path of the save running or last run.
  const QString& SaveTarget() const { return saveTarget_; }
  const QString& SaveWork() const { return saveWork_; }

  // For the master timer: whether local playback runs, and the local stop command.
  bool LocalPlaying() const;
  void StopBtnClick();

  bool Opened() const { return opened_; }
  bool FirstShowPending() const { return firstShowPending_; }
  int TargetFrame() const { return playback_.Target(); }
  int LoadedFrame() const { return loadedFrame_; }
  int ImageMaxX() const { return imageMaxX_; }
  int ImageMaxY() const { return imageMaxY_; }
  const TLocalPlayback& Playback() const { return playback_; }
  // Bitmaps fetched from the stream since opening (each frame change fetches one).
  int FetchCount() const { return fetchCount_; }
  // The picture the paint box shows, as last fetched (top row first).
  const QImage& FrameImage() const { return image_; }

  // Component handlers, public so that tests drive them as the components do.
  void PlayBtnClick();
  void RepeatPlayBtnClick();
  void TZeroBtnClick();
  void EndBtnClick();
  void BegBtnClick();
  void FwdBtnClick();
  void BckBtnClick();
  void PlayTimerTimer();
  void FrameBarChange(int position);
  void SpeedItemClick(int tag);
  void SetLoopStartClick();
  void SetLoopEndClick();
  void FullLoopClick();
  // A selection dragged on the slider (first and last frame).
  void FrameBarSelect(int first, int last);
  void FormCloseQuery(bool& canClose);
  // Pointer and keyboard over the paint box, positions in logical paint-box pixels.
  void PaintBoxMouseMove(QPointF at, Qt::KeyboardModifiers modifiers);
  void PaintBoxClick(QPointF at, Qt::KeyboardModifiers modifiers);
  // True when the key moved the pointer or clicked (it then reaches nobody else).
  bool PreviewKey(int key, Qt::KeyboardModifiers modifiers);
  // The window's picture with its legend, the controls left out, onto the clipboard.
  void CopyImageItemClick();
  QImage ImageAndBorder();

  // Sizes the window around the image at the current magnification (DisplayFormLayout.cpp).
  void Layout();
  // Paint-box pixels <-> image points for what the paint box shows now.
  TImageMapping Mapping() const;
  float ImageToScreenX(float x) const { return Mapping().ImageToScreenX(x); }
  float ImageToScreenY(float y) const { return Mapping().ImageToScreenY(y); }
  TImagePoint Reticle() const { return pointer_.Reticle(); }
  const TPointerInput& Pointer() const { return pointer_; }

  // The layout raises or lowers the magnification in force to fit the window.
  TZoomState& ZoomState() override { return zoom_; }

  // Zoom and outline (DisplayFormZoom.cpp).
  void SetOutlineVisible(bool visible) override;
  bool OutlineVisible() const;
  QColor OutlineColor() const override;
  void SetOutlineColor(const QColor& color) override;
  void UnzoomtoFullFrameClick() override;
  void MoveResizeOutlineItemClick() override;
  void LayoutForZoom() override;
  // The outlined part of the frame in image pixels, rows counted from the top, inclusive.
  QRect ZoomRectInImage() const;
  // "Size and Zoom...": the zoom window, on top.
  void SizeAndZoomClick();
  TZoomForm* ZoomWindow() const { return zoomForm_; }
  TCropOutline* Cropper();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // DisplayFormUi.cpp
  void buildUi();
  void buildToolBar(QWidget* panel);
  void buildLegend(QWidget* panel);
  void buildPopupMenu();
  void buildPlaybackItems();
  QToolButton* addButton(QWidget* bar, const char* name, const QString& hint, int icon);
  QAction* addItem(QMenu* menu, const char* name, const QString& caption, int tag = 0);
  void layoutPanels();
  void installInputFilters();

  // DisplayFormLayout.cpp
  TPointerInput::TWindow pointerWindow();
  QSize availableClientArea() const;
  std::array<int, 3> legendWidths() const;
  void arrangePanels(int width);
  TPointerInput::TContext inputContext() const;
  // With a visible Quick Measure window: it hears the shown frame and draws its samples.
  void paintMeasureOverlay(QPainter& painter);
  void writeReticle();
  // The zoom outline's colour, which also marks the pointer on a copy.
  QColor markerColour() const { return OutlineColor(); }

  // DisplayFormZoom.cpp
  QString zoomEntryName() const;
  // Around every layout: the zoom window and the magnifications before, the outline after.
  void prepareZoom();
  void finishZoom();
  void saveZoomEntry();
  TImageMapping zoomedMapping() const;

  // DisplayForm.cpp
  void openClip();
  QString codecText();
  void parseDescriptor();
  bool fetchFrame(int frame);
  int lastFrame() const;
  void writeLegend();
  void moveFrameBar(int frame);
  void completeFirstShow();
  void stopLocal();
  void startLocal();
  void applyLoopSelection();

  // DisplayFormSave.cpp
  QWidget* buildSavePanel();
  bool savePanelShown() const;
  void startSave(int typeIndex, const QString& chosen);
  void startSaveThread(int typeIndex);
  bool storeSavedDescriptor();
  void finishSavedFile(HRESULT& result, bool& reopen, QString& target);
  void reopenAfterSave(bool success, bool reopen, const QString& target);
  void reopenClip(const QString& path);
  void abandonSave();
  void waitWhileSaving();

  std::unique_ptr<TAVISTREAM> ownedStream_;
  PGETFRAME frameReader_ = nullptr;
  bool opened_ = false;
  bool firstShowPending_ = false;
  int loadedFrame_ = -1;
  int imageMaxX_ = 0;
  int imageMaxY_ = 0;
  int fetchCount_ = 0;
  bool inCloseQuery_ = false;
  bool closeAnswered_ = false;
  bool movingFrameBar_ = false;
  TLocalPlayback playback_;
  QImage image_;
  TPointerInput pointer_{pointerWindow()};
  TZoomState zoom_;
  bool inLayout_ = false;
  TCropOutline* cropper_ = nullptr;
  TZoomForm* zoomForm_ = nullptr;
  bool pendingOutline_ = false;  // the entry's outline waits for the first laid-out paint box

  TPaintBox* paintBox_ = nullptr;
  QWidget* legendPanel_ = nullptr;
  QWidget* framePanel_ = nullptr;
  QWidget* reticlePanel_ = nullptr;
  QWidget* timePanel_ = nullptr;
  QWidget* controlsPanel_ = nullptr;
  QLabel* frameLabel_ = nullptr;
  QLabel* reticleX_ = nullptr;
  QLabel* reticleY_ = nullptr;
  QLabel* timeLabel_ = nullptr;
  QLabel* timeUnits_ = nullptr;
  QWidget* toolBar_ = nullptr;
  TFrameBar* frameBar_ = nullptr;
  QToolButton* repeatPlayBtn_ = nullptr;
  QToolButton* playBtn_ = nullptr;
  QToolButton* graphBtn_ = nullptr;
  QTimer* playTimer_ = nullptr;
  QMenu* popupMenu_ = nullptr;
  QActionGroup* speedGroup_ = nullptr;
  QAction* graphItem_ = nullptr;
  QAction* measureItem_ = nullptr;
  QAction* frameCounterItem_ = nullptr;
  QAction* timeCounterItem_ = nullptr;
  QAction* reticleItem_ = nullptr;
  QAction* controlsItem_ = nullptr;
  QAction* playbackSeparator_ = nullptr;
  QList<QAction*> playbackItems_;  // visible only with the video controls
  QPoint popupPoint_;

  // The save in progress (DisplayFormSave.cpp).
  QWidget* saveTimePanel_ = nullptr;
  QLabel* saveTimeLabel_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QPushButton* saveCancelBtn_ = nullptr;
  bool directorySave_ = false;
  bool saveFinished_ = true;  // the save's end (or its abandonment) has been handled
  int saveFirst_ = 0;         // the first frame saved, for the descriptor's shift
  QString saveTarget_;
  QString saveWork_;
  QString savedCaption_;
  QString sourceFile_;  // the clip the window showed when the save began
  save_flow::TSaveEstimate estimate_;
  std::unique_ptr<TSaveReplace> replace_;
  // The thread last started and the frames it reads; the job goes first, the frames after.
  std::unique_ptr<TFrameRangeStream> saveRange_;
  std::unique_ptr<TSaveJob> saveJob_;
};
