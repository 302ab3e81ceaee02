#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <limits>

class QWidget;
class TRegIniFile;

// Where a window was: one "Desktop" entry of six integers "top,left,width,height,extra,max".
struct TPlacement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool maximized = false;
  int extra = 0;  // the window's own word; a display window keeps its view options here
};

// The platform's "let the system choose" position: an entry with this left is never fitted.
constexpr int kDefaultPosition = std::numeric_limits<int>::min();

// How far each next window of a cascade lies below and right of the one before.
constexpr int kCascadeStep = 30;

// Fields that are missing or not numbers, and sizes below 1, keep the values passed in. No
// registry: unchanged.
void ReadPlacement(const QString& name, const TRegIniFile* reg, TPlacement& p);
// r moved whole into area, keeping its size where it fits and shrinking it where it does not.
QRect FitRect(const QRect& r, const QRect& area);
// As ReadPlacement, then fitted (FitRect) to the monitor nearest to the rectangle.
void ReadPlacementClamped(const QString& name, const TRegIniFile* reg, TPlacement& p);
// True when the entry holds a top and a left other than the default-position marker: without
// them the platform chooses where the window goes.
bool HasPlacement(const QString& name, const TRegIniFile* reg);
// Where the platform puts the slot-th (from 0) new window of frame size that has no stored place:
// kCascadeStep further down and right per slot from origin, starting over at origin once a
// window would leave workArea. Cascades from the area's top-left when not even slot 0 fits at
// origin, and fits the window into the area when it is larger than the area.
QPoint CascadePosition(const QPoint& origin, int slot, const QSize& frame, const QRect& workArea);
// Where the platform puts a first window that has no stored place: one cascade step into the
// work area of the primary monitor.
QPoint DefaultWindowPosition();
void WritePlacement(const QString& name, TRegIniFile* reg, const TPlacement& p);
// Reads, fits and applies the entry named after the form's object name; returns the extra word.
int RestorePlacement(QWidget* form, const TRegIniFile* reg, bool keepSize);
void SavePlacement(QWidget* form, TRegIniFile* reg, int extra);
// Fits a top-level window, frame included, into the work area of the monitor under its
// top-left corner.
void MakeFullyVisible(QWidget* form);
