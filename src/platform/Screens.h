#pragma once

#include <QPoint>
#include <QRect>
#include <vector>

// Monitors, their work areas and the pointer, in virtual-desktop pixels. Tests install a
// fixed layout so that placement can be checked without real screens.
namespace screens {

struct Monitor {
  QRect bounds;    // the whole monitor
  QRect workArea;  // bounds less task bars and panels
};

std::vector<Monitor> monitors();
// The monitor that intersects the rectangle most, else the one nearest to it.
Monitor nearestMonitor(const QRect& r);
// The monitor under the point, else the nearest one.
Monitor monitorAt(const QPoint& p);
QPoint pointerPosition();

// Replaces the real layout; an empty list restores it.
void setLayoutForTesting(std::vector<Monitor> layout);

}  // namespace screens
