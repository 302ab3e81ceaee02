#pragma once

#include <QString>
#include <span>

// The graph cursor's side of the master timeline: the time it was last given or moved to, and
// whether the user moved it since the main window last asked. Interface thread only.
class TGraphCursor {
 public:
  // The master step in ms; moves closer than this are not worth a jump.
  double Tolerance = 0;
  float CursorTime = 0;
  bool MovedByUser = false;
  // Raised while the window itself moves the cursor.
  bool Busy = false;

  // The master time t arrived. True when the cursor, now at cursorX, must move to t.
  bool NeedsMove(float t, float cursorX);
  // True when the user moved the cursor more than half the tolerance away from t, which then
  // becomes the cursor time. Lowers the moved-by-user flag in every case.
  bool TakeCursorTime(float& t);
  // The user put the cursor on a point at time x.
  void UserMoved(float x);
};

// The point nearest to time t (ms) of a curve sampled every interval ms from first, within
// 0..count-1; 0 for a curve without points or a time base that is not a number.
int PointOfTime(double t, double first, double interval, int count);

// The first point holding the smallest (largest) value, nulls skipped; 0 when every point is
// null. Compared as singles.
int MinPoint(std::span<const float> y, float null);
int MaxPoint(std::span<const float> y, float null);

// The graph's font factor for a window width on a screen width, within 0.5 to 1.2.
float FontFactor(int screenWidth, int windowWidth);

// A read-out number: fixed, 6 significant digits, 3 decimals.
QString ReadoutNumber(double value);

// The mouse's height on another axis of the cursor's band, carried over to the cursor's axis:
// the same share of the range. A zero range counts as share 0.
double CarryOverY(double y, double fromMin, double fromMax, double toMin, double toMax);
