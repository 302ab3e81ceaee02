#include "app/VarnelViewer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "app/AboutForm.h"
#include "app/CodecConfig.h"
#include "app/ControlRules.h"
#include "app/HintFilter.h"
#include "app/TimePanel.h"
#include "descriptors/DefaultTitlesForm.h"
#include "descriptors/TitlesForm.h"
#include "display/ChildForm.h"
#include "platform/Dialogs.h"
#include "platform/Placement.h"
#include "platform/RegIniFile.h"
#include "platform/Screens.h"
#include "platform/SingleInstance.h"
#include "platform/Versioner.h"
#include "platform/WaitCursor.h"
#include "platform/avifile/SharedFrameBudget.h"

namespace {

const QString kCaption = QStringLiteral("Lumetra");
const QString kOwnerText =
    QStringLiteral("Licensed for motion analysis of test events.\nOrvanta test engineering tools");
constexpr int kMasterPeriodMs = 100;
// The decoded pictures of all open clips share this many megabytes; below the least a few
// large clips would evict each other's pictures on every step.
constexpr int kFrameCacheDefaultMb = 1024;
constexpr int kFrameCacheLeastMb = 64;
constexpr int kFrameCacheMostMb = 16 * 1024;

template <typename T>
T* component(const QObject* form, const char* name) {
  return form->findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

TVarnelViewer::TVarnelViewer(TSingleInstance* instance, const QStringList& commandLineFiles,
                             QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("VarnelViewer"));
  programDirectory_ = QCoreApplication::applicationDirPath() + u'/';
  setWindowTitle(kCaption);
  // The designed limits count the title bar and borders, which the window manager adds here;
  // the height follows the panels shown.
  setMinimumWidth(230);
  setMaximumSize(630, 150);

  about_ = new TAboutForm(this);
  const TVersioner version;
  about_->SetTexts(QStringLiteral("Version ") + version.Value(QStringLiteral("SpecialBuild")) +
                       u' ' + version.Value(QStringLiteral("FileVersion")),
                   version.Value(QStringLiteral("LegalCopyright")), kOwnerText);
  defaultTitlesForm_ = new TDefaultTitlesForm(this);
  titlesForm_ = new TTitlesForm(this);
  registry_ = std::make_unique<TRegIniFile>(kApplicationKey);
  graphLink_ = std::make_unique<TGraphLink>(this, registry_.get());

  createMenus();
  createToolBar();
  createTimePanel();
  auto* client = new QWidget;
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(toolBarPanel_);
  column->addWidget(timePanel_);
  column->addStretch();
  setCentralWidget(client);
  timePanel_->hide();

  // Features this system does not provide.
  for (const char* name : {"AttachBtn", "CleanupBtn", "RecordBtn", "PresentationBtn"})
    component<QToolButton>(this, name)->hide();
  for (const char* name : {"OpenImager1", "DeleteSourceFiles", "AssignDatabaseFiles"})
    component<QAction>(this, name)->setVisible(false);

  about_->ShowSplash(QStringLiteral("Motion Analysis ") + kCaption);
  layoutToolBar();

  hints_ = new THintFilter(this);
  qApp->installEventFilter(hints_);
  readPreferences();
  ReadDatabaseFiles(*registry_, databases_);
  RestorePlacement(this, registry_.get(), true);
  if (!HasPlacement(objectName(), registry_.get())) move(DefaultWindowPosition());
  titlesForm_->InitTitleTemplates(registry_.get(), databases_.lists);
  defaultTitlesForm_->LoadDefaultTitles(registry_.get(), databases_.lists);

  // Window activation, not keyboard focus: a clip window may hold nothing that takes focus.
  connect(qApp, &QGuiApplication::focusWindowChanged, this,
          [this](QWindow* window) { ActiveFormChanged(formOf(window)); });
  ApplyControlRules();
  timer_.setInterval(kMasterPeriodMs);
  connect(&timer_, &QTimer::timeout, this, &TVarnelViewer::MasterTimer);
  timer_.start();

  for (const QString& f : commandLineFiles) {
    if (f.isEmpty()) break;
    openQueue_ << f;
  }
  if (instance)
    connect(instance, &TSingleInstance::handOverReceived, this, &TVarnelViewer::TakeHandOver);
  for (QWidget* w :
       {static_cast<QWidget*>(this), toolBarPanel_, static_cast<QWidget*>(timePanel_)}) {
    w->setMouseTracking(true);
    w->installEventFilter(this);
  }
  setAcceptDrops(true);
  show();
  codecconfig::Install(this, about_, programDirectory_, regFileAge_);
}

TVarnelViewer::~TVarnelViewer() {
  // QWidget's destructor still reports focus changes and child destruction; by then this
  // object is no longer a main window.
  disconnect(qApp, nullptr, this, nullptr);
  for (TChildForm* child : children_) disconnect(child, nullptr, this, nullptr);
  // Clip windows save their placement into the registry, a member that dies before QWidget's
  // destructor would delete them: they go first, last first.
  QList<TChildForm*> clips = findChildren<TChildForm*>(Qt::FindDirectChildrenOnly);
  children_.clear();
  activeChild_ = nullptr;
  for (auto it = clips.rbegin(); it != clips.rend(); ++it) {
    disconnect(*it, nullptr, this, nullptr);
    delete *it;
  }
  if (hints_) qApp->removeEventFilter(hints_);
}

void TVarnelViewer::readPreferences() {
  const bool hints =
      registry_->ReadBool(QStringLiteral("Preferences"), QStringLiteral("Show Hints"), true);
  hints_->SetShowHints(hints);
  component<QAction>(this, "ShowHints")->setChecked(hints);
  openDirectory_ = registry_->ReadString(QStringLiteral("Open"), QStringLiteral("Directory"),
                                         programDirectory_ + QStringLiteral("Samples"));
  presentationFile_ =
      registry_->ReadString(QStringLiteral("Presentation"), QStringLiteral("Filename"), QString());
  regFileAge_ =
      registry_->ReadInteger(QStringLiteral("ffdshow"), QStringLiteral("Reg File Age"), -1);
  frameCacheMb_ =
      std::clamp(registry_->ReadInteger(QStringLiteral("Preferences"),
                                        QStringLiteral("Frame Cache MB"), kFrameCacheDefaultMb),
                 kFrameCacheLeastMb, kFrameCacheMostMb);
  avifile::SetSharedFrameBudget(std::size_t(frameCacheMb_) << 20);
}

void TVarnelViewer::writePreferences() {
  registry_->WriteBool(QStringLiteral("Preferences"), QStringLiteral("Show Hints"),
                       hints_->ShowHints());
  registry_->WriteString(QStringLiteral("Open"), QStringLiteral("Directory"), openDirectory_);
  registry_->WriteString(QStringLiteral("Presentation"), QStringLiteral("Filename"),
                         presentationFile_);
  registry_->WriteInteger(QStringLiteral("ffdshow"), QStringLiteral("Reg File Age"), regFileAge_);
  registry_->WriteInteger(QStringLiteral("Preferences"), QStringLiteral("Frame Cache MB"),
                          frameCacheMb_);
  WriteDatabaseFiles(*registry_, databases_);
}

bool TVarnelViewer::ShowHintsOn() const {
  return hints_->ShowHints();
}

void TVarnelViewer::ShowHintsClick() {
  QAction* item = component<QAction>(this, "ShowHints");
  hints_->SetShowHints(item->isChecked());
}

void TVarnelViewer::DefaultTitlesItemClick() {
  defaultTitlesForm_->EditDefaultTitles(databases_.names, databases_.lists);
}

void TVarnelViewer::ApplyControlRules() {
  TControlState s;
  s.hasChildren = !children_.isEmpty();
  s.hasActiveChild = activeChild_ != nullptr;
  if (activeChild_) {
    s.activeSaving = activeChild_->Saving;
    s.activeIsDisplay = activeChild_->IsDisplayWindow();
    s.activeAllowsQuickMeasure = activeChild_->QuickMeasureAllowed;
  }
  const TControlRules r = ::ApplyControlRules(s);
  if (!r.showTimePanel) {
    timePanel_->hide();
    timeline_.ReleasePlayButtons();
    timePanel_->Sync();
  }
  const int clientHeight =
      toolBarPanel_->height() + (timePanel_->isHidden() ? 0 : timePanel_->height());
  centralWidget()->setFixedHeight(clientHeight);
  resize(width(), windowHeight(clientHeight));
  for (const char* name : {"CloseItem", "CloseAllItem", "CopyFrameItem", "DescriptorsItem"})
    component<QAction>(this, name)->setEnabled(r.closeAndCopy);
  for (const char* name : {"CloseAllBtn", "DescriptorsBtn"})
    component<QToolButton>(this, name)->setEnabled(r.closeAndCopy);
  timePanel_->setEnabled(r.closeAndCopy);
  component<QAction>(this, "SaveAs")->setEnabled(r.saveAs);
  component<QToolButton>(this, "SaveBtn")->setEnabled(r.saveAs);
  component<QAction>(this, "CompressionOptions")->setEnabled(r.compressionOptions);
  component<QToolButton>(this, "CompressionOptionsBtn")->setEnabled(r.compressionOptions);
  component<QAction>(this, "QMeasureItem")->setEnabled(r.quickMeasure);
  component<QToolButton>(this, "QMeasureBtn")->setEnabled(r.quickMeasure);
}

int TVarnelViewer::windowHeight(int clientHeight) const {
  return std::min(maximumHeight(), menuBar()->sizeHint().height() + clientHeight);
}

QPoint TVarnelViewer::CascadeOrigin() const {
  // Below the window as it is with the time panel, which the first clip is about to show.
  const int decoration = frameGeometry().height() - height();
  const int fullHeight = windowHeight(toolBarPanel_->height() + timePanel_->height());
  return frameGeometry().topLeft() + QPoint(0, decoration + fullHeight);
}

void TVarnelViewer::PlaceNewChild(TChildForm* child) {
  int slot = 0;
  for (const TChildForm* other : children_)
    if (other != child && other->isVisible()) ++slot;
  const QPoint origin = CascadeOrigin();
  child->move(CascadePosition(origin, slot, child->frameGeometry().size(),
                              screens::monitorAt(origin).workArea));
}

void TVarnelViewer::AddChild(TChildForm* child) {
  children_ << child;
  // Compare by address only: by the time destroyed() fires the object is a bare QObject.
  connect(child, &QObject::destroyed, this, [this, child] { RemoveChild(child); });
  ApplyControlRules();
}

void TVarnelViewer::RemoveChild(TChildForm* child) {
  if (!children_.removeAll(child)) return;
  if (activeChild_ == child) activeChild_ = nullptr;
  timeline_.MarkChildrenChanged();
  ApplyControlRules();
}

void TVarnelViewer::ActiveFormChanged(QWidget* form) {
  if (!form || form == this) return;
  auto* child = qobject_cast<TChildForm*>(form);
  if (child && child->IsDisplayWindow() && children_.contains(child)) {
    activeChild_ = child;
    ApplyControlRules();
  }
}

void TVarnelViewer::TakeHandOver(const QStringList& files) {
  openQueue_ << files;
  hurryTick();
  setWindowTitle(kCaption);
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void TVarnelViewer::DropFiles(const QStringList& names) {
  for (const QString& name : names) {
    if (QFileInfo(name).isDir())
      dialogs::show(this, QStringLiteral("Drag-Drop of Folders not supported"), kCaption,
                    dialogs::Buttons::OK, dialogs::Icon::Error);
    else
      openQueue_ << name;
  }
  hurryTick();
}

void TVarnelViewer::OpenFramesClick() {
  about_->hide();
  dialogs::FileRequest request;
  request.caption = QStringLiteral("Select File to Preview or Graph");
  request.directory = openDirectory_;
  request.filter = QStringLiteral(
      "Any Lumetra file (*.mav *.avi);;AVI - Video Clip (*.avi);;MAV - Motion Analysis Video "
      "(*.mav);;Signal Graphing Data (*.asc *.csv *.dat *.prn *.txt)");
  openQueue_ << dialogs::backend().openFiles(this, request, true).names;
  hurryTick();
}

bool TVarnelViewer::CloseAllChildren() {
  for (qsizetype i = children_.size() - 1; i >= 0; --i) {
    if (i >= children_.size()) continue;
    TChildForm* child = children_[i];
    if (!child->close()) return false;
    RemoveChild(child);
    child->deleteLater();
    QCoreApplication::processEvents();
  }
  activeChild_ = nullptr;
  ApplyControlRules();
  return true;
}

void TVarnelViewer::CloseItemClick() {
  if (!activeChild_) return;
  TChildForm* child = activeChild_;
  if (child->close()) {
    RemoveChild(child);
    child->deleteLater();
  }
  activeChild_ = nullptr;
  ApplyControlRules();
}

void TVarnelViewer::CloseAllItemClick() {
  CloseAllChildren();
}

bool TVarnelViewer::childrenAgreeToClose() {
  for (qsizetype i = children_.size() - 1; i >= 0; --i) {
    TChildForm* child = children_[i];
    try {
      if (!child->CloseQuery()) return false;
    } catch (const std::exception&) {
      // A child that fails while asked must not keep the program from closing.
      RemoveChild(child);
    }
  }
  return true;
}

void TVarnelViewer::closeEvent(QCloseEvent* e) {
  if (!childrenAgreeToClose()) {
    e->ignore();
    return;
  }
  timer_.stop();
  writePreferences();
  SavePlacement(this, registry_.get(), 0);
  defaultTitlesForm_->SaveDefaultTitles(registry_.get(), databases_.lists);
  titlesForm_->SavePlacement(registry_.get());
  registry_->flush();
  if (!childrenAgreeToClose()) {
    timer_.start();
    e->ignore();
    return;
  }
  const bool closed = [this] {
    const TWaitCursor wait;
    return CloseAllChildren();
  }();
  if (!closed || !children_.isEmpty()) {
    timer_.start();
    e->ignore();
    return;
  }
  graphLink_->Close();
  about_->hide();
  e->accept();
}

QWidget* TVarnelViewer::formOf(const QWindow* window) {
  if (!window) return nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowHandle() == window) return w;
  return nullptr;
}

void TVarnelViewer::minimizeApplication() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible() || w->isMinimized()) continue;
    if (w != this && w != about_ && !minimizedForms_.contains(w)) minimizedForms_ << w;
    w->showMinimized();
  }
}

