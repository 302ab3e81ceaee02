#pragma once

#include <QString>
#include <cstdint>

// The texts of the display window that do not depend on its widgets.

struct TTimeLegend {
  QString text;
  QString units;
  QString hint;
};

// A frame's test time for the legend: seconds with 3 decimals from 1000 ms on, else
// milliseconds with `decimals` decimals (negative times stay in milliseconds).
TTimeLegend TimeLegend(float ms, int decimals);

// value rounded to `precision` significant digits, then written with `decimals` decimals;
// scientific notation when it has more than `precision` digits before the point.
QString FixedText(double value, int precision, int decimals);

// " requires driver " and the driver that decodes a compression handler code, for the message
// of a clip that did not open; empty for a clip without a handler code.
QString DriverText(std::uint32_t handler);
