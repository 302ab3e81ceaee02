// The display window's "Save As": the dialog with its remembered type and name, the question
// before overwriting, the save on a thread with the progress panel and cancel, the work file
// renamed over an existing target, the descriptor stored in the new clip file and the window
// reopened on it.

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "clip/AviStream.h"
#include "clip/FrameRangeStream.h"
#include "clip/SaveJob.h"
#include "descriptors/DescriptorStore.h"
#include "descriptors/SaveReplace.h"
#include "display/DisplayForm.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/RegIniFile.h"

namespace {

constexpr int kSavePanelHeight = 64;
const QString kSaveSection = QStringLiteral("Save");

}  // namespace

QWidget* TDisplayForm::buildSavePanel() {
  saveTimePanel_ = new QWidget(this);
  saveTimePanel_->setObjectName(QStringLiteral("SaveTimePanel"));
  saveTimePanel_->setFixedHeight(kSavePanelHeight);
  auto* column = new QVBoxLayout(saveTimePanel_);
  column->setContentsMargins(4, 2, 4, 2);
  column->setSpacing(2);
  saveTimeLabel_ = new QLabel(saveTimePanel_);
  saveTimeLabel_->setObjectName(QStringLiteral("SaveTimeLabel"));
  saveTimeLabel_->setAlignment(Qt::AlignCenter);
  QFont bold = saveTimeLabel_->font();
  bold.setBold(true);
  saveTimeLabel_->setFont(bold);
  column->addWidget(saveTimeLabel_);
  progressBar_ = new QProgressBar(saveTimePanel_);
  progressBar_->setObjectName(QStringLiteral("ProgressBar"));
  progressBar_->setRange(0, 100);
  column->addWidget(progressBar_);
  auto* row = new QHBoxLayout;
  saveCancelBtn_ = new QPushButton(QStringLiteral("Cancel Save"), saveTimePanel_);
  saveCancelBtn_->setObjectName(QStringLiteral("SaveCancelBtn"));
  saveCancelBtn_->setToolTip(QStringLiteral("Stop Saving Immediately"));
  connect(saveCancelBtn_, &QPushButton::clicked, this, &TDisplayForm::SaveCancelBtnClick);
  row->addStretch();  // the button stays centred whatever the window's width
  row->addWidget(saveCancelBtn_);
  row->addStretch();
  column->addLayout(row);
  saveTimePanel_->hide();
  return saveTimePanel_;
}

bool TDisplayForm::savePanelShown() const {
  return saveTimePanel_ && saveTimePanel_->isVisibleTo(this);
}

void TDisplayForm::SaveClipAs() {
  // A save whose thread is still winding down after a cancel must end before the next.
  if (!ownedStream_ || !opened_ || Saving || !saveFinished_) return;
  AfterSave = [this](bool success, bool reopen, const QString& target) {
    reopenAfterSave(success, reopen, target);
  };
  const int frames = ownedStream_->FrameCount;
  const int first = std::clamp(playback_.LoopStart(), 0, frames - 1);
  const int last = std::clamp(playback_.LoopEnd(), first, frames - 1);
  SaveDialog(save_flow::DialogTitle(QFileInfo(FileName).fileName(), first, last, frames));
  DescriptorAsked = false;
}

bool TDisplayForm::SaveDialog(const QString& title) {
  hide();
  TAVISTREAM& s = *ownedStream_;
  TRegIniFile* reg = Registry();
  QStringList filters, extensions;
  for (int type = 1; type <= s.TypeCount(); ++type) {
    filters << s.TypeFilter(type);
    extensions << s.TypeExtension(type);
  }
  const int stored = reg ? reg->ReadInteger(kSaveSection, QStringLiteral("FilterIndex"), 2) : 2;
  const QString remembered =
      reg ? reg->ReadString(kSaveSection, QStringLiteral("FileName"), {}) : QString();
  dialogs::FileRequest request{title,
                               save_flow::RemoveExtension(remembered),
                               save_flow::DialogFilter(filters),
                               save_flow::DialogFilterIndex(stored, s.TypeCount()),
                               {}};
  for (;;) {
    const dialogs::FileAnswer answer = dialogs::backend().saveFile(this, request);
    if (answer.names.isEmpty() || answer.names.first().isEmpty()) {
      if (AfterSave) AfterSave(false, false, {});
      return false;
    }
    const QString chosen = answer.names.first();
    const int type = save_flow::ChosenType(answer.filterIndex, extensions, chosen);
    const save_flow::TOverwrite check =
        save_flow::OverwriteCheck(chosen, s.TypeDescription(type), s.TypeExtension(type));
    if (check.exists && dialogs::show(this, check.question, check.caption, dialogs::Buttons::YesNo,
                                      dialogs::Icon::Question) != dialogs::Answer::Yes) {
      request.directory = chosen;  // the dialog stays open on what the user chose
      request.filterIndex = type - 1;
      continue;
    }
    savedCaption_ = windowTitle();
    setWindowTitle(s.TypeDescription(type) + u' ' + QFileInfo(chosen).fileName().toUpper());
    startSave(type, chosen);
    return true;
  }
}

