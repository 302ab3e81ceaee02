#include "clip/SaveThreads.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/avifile/AviSave.h"

namespace {

// The running save and scatter threads; lives from program start to program end.
std::mutex& registryLock() {
  static std::mutex lock;
  return lock;
}

std::vector<TAVISaveThread*>& registry() {
  static std::vector<TAVISaveThread*> threads;
  return threads;
}

// Queued calls need the application object's event loop; a program without one (none here)
// would get its reports on the worker itself.
bool marshals() {
  return QCoreApplication::instance() != nullptr;
}

bool onInterfaceThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

// One progress report waiting for its answer.
struct Call {
  bool done = false;
  int result = 0;
};

}  // namespace

// What the worker and the user-interface thread share beyond the job's lifetime: queued calls
// that run after the job is gone find it no longer alive and do nothing.
struct TAVISaveThread::Shared {
  std::mutex lock;
  std::condition_variable changed;
  bool stop = false;
  bool alive = true;
};

TAVISaveThread::TAVISaveThread(TAVISTREAM& owner, PAVISTREAM stream, AVICOMPRESSOPTIONS* options,
                               const QString& target)
    : owner_(owner),
      stream_(stream),
      target_(target),
      options_(options ? *options : AVICOMPRESSOPTIONS{}),
      onProgress_(std::make_shared<TAVISTREAM::TProgressEvent>(owner.OnProgress)),
      shared_(std::make_shared<Shared>()) {}

TAVISaveThread::~TAVISaveThread() {
  stopAndJoin();
}

void TAVISaveThread::start() {
  worker_ = std::thread([this] { run(); });
}

void TAVISaveThread::terminate() {
  std::lock_guard<std::mutex> hold(shared_->lock);
  shared_->stop = true;
  shared_->changed.notify_all();
}

bool TAVISaveThread::terminated() const {
  std::lock_guard<std::mutex> hold(shared_->lock);
  return shared_->stop;
}

void TAVISaveThread::stopAndJoin() {
  terminate();
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->alive = false;
  }
  if (worker_.joinable()) worker_.join();
}

void TAVISaveThread::run() {
  {
    std::lock_guard<std::mutex> hold(registryLock());
    id_ = std::this_thread::get_id();
    registry().push_back(this);
  }
  HRESULT result = AVIERR_ERROR;
  QString error;
  try {
    result = execute();
  } catch (const std::exception& e) {
    error = QString::fromUtf8(e.what());
  }
  // A frame source that cancelled makes whatever failure followed a user's cancel.
  if (result != AVIERR_OK && (sourceCancelled_ || terminated())) result = AVIERR_USERABORT;
  {
    // Out before the platform thread ends: its id may be handed to a later thread.
    std::lock_guard<std::mutex> hold(registryLock());
    std::erase(registry(), this);
  }
  finish(result, error);
}

HRESULT TAVISaveThread::execute() {
  AVIFileInit();
  const QByteArray name = QFile::encodeName(target_);
  PAVISTREAM streams[1] = {stream_};
  AVICOMPRESSOPTIONS* options[1] = {&options_};
  const HRESULT result = AVISaveVA(name.constData(), nullptr, &SaveCallback, 1, streams, options);
  AVIFileExit();
  return result;
}

int TAVISaveThread::runProgress(int percent) {
  if (!*onProgress_) return 0;
  if (!marshals()) return (*onProgress_)(percent);
  auto call = std::make_shared<Call>();
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    if (shared_->stop) return AVIERR_USERABORT;
  }
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [shared = shared_, handler = onProgress_, call, percent] {
        {
          std::lock_guard<std::mutex> hold(shared->lock);
          if (!shared->alive) return;
        }
        // The handler may run a modal loop in which the job is freed: everything it needs
        // afterwards is held here.
        const int answer = (*handler)(percent);
        std::lock_guard<std::mutex> hold(shared->lock);
        call->result = answer;
        call->done = true;
        shared->changed.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock<std::mutex> hold(shared_->lock);
  shared_->changed.wait(hold, [&] { return call->done || shared_->stop; });
  return call->done ? call->result : AVIERR_USERABORT;
}

void TAVISaveThread::finish(HRESULT result, const QString& error) {
  if (terminated()) return;
  const auto done = [shared = shared_, owner = &owner_, result, error] {
    const auto alive = [&] {
      std::lock_guard<std::mutex> hold(shared->lock);
      return shared->alive;
    };
    if (!alive()) return;
    if (!error.isEmpty()) dialogs::showError(nullptr, error);
    // The message's own loop may have closed the window and freed its stream.
    if (alive()) owner->ThreadDone(result);
  };
  if (marshals())
    QMetaObject::invokeMethod(QCoreApplication::instance(), done, Qt::QueuedConnection);
  else
    done();
}

int TAVISaveThread::SaveCallback(int percent) {
  TAVISaveThread* thread = nullptr;
  {
    std::lock_guard<std::mutex> hold(registryLock());
    for (TAVISaveThread* t : registry())
      if (t->id_ == std::this_thread::get_id()) thread = t;
  }
  if (!thread) return AVIERR_USERABORT;
  // The lock is free again: the interface thread may start another save meanwhile.
  thread->percent_ = percent;
  thread->progressResult_ = thread->runProgress(percent);
  return thread->terminated() ? AVIERR_USERABORT : thread->progressResult_;
}

int TAVISaveThread::ReportStreamProgress(TAVISTREAM& owner, int percent) {
  TAVISaveThread* thread = nullptr;
  {
    std::lock_guard<std::mutex> hold(registryLock());
    for (TAVISaveThread* t : registry())
      if (t->id_ == std::this_thread::get_id() && &t->owner_ == &owner) thread = t;
  }
  if (thread) {
    if (percent < 0) thread->sourceCancelled_ = true;
    return thread->runProgress(percent);
  }
  if (onInterfaceThread()) return owner.OnProgress ? owner.OnProgress(percent) : 0;
  return AVIERR_USERABORT;
}

TAVIScatterThread::TAVIScatterThread(TAVISTREAM& owner, PAVISTREAM stream, int typeIndex,
                                     const QString& target)
    : TAVISaveThread(owner, stream, nullptr, target), typeIndex_(typeIndex) {}

TAVIScatterThread::~TAVIScatterThread() {
  // Before this part goes: the worker may be inside execute().
  stopAndJoin();
}

HRESULT TAVIScatterThread::execute() {
  percent_ = 0;
  progressResult_ = runProgress(0);
  // The scatter's own code, not the last answer: a write failure must not end as success.
  return owner_.Scatter(target_, typeIndex_, &ScatterCallback, this);
}

int TAVIScatterThread::ScatterCallback(void* data, int percent) {
  auto* thread = static_cast<TAVIScatterThread*>(data);
  if (percent != thread->percent_) {
    thread->percent_ = percent;
    thread->progressResult_ = thread->runProgress(percent);
  }
  return thread->terminated() ? AVIERR_USERABORT : thread->progressResult_;
}

std::unique_ptr<TSaveJob> StartSaveThread(TAVISTREAM& owner, PAVISTREAM stream,
                                          AVICOMPRESSOPTIONS* options, const QString& target) {
  auto thread = std::make_unique<TAVISaveThread>(owner, stream, options, target);
  thread->start();
  return thread;
}

std::unique_ptr<TSaveJob> StartScatterThread(TAVISTREAM& owner, PAVISTREAM stream, int typeIndex,
                                             const QString& target) {
  auto thread = std::make_unique<TAVIScatterThread>(owner, stream, typeIndex, target);
  thread->start();
  return thread;
}
