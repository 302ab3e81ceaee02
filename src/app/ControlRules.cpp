#include "app/ControlRules.h"

TControlRules ApplyControlRules(const TControlState& s) {
  TControlRules r;
  const bool canSave = s.hasActiveChild && !s.activeSaving;
  r.closeAndCopy = s.hasChildren;
  r.showTimePanel = s.hasChildren;
  r.saveAs = canSave && s.activeIsDisplay;
  r.compressionOptions = canSave;
  r.quickMeasure = s.hasActiveChild && s.activeAllowsQuickMeasure;
  return r;
}