void TDisplayForm::startSave(int typeIndex, const QString& chosen) {
  TAVISTREAM& s = *ownedStream_;
  directorySave_ = s.TypeExtension(typeIndex).isEmpty();
  saveTarget_ = save_flow::TargetPath(chosen, s.TypeExtension(typeIndex));
  if (TRegIniFile* reg = Registry()) {
    reg->WriteInteger(kSaveSection, QStringLiteral("FilterIndex"), typeIndex);
    reg->WriteString(kSaveSection, QStringLiteral("FileName"), saveTarget_);
  }
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  saveTimeLabel_->clear();
  saveTimePanel_->show();
  layoutPanels();
  show();
  CancelSaveRequested = false;
  // A directory is written into as it is; a file target through a work file when it exists.
  replace_.reset(directorySave_ ? nullptr : new TSaveReplace(saveTarget_));
  saveWork_ = replace_ ? replace_->Work() : saveTarget_;
  if (replace_) replace_->Prepare();
  sourceFile_ = FileName;
  setCursor(Qt::BusyCursor);
  Saving = true;
  saveFinished_ = false;
  estimate_.Start(platform_clock::tickCount());
  s.OnProgress = [this](int percent) { return SaveProgress(percent); };
  s.OnDone = [this](TAVISTREAM*, HRESULT result) { SaveDone(result); };
  startSaveThread(typeIndex);
}

// The window holds the thread it started, so that closing the window stops it and deals
// with its file. A play loop narrower than the clip saves the loop's frames.
void TDisplayForm::startSaveThread(int typeIndex) {
  TAVISTREAM& s = *ownedStream_;
  const int frames = s.FrameCount;
  saveFirst_ = 0;
  if (!TAVISTREAM::IsVideoType(typeIndex)) {
    s.Busy = true;
    saveJob_ = StartScatterThread(s, s.CurrentStream(), typeIndex, saveWork_);
    return;
  }
  if (!s.OptionsOK && !s.CompressionOptionsDialog(this)) {
    SaveDone(AVIERR_USERABORT);
    return;
  }
  const int first = std::clamp(playback_.LoopStart(), 0, frames - 1);
  const int last = std::clamp(playback_.LoopEnd(), first, frames - 1);
  PAVISTREAM source = s.CurrentStream();
  if (first > 0 || last < frames - 1) {
    saveFirst_ = first;
    saveRange_ = std::make_unique<TFrameRangeStream>(source, first, last - first + 1);
    source = saveRange_.get();
  }
  s.Busy = true;
  saveJob_ = StartSaveThread(s, source, &s.CompressOptions(), saveWork_);
}

int TDisplayForm::SaveProgress(int percent) {
  if (percent < 0) CancelSaveRequested = true;
  if (CancelSaveRequested) {
    Saving = false;
    return AVIERR_USERABORT;
  }
  progressBar_->setValue(std::clamp(percent, 0, 100));
  if (const auto text = estimate_.Report(percent, platform_clock::tickCount()))
    saveTimeLabel_->setText(*text);
  return 0;
}

void TDisplayForm::SaveCancelBtnClick() {
  CancelSaveRequested = true;
}

