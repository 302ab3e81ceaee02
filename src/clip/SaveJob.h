#pragma once

// The seam between the clip stream and its save and scatter threads. The stream owns the job
// of the thread it started last; the thread unit (SaveThreads) implements the job and the two
// start functions.

#include <QString>
#include <memory>

#include "platform/avifile/AviFile.h"

class TAVISTREAM;

// A save or scatter thread as its clip stream holds it. Destroying the job asks a running
// thread to stop and waits for it, so freeing a stream during a save never aborts; the thread's
// completion (TAVISTREAM::ThreadDone) does not run after the job is gone.
class TSaveJob {
 public:
  virtual ~TSaveJob() = default;
};

// Starts a save thread: AVISaveVA (target, stream, options) with owner.OnProgress as progress
// hook; on the user-interface thread at its end, owner.ThreadDone (result).
std::unique_ptr<TSaveJob> StartSaveThread(TAVISTREAM& owner, PAVISTREAM stream,
                                          AVICOMPRESSOPTIONS* options, const QString& target);
// Starts a scatter thread: owner.Scatter (target, typeIndex, its callback, itself); at its end
// owner.ThreadDone (result).
std::unique_ptr<TSaveJob> StartScatterThread(TAVISTREAM& owner, PAVISTREAM stream, int typeIndex,
                                             const QString& target);
