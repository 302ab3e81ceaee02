#include "display/DisplayForm.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "clip/AviStream.h"
#include "clip/FrameRangeStream.h"
#include "clip/SaveJob.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorStore.h"
#include "descriptors/DescriptorText.h"
#include "descriptors/SaveReplace.h"
#include "descriptors/TitlesForm.h"
#include "display/DibImage.h"
#include "display/DisplayTexts.h"
#include "display/MeasureHooks.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "textio/StringListList.h"

TDisplayForm::TDisplayForm(QWidget* owner, TNotifyEvent onOpened, const TChildShared& shared,
                           const QString& fileName, const QString& caption,
                           std::unique_ptr<TAVISTREAM> stream)
    : TChildForm(owner, std::move(onOpened), shared, fileName, caption, stream.get()),
      ownedStream_(std::move(stream)) {
  TakeFreeName(QStringLiteral("DisplayForm"));
  buildUi();
  RestoreChildPlacement();
  ViewOptions &= 0xFFFF0000u;
  openClip();
  if (ownedStream_) ownedStream_->LoadOptions(Registry());
  ShownFrame = -1;
  RequestedFrame = -2;
  StopRequest = false;
  ShowTime(0.0f);
  UpdateFrame();
  writeLegend();
}

TDisplayForm::~TDisplayForm() {
  if (OnDestroy) std::exchange(OnDestroy, nullptr)(this);
  playTimer_->stop();
  abandonSave();
  if (ownedStream_ && DescriptorChanged) {
    // The stream drops the frame reader and closes the file before the chunk is written.
    if (!StoreDescriptor(*ownedStream_, frameReader_, FileName, Descriptor))
      dialogs::showError(this, QStringLiteral("Descriptor Write Failed"));
  }
  if (ownedStream_) {
    ownedStream_->GetFrameClose(frameReader_);
    frameReader_ = nullptr;
    ownedStream_->Close();
  }
}

// The descriptor comes first: the parser that sets the timing needs the stream's frame count.
void TDisplayForm::openClip() {
  opened_ = false;
  try {
    const TClipDescriptor read = ReadClipDescriptor(FileName);
    Descriptor = read.text;
    DescriptorChanged = read.changed;
    firstShowPending_ = true;
    if (!ownedStream_) throw Exception("Stream Open Failed");
    ownedStream_->Open(FileName);
    if (!ownedStream_->GetFrameOpen(frameReader_) || !fetchFrame(0))
      throw Exception("Frame Decode Failed");
    AVISTREAMINFOA info{};
    if (ownedStream_->GetInfo(info)) ownedStream_->FrameCount = ownedStream_->GetFrameCount();
    // Frame 0 was just decoded, whatever the header claims.
    ownedStream_->FrameCount = std::max(ownedStream_->FrameCount, 1);
    imageMaxX_ = image_.width() - 1;
    imageMaxY_ = image_.height() - 1;
    const int last = ownedStream_->FrameCount - 1;
    playback_.Reset(ownedStream_->FrameCount);
    frameBar_->setRange(0, last);
    frameBar_->setTickInterval(std::max(1, ownedStream_->FrameCount / 10));
    moveFrameBar(0);
    parseDescriptor();
    opened_ = true;
  } catch (const std::exception& e) {
    const QString codec = codecText();
    if (ownedStream_) {
      ownedStream_->GetFrameClose(frameReader_);
      frameReader_ = nullptr;
      ownedStream_->Close();
    }
    throw Exception(QStringLiteral("File ") + FileName + codec + QChar(u'\r') +
                    QString::fromStdString(e.what()));
  }
  if (OnOpened) OnOpened(this);
}

QString TDisplayForm::codecText() {
  AVISTREAMINFOA info{};
  if (!ownedStream_ || !ownedStream_->GetInfo(info)) return {};
  return DriverText(info.fccHandler);
}

void TDisplayForm::parseDescriptor() {
  const TChildShared& s = Shared();
  if (s.titlesEditor && s.databases) {
    s.titlesEditor->SetEditedWindow(this);
    s.titlesEditor->ParseDescriptor(s.databases->lists, Descriptor);
    return;
  }
  // Without the editor (a window on its own) the timing comes straight from the entries.
  double rate = 0, mark = 0, time = 0;
  GetDescriptorFloat(Descriptor, "Timing", "Frame Rate", rate);
  GetDescriptorFloat(Descriptor, "Timing", "Mark Frame", mark);
  GetDescriptorFloat(Descriptor, "Timing", "Time at Mark Frame", time);
  const TTimingValues t = DeriveTiming(rate, mark, time);
  if (t.period == FramePeriod() && t.offset == TimeOffset()) return;
  SetFramePeriod(t.period);
  SetTimeOffset(t.offset);
}

