// The main window's side of the master timeline and of the open queue.
#include <QApplication>
#include <memory>
#include <utility>

#include "app/TimePanel.h"
#include "app/VarnelViewer.h"
#include "clip/AviStream.h"
#include "display/DisplayForm.h"
#include "measure/QMForm.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

namespace {

// A command waits for the next tick; while playing slowly that may be many seconds away.
constexpr int kHurryMs = 25;

TChildForm* makeDisplayForm(const TVarnelViewer::TDisplayRequest& r) {
  return new TDisplayForm(r.owner, r.onOpened, r.shared, r.fileName, r.caption,
                          std::make_unique<TAVISTREAM>(r.section));
}

}  // namespace

void TVarnelViewer::MasterTimer() {
  if (timeline_.InTick()) return;
  runTick();
  showDeferredNotices();
  graphLink_->Flush();
}

void TVarnelViewer::runTick() {
  timer_.stop();
  struct Resume {
    TVarnelViewer* w;
    ~Resume() {
      w->timePanel_->Sync();
      if (w->isVisible()) w->timer_.start(w->timeline_.Period());
    }
  } resume{this};
  timeline_.Tick(platform_clock::tickCount());
}

void TVarnelViewer::showDeferredNotices() {
  // Taken first: a tick that runs while a box is up may queue more.
  for (const dialogs::Message& m : std::exchange(deferredNotices_, {}))
    dialogs::backend().message(this, m);
}

void TVarnelViewer::hurryTick() {
  if (!timeline_.InTick() && timer_.isActive() && timer_.remainingTime() > kHurryMs)
    timer_.start(kHurryMs);
}

void TVarnelViewer::DropChild(TChildForm* child) {
  RemoveChild(child);
}

bool TVarnelViewer::OpenQueued() {
  if (openQueue_.isEmpty()) return false;
  EmptyOpenQueue(openQueue_, *this);
  return true;
}

bool TVarnelViewer::LocalPlaybackRuns(TChildForm* child) {
  auto* display = qobject_cast<TDisplayForm*>(child);
  return display && display->LocalPlaying();
}

void TVarnelViewer::StopLocalPlayback(TChildForm* child) {
  if (auto* display = qobject_cast<TDisplayForm*>(child)) display->StopBtnClick();
}

bool TVarnelViewer::MainWindowActive() const {
  return QApplication::activeWindow() == this;
}

void TVarnelViewer::FlashActiveChild() {
  // The platform's attention request stands in for inverting the caption highlight.
  if (activeChild_) QApplication::alert(activeChild_, 1);
}

void TVarnelViewer::ActivateLastChild() {
  activeChild_ = children_.last();
  if (activeChild_->isVisible() && !activeChild_->Saving) activeChild_->setFocus();
}

void TVarnelViewer::RangeApplied(bool anyDisplay) {
  timePanel_->setVisible(anyDisplay);
  ApplyControlRules();
}

void TVarnelViewer::Taken(const QString& name) {
  currentFile_ = name;
  openDirectory_ = DirectoryPart(name);
}

bool TVarnelViewer::Shown(const QString& name) const {
  for (TChildForm* child : children_)
    if (child->FileName == name) return true;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (!qobject_cast<TChildForm*>(w) && w->windowTitle() == name) return true;
  return false;
}

void TVarnelViewer::OpenClip(const QString& name, const QString& section) {
  TDisplayRequest r;
  r.owner = this;
  r.onOpened = [this](TChildForm* child) { childOpened(child); };
  r.shared = TChildShared{&databases_, registry_.get(), titlesForm_};
  r.fileName = name;
  r.caption = FileNamePart(name);
  r.section = section;
  TChildForm* child = displayFactory_ ? displayFactory_(r) : makeDisplayForm(r);
  child->CreateQuickMeasure = [](TChildForm* c, int lastFrame) -> QWidget* {
    return new TQMForm(c, lastFrame);
  };
  child->SetQuickMeasureEnabled(true);
  child->SetSignalGraphEnabled(true);
  graphLink_->Equip(child);
}

void TVarnelViewer::childOpened(TChildForm* child) {
  // A window reopened on the clip it has just saved says so again; it stays one entry, or
  // the second would outlive the window.
  if (children_.contains(child)) {
    timeline_.MarkChildrenChanged();
    return;
  }
  // The child's destruction takes it off the list (AddChild), so no destroy hook is needed.
  AddChild(child);
  // The window shows itself once laid out; one that has no stored place goes where the
  // platform would put it.
  child->PlaceByDefault = [this](TChildForm* c) { PlaceNewChild(c); };
}

void TVarnelViewer::OpenSignals(const QStringList& names) {
  if (signalOpener_)
    signalOpener_(names);
  else
    graphLink_->Queue(names);
}

// Messages of a tick wait for its end: a modal box inside the tick would hold back the first
// show of the clips opened before it.
void TVarnelViewer::Inform(const QString& text) {
  deferredNotices_.push_back(notice(text));
}

dialogs::Message TVarnelViewer::notice(const QString& text) const {
  dialogs::Message m;
  m.text = text;
  m.caption = windowTitle();
  m.icon = dialogs::Icon::Information;
  return m;
}
