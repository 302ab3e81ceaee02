#pragma once

// Which commands of the main window are available, from the state of its children.
struct TControlState {
  bool hasChildren = false;
  bool hasActiveChild = false;
  bool activeSaving = false;
  bool activeIsDisplay = false;
  bool activeAllowsQuickMeasure = false;
};

struct TControlRules {
  bool closeAndCopy = false;  // close, close all, copy frame, descriptors, time panel enabled
  bool showTimePanel = true;  // false: hide the panel and release play and repeat
  bool saveAs = false;
  bool compressionOptions = false;
  bool quickMeasure = false;
};

TControlRules ApplyControlRules(const TControlState& s);