bool TDisplayForm::fetchFrame(int frame) {
  int size = 0;
  const BITMAPINFOHEADER* dib = nullptr;
  if (!frameReader_ || !ownedStream_->GetFrame(frameReader_, frame, size, dib)) return false;
  QImage image = ImageFromDib(dib);
  if (image.isNull()) return false;
  image_ = std::move(image);
  loadedFrame_ = frame;
  ++fetchCount_;
  return true;
}

int TDisplayForm::lastFrame() const {
  return ownedStream_ ? std::max(ownedStream_->FrameCount - 1, 0) : 0;
}

void TDisplayForm::ShowFrame(int frame) {
  if (opened_) {
    frame = std::clamp(frame, 0, lastFrame());
    playback_.SetTarget(frame);
    if (frame != loadedFrame_ && fetchFrame(frame)) paintBox_->update();
  }
  TChildForm::ShowFrame(frame);
}

void TDisplayForm::StopAtFrame(int frame) {
  stopLocal();
  TChildForm::StopAtFrame(frame);
}

float TDisplayForm::EndTime() {
  if (!opened_) return TimeOffset();
  return float(double(EffectiveFramePeriod()) * lastFrame() + TimeOffset());
}

int TDisplayForm::FrameCount() {
  return ownedStream_ ? ownedStream_->FrameCount : 0;
}

bool TDisplayForm::UpdateFrame() {
  if (opened_) RequestedFrame = std::clamp(playback_.Target(), 0, lastFrame());
  if (!TChildForm::UpdateFrame()) {
    if (opened_ && repeatPlayBtn_->isChecked() && playback_.Target() >= lastFrame())
      playback_.SetTarget(0);
    return false;
  }
  writeLegend();
  if (IMeasureHooks* measure = MeasureHooks()) measure->FrameShown(ShownFrame);
  return true;
}

void TDisplayForm::writeLegend() {
  const TTimeLegend legend = TimeLegend(CurrentTime(), TimeDecimals());
  timeLabel_->setText(legend.text);
  timeUnits_->setText(legend.units);
  timePanel_->setToolTip(legend.hint);
  frameLabel_->setText(QString::number(ShownFrame));
  moveFrameBar(ShownFrame);
}

void TDisplayForm::moveFrameBar(int frame) {
  movingFrameBar_ = true;
  frameBar_->setValue(frame);
  movingFrameBar_ = false;
}

bool TDisplayForm::Poll(bool& hasTiming, bool& frozen) {
  const bool changed = TChildForm::Poll(hasTiming, frozen);
  if (firstShowPending_ && opened_) completeFirstShow();
  return changed;
}

void TDisplayForm::completeFirstShow() {
  firstShowPending_ = false;
  layoutPanels();
  const int speed = int(ViewOptions >> 16);
  if (TLocalPlayback::IsSpeedTag(speed)) SpeedItemClick(speed);
  if (!HasStoredSize()) adjustSize();
  if (!HasStoredPosition() && PlaceByDefault) PlaceByDefault(this);
  show();
  layoutPanels();
}

void TDisplayForm::SetQuickMeasureEnabled(bool flag) {
  QuickMeasureAllowed = flag;
  measureItem_->setEnabled(flag);
}

void TDisplayForm::SetSignalGraphEnabled(bool flag) {
  SignalGraphAllowed = flag;
  graphItem_->setEnabled(flag);
  graphBtn_->setEnabled(flag);
}

void TDisplayForm::OpenQuickMeasure() {
  TChildForm::OpenQuickMeasure();
  if (QuickMeasureAllowed && !reticleItem_->isChecked()) reticleItem_->trigger();
}

// --- local playback ---------------------------------------------------------------------

bool TDisplayForm::LocalPlaying() const {
  return playBtn_->isChecked() || repeatPlayBtn_->isChecked();
}

void TDisplayForm::stopLocal() {
  playTimer_->stop();
  playBtn_->setChecked(false);
  repeatPlayBtn_->setChecked(false);
  StopRequest = true;
}

