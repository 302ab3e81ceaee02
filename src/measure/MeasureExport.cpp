#include "measure/MeasureExport.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "measure/FrameList.h"
#include "measure/MyStringGrid.h"
#include "measure/Units.h"

QString FormatTime(float time, int decimals) {
  if (!std::isfinite(time)) return FormatGeneral(time);
  if (time != 0 && std::fabs(time) >= 99999.5f) return FormatGeneral(time, 5);
  // Round to 5 significant digits first, then show exactly `decimals` decimals.
  char buffer[64];
  auto end =
      std::to_chars(buffer, buffer + sizeof buffer, double(time), std::chars_format::scientific, 4)
          .ptr;
  double rounded = 0;
  std::from_chars(buffer, end, rounded);
  end = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed,
                      std::clamp(decimals, 0, 18))
            .ptr;
  QString text = QString::fromLatin1(buffer, int(end - buffer));
  const bool zero = std::none_of(text.begin(), text.end(), [](QChar c) {
    return c >= QLatin1Char('1') && c <= QLatin1Char('9');
  });
  if (zero && text.startsWith(QLatin1Char('-'))) text.remove(0, 1);  // no "-0.00"
  return text;
}

void WriteTimeColumn(TMyStringGrid& grid, const TFrameObjectList& frames, int firstFrame,
                     int lastFrame) {
  const int decimals = frames.TimeDecimals();
  grid.SetCell(0, 0, QStringLiteral("Time"));
  grid.SetCell(0, 1, QStringLiteral("ms"));
  grid.SetColWidth(0, decimals * 8 + 30);
  const int fixed = grid.FixedRows();
  lastFrame = std::min(lastFrame, grid.RowCount() - 1 - fixed);
  for (int frame = std::max(firstFrame, 0); frame <= lastFrame; ++frame)
    grid.SetCell(0, fixed + frame, FormatTime(frames.TimeOf(frame), decimals));
}

QString CsvField(const QString& text) {
  const bool special = std::any_of(text.begin(), text.end(), [](QChar c) {
    return c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
  });
  if (!special) return text;
  QString quoted = text;
  quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString RowText(const TMyStringGrid& grid, int row, QChar separator, int first, int last,
                bool quote) {
  bool any = false;
  for (int col = first; col <= last && !any; ++col) any = !grid.Cell(col, row).isEmpty();
  if (!any) return {};
  const auto field = [&](int col) {
    return quote ? CsvField(grid.Cell(col, row)) : grid.Cell(col, row);
  };
  QString text;
  if (first > 0) text += field(0) + separator;
  for (int col = first; col < last; ++col) text += field(col) + separator;
  return text + field(last) + QStringLiteral("\r\n");
}

QString RowsText(const TMyStringGrid& grid, int firstRow, int lastRow, QChar separator,
                 int firstCol, int lastCol, bool quote) {
  QString text;
  const int fixed = grid.FixedRows();
  for (int row = 0; row < fixed; ++row)
    text += RowText(grid, row, separator, firstCol, lastCol, quote);
  lastRow = std::min(lastRow, grid.RowCount() - 1);
  // Untouched pages of rows hold no value: skip them rather than read every empty cell.
  for (int row = grid.NextRowWithCells(std::max(firstRow, fixed), firstCol, lastCol);
       row <= lastRow; row = grid.NextRowWithCells(row + 1, firstCol, lastCol))
    text += RowText(grid, row, separator, firstCol, lastCol, quote);
  return text;
}

namespace {

// One byte per character, "?" for one that Latin-1 cannot hold (also for a character outside
// the basic plane, which QString::toLatin1 would turn into two).
QByteArray SingleByte(const QString& text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  for (const char32_t c : text.toUcs4()) bytes += c <= 0xFF ? char(c) : '?';
  return bytes;
}

}  // namespace

QByteArray ExportText(const TMyStringGrid& grid) {
  return SingleByte(RowsText(grid, grid.FixedRows(), grid.RowCount() - 1, QLatin1Char(','), 1,
                             grid.ColCount() - 1, true));
}

bool WriteExportFile(const TMyStringGrid& grid, const QString& path, QString* error) {
  const auto fail = [&](const QString& reason) {
    if (error) *error = QStringLiteral("Cannot write %1: %2").arg(path, reason);
    return false;
  };
  if (path.isEmpty()) return fail(QStringLiteral("no file name"));
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) return fail(QStringLiteral("not a regular file"));
  if (!info.absoluteDir().exists()) return fail(QStringLiteral("the folder does not exist"));
  QSaveFile file(path);
  // A folder we may not create in can still hold a file we may overwrite.
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
  const QByteArray text = ExportText(grid);
  if (file.write(text) != text.size() || !file.commit()) return fail(file.errorString());
  return true;
}
