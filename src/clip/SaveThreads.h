#pragma once

// The save and scatter threads of a clip stream. Each runs on a platform thread of its own and
// reaches the user-interface thread (the application object's thread) only by its progress
// reports, which are queued there and waited for, and by its completion, which calls the
// stream's ThreadDone there. A process-wide locked registry of running threads lets the AVI
// library's save callback, which carries no user data, find the thread that calls it.

#include <QString>
#include <atomic>
#include <memory>
#include <thread>

#include "clip/AviStream.h"
#include "clip/SaveJob.h"

class TAVISaveThread : public TSaveJob {
 public:
  // Takes a copy of owner.OnProgress; start() begins the run.
  TAVISaveThread(TAVISTREAM& owner, PAVISTREAM stream, AVICOMPRESSOPTIONS* options,
                 const QString& target);
  // Asks a running thread to stop and waits for it; its completion then never runs.
  ~TAVISaveThread() override;

  void start();
  // The next progress report answers AVIERR_USERABORT; a report being waited for ends now.
  void terminate();
  bool terminated() const;
  int percent() const { return percent_.load(); }

  // The AVI library's save callback: finds the calling thread in the registry; AVIERR_USERABORT
  // for a thread that is not a running save thread.
  static int SaveCallback(int percent);
  // A progress report of the clip stream's own frame source (-1: the source cancelled). On a
  // save thread of that stream it is marshalled like any other; on the user-interface thread
  // owner.OnProgress runs directly; elsewhere it is dropped and answers AVIERR_USERABORT.
  static int ReportStreamProgress(TAVISTREAM& owner, int percent);

 protected:
  virtual HRESULT execute();
  // Runs the progress handler on the user-interface thread and waits for its answer;
  // AVIERR_USERABORT when the thread is asked to stop meanwhile. 0 without a handler.
  int runProgress(int percent);
  void stopAndJoin();

  TAVISTREAM& owner_;
  PAVISTREAM stream_;
  QString target_;
  std::atomic<int> percent_{0};
  int progressResult_ = 0;

 private:
  struct Shared;
  void run();
  void finish(HRESULT result, const QString& error);

  AVICOMPRESSOPTIONS options_;  // a copy: the stream's record may change during the save
  std::shared_ptr<TAVISTREAM::TProgressEvent> onProgress_;
  std::shared_ptr<Shared> shared_;
  std::atomic<bool> sourceCancelled_{false};
  std::thread::id id_;  // guarded by the registry's lock
  std::thread worker_;
};

// Writes the clip's frames as numbered image files or an AMF file through TAVISTREAM::Scatter.
// Every percent reaches the progress handler at most once; its non-zero answer stops the
// scatter at the next frame and becomes the result.
class TAVIScatterThread : public TAVISaveThread {
 public:
  TAVIScatterThread(TAVISTREAM& owner, PAVISTREAM stream, int typeIndex, const QString& target);
  ~TAVIScatterThread() override;

 protected:
  HRESULT execute() override;

 private:
  static int ScatterCallback(void* thread, int percent);
  int typeIndex_;
};
