#pragma once

#include <QByteArray>
#include <QString>

class TMyStringGrid;
class TFrameObjectList;

// Time cell text: fixed notation with `decimals` decimals, the value first rounded to 5
// significant digits; more than 5 integer digits switch to d.ddddE+XX.
QString FormatTime(float time, int decimals);

// The time column: "Time" / "ms" headers, its width, and the time of every frame row from
// `firstFrame` to `lastFrame` (rows beyond the grid are skipped).
void WriteTimeColumn(TMyStringGrid& grid, const TFrameObjectList& frames, int firstFrame,
                     int lastFrame);

// One row through the row writer: nothing when columns first..last are all empty; otherwise
// the time cell first (when first > 0), cells joined by the separator, CR LF at the end.
QString RowText(const TMyStringGrid& grid, int row, QChar separator, int first, int last);

// The export file's text: the 3 header rows, then every frame row holding a value, each
// starting with the time column, comma-separated, no quoting. Single-byte characters.
QByteArray ExportText(const TMyStringGrid& grid);
