// The clip stream's saving operations: the options dialog and the start of a save or scatter
// thread.
#include "clip/AviStream.h"
#include "clip/SaveJob.h"
#include "platform/avifile/AviSaveOptions.h"

bool TAVISTREAM::CompressionOptionsDialog(QWidget* owner) {
  PAVISTREAM stream = currentStream_;
  const unsigned flags = ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE | ICMF_CHOOSE_PREVIEW;
  if (!AVISaveOptions(owner, flags, 1, &stream, &optionsPointer_)) return false;
  OptionsOK = true;
  return true;
}

void TAVISTREAM::Save(QWidget* owner, int typeIndex, const QString& targetName) {
  if (IsVideoType(typeIndex)) {
    if (!OptionsOK && !CompressionOptionsDialog(owner)) {
      if (OnDone) OnDone(this, AVIERR_USERABORT);
      return;
    }
    Busy = true;
    thread_ = StartSaveThread(*this, currentStream_, optionsPointer_, targetName);
    return;
  }
  Busy = true;
  thread_ = StartScatterThread(*this, currentStream_, typeIndex, targetName);
}
