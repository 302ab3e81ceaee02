// Quick Measure recomputation: everything for 10 objects over many frames (a change of units,
// scale or reference), and one click (its own cells and one neighbour's).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <memory>

#include "OffscreenProcess.h"
#include "measure/FrameList.h"
#include "measure/MeasureExport.h"
#include "measure/MeasureTable.h"
#include "measure/MotionDataBase.h"
#include "measure/MyStringGrid.h"
#include "measure/SheetElement.h"

namespace {

struct Model {
  explicit Model(int frames, std::uint16_t kinds = kAllKinds) {
    grid.SetRowCount(frames + 4);
    db = std::make_unique<TMotionDataBase>(MakeColumnsFactory(grid, &menu));
    db->Objects().defaultVisibleKinds = kinds;
    const TSampleClass classes[] = {TSampleClass::Point, TSampleClass::Line, TSampleClass::Angle};
    TMyStringGrid::TBulkUpdate bulk(grid);
    for (int k = 0; k < 10; ++k) {
      TObjDef& def = *db->CreateObject(classes[k % 3], QString("O%1").arg(k), kinds);
      for (int f = 0; f < frames; ++f)
        for (int i = 0; i < def.PointCount(); ++i)
          db->SetPoint(f, def, i, {float(f % 400 + 9 * i), float(std::sin(f * 0.01) * 50 + i)});
      objects.push_back(&def);
    }
  }
  TMyStringGrid grid;
  TShowMenu menu;
  std::unique_ptr<TMotionDataBase> db;
  std::vector<TObjDef*> objects;
};

// range(1): 1 for every column shown, 0 for the default "Object X" and "Object Y" only.
void RecomputeAll(benchmark::State& state) {
  Model m(int(state.range(0)), state.range(1) ? kAllKinds : std::uint16_t(12));
  for (auto _ : state) {
    TMyStringGrid::TBulkUpdate bulk(m.grid);
    m.db->RecomputeAll();
  }
  state.counters["columns"] = m.grid.ColCount() - 1;
}
BENCHMARK(RecomputeAll)
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Args({10000, 0})
    ->Unit(benchmark::kMillisecond);

void OneClick(benchmark::State& state) {
  const int frames = int(state.range(0));
  Model m(frames);
  TObjDef& line = *m.objects[1];
  long long clicks = 0;
  const long long before = m.grid.CellWrites();
  for (auto _ : state) {
    m.db->SetPoint(frames / 2, line, 1, {float(50 + clicks % 3), 70});
    ++clicks;
  }
  state.counters["cells"] = double(m.grid.CellWrites() - before) / double(clicks);
}
BENCHMARK(OneClick)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The export and the table copy of every column over all frames (the texts a report takes).
void Export(benchmark::State& state) {
  Model m(int(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) bytes = std::size_t(ExportText(m.grid).size());
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(Export)->Arg(10000)->Unit(benchmark::kMillisecond);

void CopyAll(benchmark::State& state) {
  Model m(int(state.range(0)));
  TMeasureTable table(m.grid, m.menu, m.db->Objects());
  const QRect all(0, 0, m.grid.ColCount(), m.grid.RowCount());
  for (auto _ : state) benchmark::DoNotOptimize(table.TableCopyText(all));
}
BENCHMARK(CopyAll)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  TOffscreenProcess process(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
