#pragma once

#include <QString>

// The unit tables of Quick Measure. Lengths and angles share one table (index 0..8 lengths in
// millimetres, 8..11 angles in radians; "pix" counts as 1 in both); velocities have their own
// table whose factors turn mm/s (0..3) or rad/s (4..7) into the unit.
namespace units {

inline constexpr int kLengthCount = 12;
inline constexpr int kVelocityCount = 8;
// Ranges that each selector offers.
inline constexpr int kFirstAngle = 9, kLastAngle = 11;  // "rev", "deg", "rad"
inline constexpr int kLastLength = 8;                   // "mm" .. "pix"
inline constexpr int kLastLinearVelocity = 3;           // "m/s" .. "mph"
inline constexpr int kFirstAngularVelocity = 4;         // "rev/s" .. "rad/s"

const char* LengthName(int index);
const char* VelocityName(int index);
// Index of a name within [first, last] of its table, or -1. Exact, case-sensitive match.
int LengthIndex(const QString& name, int first, int last);
int VelocityIndex(const QString& name, int first, int last);

// value × factor[from] / factor[to] in the (double) length table.
double ConvertLength(double value, int from, int to);
// The same for angles (indices 8..11) with the single-precision factors.
float ConvertAngle(float value, int from, int to);
// A value in (length or angle unit)/s, as length-table index `from`, into velocity unit `to`.
double ConvertVelocity(double value, int from, int to);

}  // namespace units

// The general floating format with 6 significant digits: the shortest text of the value rounded
// to 6 digits, fixed notation for magnitudes from 0.00001 with at most 6 integer digits,
// otherwise d.dddddE+XX. "." is the decimal separator; non-finite values read INF, -INF, NAN.
QString FormatGeneral(float value, int digits = 6);