void TDisplayForm::StopBtnClick() {
  stopLocal();
}

void TDisplayForm::startLocal() {
  if (!opened_) return;
  playback_.Start();
  playTimer_->start(playback_.Interval());
}

void TDisplayForm::PlayBtnClick() {
  if (playBtn_->isChecked()) startLocal();
}

void TDisplayForm::RepeatPlayBtnClick() {
  if (repeatPlayBtn_->isChecked()) startLocal();
}

void TDisplayForm::PlayTimerTimer() {
  playTimer_->stop();
  ShowFrame(playback_.Target());
  if (!playback_.Advance(repeatPlayBtn_->isChecked())) playBtn_->setChecked(false);
  if (LocalPlaying()) playTimer_->start(playback_.Interval());
}

void TDisplayForm::TZeroBtnClick() {
  stopLocal();
  ShowTime(0.0f);
}

void TDisplayForm::EndBtnClick() {
  stopLocal();
  ShowFrame(lastFrame());
}

void TDisplayForm::BegBtnClick() {
  stopLocal();
  ShowFrame(0);
}

void TDisplayForm::FwdBtnClick() {
  stopLocal();
  ShowFrame(playback_.Target() + 1);
}

void TDisplayForm::BckBtnClick() {
  stopLocal();
  ShowFrame(playback_.Target() - 1);
}

void TDisplayForm::FrameBarChange(int position) {
  if (!movingFrameBar_) ShowFrame(position);
}

void TDisplayForm::SpeedItemClick(int tag) {
  const int interval = TLocalPlayback::IntervalOfTag(tag);
  if (interval <= 0) return;
  ViewOptions = (std::uint32_t(tag) << 16) | (ViewOptions & 0xFFFFu);
  for (QAction* item : speedGroup_->actions())
    if (item->data().toInt() == tag) item->setChecked(true);
  playback_.SetInterval(interval);
}

void TDisplayForm::applyLoopSelection() {
  playback_.SetLoop(frameBar_->SelStart(), frameBar_->SelEnd());
}

void TDisplayForm::SetLoopStartClick() {
  frameBar_->SetSelStart(frameBar_->value());
  applyLoopSelection();
}

void TDisplayForm::SetLoopEndClick() {
  frameBar_->SetSelEnd(frameBar_->value());
  applyLoopSelection();
}

void TDisplayForm::FrameBarSelect(int first, int last) {
  frameBar_->SetSelStart(first);
  frameBar_->SetSelEnd(last);
  applyLoopSelection();
}

void TDisplayForm::FullLoopClick() {
  frameBar_->ClearSelection();
  playback_.FullLoop(frameBar_->maximum());
}

// --- closing ----------------------------------------------------------------------------

bool TDisplayForm::CloseQuery() {
  bool canClose = true;
  FormCloseQuery(canClose);
  return canClose;
}

void TDisplayForm::FormCloseQuery(bool& canClose) {
  if (inCloseQuery_) {
    canClose = false;
    return;
  }
  inCloseQuery_ = true;
  ViewOptions &= 0xFFFF0000u;
  canClose = true;
  if (Saving) {
    if (!CancelSaveRequested &&
        dialogs::show(this, QStringLiteral("Cancel Save in Progress?"), windowTitle(),
                      dialogs::Buttons::YesNo, dialogs::Icon::Question) == dialogs::Answer::Yes)
      CancelSaveRequested = true;
    waitWhileSaving();
    canClose = false;  // the user closes again once the save has ended
  } else if (DescriptorChanged && !closeAnswered_ && !FileName.isEmpty()) {
    const dialogs::Answer a = dialogs::show(
        this, QStringLiteral("Save Description Changes to File ") + FileName + QChar(u'?'),
        windowTitle(), dialogs::Buttons::YesNoCancel, dialogs::Icon::Question);
    if (a == dialogs::Answer::Cancel) {
      canClose = false;
    } else {
      closeAnswered_ = true;
      if (a == dialogs::Answer::No) DescriptorChanged = false;
    }
  }
  if (IMeasureHooks* measure = MeasureHooks(); canClose && measure)
    canClose = measure->CloseQuery();
  inCloseQuery_ = false;
}

void TDisplayForm::closeEvent(QCloseEvent* e) {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) {
    e->ignore();
    return;
  }
  playTimer_->stop();
  saveZoomEntry();
  Frozen = true;
  e->accept();
  deleteLater();
}
