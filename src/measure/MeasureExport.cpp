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
#include "textio/CsvField.h"

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

namespace {

void AppendField(QString& out, const QString& text, bool quote) {
  if (quote)
    AppendCsvField(out, text);
  else
    out += text;
}

void AppendRow(QString& out, const TMyStringGrid& grid, int row, QChar separator, int first,
               int last, bool quote) {
  bool any = false;
  for (int col = first; col <= last && !any; ++col) any = !grid.Cell(col, row).isEmpty();
  if (!any) return;
  if (first > 0) {
    AppendField(out, grid.Cell(0, row), quote);
    out += separator;
  }
  for (int col = first; col <= last; ++col) {
    AppendField(out, grid.Cell(col, row), quote);
    if (col < last) out += separator;
  }
  out += QLatin1String("\r\n");
}

// One byte per character, "?" for one that Latin-1 cannot hold (also one "?" for a character
// outside the basic plane, which takes two UTF-16 units).
QByteArray SingleByte(const QString& text) {
  QByteArray bytes(text.size(), Qt::Uninitialized);
  char* p = bytes.data();
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
      *p++ = '?';
      ++i;
    } else {
      *p++ = c <= 0xFF ? char(c) : '?';
    }
  }
  bytes.truncate(p - bytes.data());
  return bytes;
}

}  // namespace

QString RowsText(const TMyStringGrid& grid, int firstRow, int lastRow, QChar separator,
                 int firstCol, int lastCol, bool quote) {
  QString text;
  const int fixed = grid.FixedRows();
  for (int row = 0; row < fixed; ++row)
    AppendRow(text, grid, row, separator, firstCol, lastCol, quote);
  lastRow = std::min(lastRow, grid.RowCount() - 1);
  // Untouched pages of rows hold no value: skip them rather than read every empty cell.
  for (int row = grid.NextRowWithCells(std::max(firstRow, fixed), firstCol, lastCol);
       row <= lastRow; row = grid.NextRowWithCells(row + 1, firstCol, lastCol))
    AppendRow(text, grid, row, separator, firstCol, lastCol, quote);
  return text;
}

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
