// lumetra-tool measure FILE.json [--out OUT.csv]: a measurement file loaded without a window,
// every column of every object shown, written as the window's export writes its table.
#include <QApplication>
#include <QFile>
#include <clocale>
#include <memory>

#include "Commands.h"
#include "ToolSupport.h"
#include "measure/FrameList.h"
#include "measure/MeasureExport.h"
#include "measure/MeasureFile.h"
#include "measure/MotionDataBase.h"
#include "measure/MyStringGrid.h"
#include "measure/SheetElement.h"
#include "platform/Exception.h"

namespace {

int LastFrame(const TMeasurementFile& file) {
  int last = 0;
  for (const auto& o : file.objects)
    for (const auto& s : o.samples) last = std::max(last, s.frame);
  return last;
}

QByteArray MeasureText(const TMeasurementFile& file) {
  TMyStringGrid grid;
  TShowMenu menu;
  grid.SetRowCount(LastFrame(file) + 1 + grid.FixedRows());
  TMotionDataBase db(MakeColumnsFactory(grid, &menu));
  db.Objects().defaultVisibleKinds = kAllKinds;
  {
    TMyStringGrid::TBulkUpdate bulk(grid);
    ApplyMeasurementFile(file, db);
  }
  // Rows without a holder hold no value and are not exported: only holders need a time.
  const TFrameObjectList& frames = db.Frames();
  for (std::size_t i = 0; i < frames.Count(); ++i)
    WriteTimeColumn(grid, frames, frames.Holder(i)->Frame(), frames.Holder(i)->Frame());
  return ExportText(grid);
}

}  // namespace

int RunMeasure(const QStringList& args, std::FILE* out) {
  const char* usage = "usage: lumetra-tool measure FILE.json [--out OUT.csv]";
  if (args.size() != 1 && !(args.size() == 3 && args[1] == QLatin1String("--out")))
    throw Exception(usage);
  const auto app = HeadlessApplication();
  const QByteArray text = MeasureText(ReadMeasurementFile(args[0]));
  if (args.size() == 1) {
    std::fwrite(text.constData(), 1, std::size_t(text.size()), out);
    return 0;
  }
  QFile file(args[2]);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
    throw Exception("Cannot write " + args[2] + ": " + file.errorString());
  return 0;
}
