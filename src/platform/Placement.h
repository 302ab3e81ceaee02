#pragma once

#include <QRect>
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

// Fields that are missing or not numbers, and sizes below 1, keep the values passed in. No
// registry: unchanged.
void ReadPlacement(const QString& name, const TRegIniFile* reg, TPlacement& p);
// r moved whole into area, keeping its size where it fits and shrinking it where it does not.
QRect FitRect(const QRect& r, const QRect& area);
// As ReadPlacement, then fitted (FitRect) to the monitor nearest to the rectangle.
void ReadPlacementClamped(const QString& name, const TRegIniFile* reg, TPlacement& p);
void WritePlacement(const QString& name, TRegIniFile* reg, const TPlacement& p);
// Reads, fits and applies the entry named after the form's object name; returns the extra word.
int RestorePlacement(QWidget* form, const TRegIniFile* reg, bool keepSize);
void SavePlacement(QWidget* form, TRegIniFile* reg, int extra);
// Fits a top-level window, frame included, into the work area of the monitor under its
// top-left corner.
void MakeFullyVisible(QWidget* form);
