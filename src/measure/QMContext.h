#pragma once

#include <QString>
#include <functional>

class TChildForm;
class TMotionDataBase;
class TMyStringGrid;
class TObjDef;
class TShowMenu;

// What the pages of one Quick Measure window share: the model, the table, and the few window
// services a page asks for. The window fills it before it builds its pages; every member
// outlives the pages. Interface thread only.
struct TQMContext {
  TMotionDataBase* db = nullptr;
  TMyStringGrid* grid = nullptr;
  TShowMenu* showMenu = nullptr;
  TChildForm* display = nullptr;  // the clip window measured on; may be null in tests

  // Status bar panel 3 (prompts).
  std::function<void(const QString&)> setPrompt;
  // The display window draws its image and the current frame's samples again.
  std::function<void()> repaintDisplay;
  // The measurements changed (a later close asks whether to save them).
  std::function<void()> markChanged;
};

// Every object's column headers again (after a unit or name change).
void RefreshAllHeaders(TMotionDataBase& db);
