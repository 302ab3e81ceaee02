#include "measure/MeasureExport.h"

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

QString RowText(const TMyStringGrid& grid, int row, QChar separator, int first, int last) {
  bool any = false;
  for (int col = first; col <= last && !any; ++col) any = !grid.Cell(col, row).isEmpty();
  if (!any) return {};
  QString text;
  if (first > 0) text += grid.Cell(0, row) + separator;
  for (int col = first; col < last; ++col) text += grid.Cell(col, row) + separator;
  return text + grid.Cell(last, row) + QStringLiteral("\r\n");
}

QByteArray ExportText(const TMyStringGrid& grid) {
  QString text;
  const int last = grid.ColCount() - 1;
  for (int row = 0; row < grid.RowCount(); ++row)
    text += RowText(grid, row, QLatin1Char(','), 1, last);
  return text.toLatin1();
}