void TDisplayForm::SaveDone(HRESULT result) {
  // The thread has ended: its frames may go before the stream closes for the descriptor.
  saveJob_.reset();
  saveRange_.reset();
  saveFinished_ = true;
  Saving = false;
  TAVISTREAM& s = *ownedStream_;
  const bool cancelled = CancelSaveRequested || result == AVIERR_USERABORT;
  if (const auto m = save_flow::FailureMessage(result, cancelled, directorySave_, saveWork_)) {
    dialogs::show(this, m->text, m->caption, dialogs::Buttons::OK, dialogs::Icon::Error);
    if (!directorySave_) s.OptionsOK = false;
  }
  bool reopen = false;
  QString target = saveTarget_;
  if (result != AVIERR_OK && replace_) replace_->Discard();
  if (result == AVIERR_OK && replace_) finishSavedFile(result, reopen, target);
  setWindowTitle(savedCaption_);
  saveTimePanel_->hide();
  unsetCursor();
  layoutPanels();
  s.Scattered = false;
  directorySave_ = false;
  if (AfterSave) AfterSave(result == AVIERR_OK, reopen, target);
}

// A whole clip file at the work path: its descriptor in, then over the target in one step.
void TDisplayForm::finishSavedFile(HRESULT& result, bool& reopen, QString& target) {
  TAVISTREAM& s = *ownedStream_;
  if (!s.Scattered) {
    s.SaveOptions(Registry());
    DescriptorAsked = false;
    if (!storeSavedDescriptor()) {
      result = AVIERR_FILEWRITE;
      replace_->Discard();
      return;
    }
    reopen = true;
  }
  if (!replace_->Commit()) {
    const save_flow::TMessage m = save_flow::RenameMessage(saveWork_, saveTarget_);
    dialogs::show(this, m.text, m.caption, dialogs::Buttons::OK, dialogs::Icon::Error);
    target = saveWork_;
  }
}

// The text goes into the new file before it takes the target's name, so the target is never
// a clip without its timing. The descriptor of a part keeps every frame's test time.
bool TDisplayForm::storeSavedDescriptor() {
  const std::string text = ShiftedDescriptor(Descriptor, saveFirst_);
  const QString before = FileName;
  const bool changedBefore = DescriptorChanged;
  FileName = saveWork_;
  TWriteFailure why = TWriteFailure::None;
  if (text.empty() || StoreDescriptor(*ownedStream_, frameReader_, saveWork_, text, &why)) {
    DescriptorChanged = false;
    return true;
  }
  FileName = before;
  DescriptorChanged = changedBefore;
  dialogs::show(this,
                QStringLiteral("Descriptor Write Failed (") + WriteFailureText(why) +
                    QStringLiteral(")\rThe clip was not saved as ") + saveTarget_,
                QStringLiteral("Save Failed"), dialogs::Buttons::OK, dialogs::Icon::Error);
  return false;
}

void TDisplayForm::reopenAfterSave(bool success, bool reopen, const QString& target) {
  layoutPanels();
  show();
  if (success && reopen)
    reopenClip(target);
  else if (ownedStream_ && !ownedStream_->Opened())
    reopenClip(sourceFile_);  // the descriptor's write closed it
}

// Opening the clip again as the window first did, keeping the window where it is and the
// master time it showed.
void TDisplayForm::reopenClip(const QString& path) {
  const float time = CurrentTime();
  ownedStream_->GetFrameClose(frameReader_);
  frameReader_ = nullptr;
  ownedStream_->Close();
  FileName = path;
  setWindowTitle(QFileInfo(path).fileName());
  loadedFrame_ = -1;
  ShownFrame = -1;
  frameBar_->ClearSelection();
  try {
    openClip();
  } catch (const std::exception& e) {
    dialogs::showError(this, QString::fromUtf8(e.what()));
    return;
  }
  firstShowPending_ = false;
  ShowTime(time);
  UpdateFrame();
  writeLegend();
  layoutPanels();
}

// The window goes while its save runs (the program quits): the thread is stopped and waited
// for, and what it wrote never stays under the target's name.
void TDisplayForm::abandonSave() {
  if (saveFinished_) return;
  saveJob_.reset();
  saveRange_.reset();
  saveFinished_ = true;
  Saving = false;
  if (ownedStream_) ownedStream_->Busy = false;
  if (replace_) replace_->Discard();
}

// The save's reports are posted events. A close that itself arrives as one (a queued call)
// would never see them in a plain nested loop, so they are delivered here by hand.
void TDisplayForm::waitWhileSaving() {
  QEventLoop loop;
  QTimer tick;
  connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
  tick.start(10);
  while (Saving) {
    QCoreApplication::sendPostedEvents();
    if (Saving) loop.exec();
  }
}
