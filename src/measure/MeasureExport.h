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

// Rows first..last (header rows 0..2 always) through the row writer: a row is written only when
// one of columns first..last holds text; then the time cell first (when first > 0), the cells
// joined by the separator, CR LF at the end. With `quote` every field is quoted as CSV needs.
QString RowsText(const TMyStringGrid& grid, int firstRow, int lastRow, QChar separator,
                 int firstCol, int lastCol, bool quote = false);

// The export file's text: the 3 header rows, then every frame row holding a value, each
// starting with the time column, comma-separated and quoted where needed. Single-byte
// characters: anything beyond Latin-1 becomes "?".
QByteArray ExportText(const TMyStringGrid& grid);

// Writes ExportText to `path`, replacing the file whole or not at all. False with the reason
// in `error` when the folder is missing, the target is no regular file (a FIFO would block,
// a folder cannot be replaced) or any write fails.
bool WriteExportFile(const TMyStringGrid& grid, const QString& path, QString* error);