void TVarnelViewer::restoreApplication() {
  setWindowState(Qt::WindowNoState);
  about_->hide();
  // Only the windows minimised with the application: one the user minimised stays so.
  const QList<QPointer<QWidget>> forms = std::exchange(minimizedForms_, {});
  for (QWidget* w : forms)
    if (w && w->isMinimized()) w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
}

void TVarnelViewer::changeEvent(QEvent* e) {
  if (e->type() == QEvent::WindowStateChange) {
    auto* change = static_cast<QWindowStateChangeEvent*>(e);
    if (isMinimized() && !(change->oldState() & Qt::WindowMinimized)) {
      minimizeApplication();
    } else if (!isMinimized() && (change->oldState() & Qt::WindowMinimized)) {
      restoreApplication();
    }
  }
  QMainWindow::changeEvent(e);
}

void TVarnelViewer::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TVarnelViewer::dropEvent(QDropEvent* e) {
  QStringList names;
  for (const QUrl& url : e->mimeData()->urls())
    if (url.isLocalFile()) names << url.toLocalFile();
  DropFiles(names);
  e->acceptProposedAction();
}

bool TVarnelViewer::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseMove && about_->isVisible() &&
      (watched == this || watched == toolBarPanel_ || watched == timePanel_))
    about_->close();
  return QMainWindow::eventFilter(watched, e);
}
