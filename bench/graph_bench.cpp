// The graph control at crash-test size: 14 sources of 1,000,000 samples. Rebuild, one redraw
// after a horizontal zoom, one cursor move; peak memory reported as a counter (KB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <cmath>
#include <memory>
#include <vector>

#include "OffscreenProcess.h"
#include "signals/PESGraph.h"

namespace {

constexpr int kSubsets = 14, kPoints = 1000000;

double PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss);
}

// Loaded as the graph window loads it: per-point values handed over subset by subset.
std::unique_ptr<PESGraph> BigGraph() {
  auto g = std::make_unique<PESGraph>();
  g->resize(1600, 1000);
  g->SetSubsets(kSubsets);
  g->SetPoints(kPoints);
  g->ClearAxisLayout();
  for (int a = 1; a < kSubsets; ++a) g->SetSubsetsPerAxis(a, 1);
  std::vector<float> x(kPoints), y(kPoints);
  for (int s = 0; s < kSubsets; ++s) {
    for (int p = 0; p < kPoints; ++p) {
      x[size_t(p)] = float(p * 0.01 - 100);
      y[size_t(p)] = float(std::sin(p * 0.0007 * (s + 1)) * 100 + (p % 97) * 0.1);
    }
    g->SetSubsetValues(s, x, y);
  }
  g->CursorMode = sgCrossHair;
  g->AllowZooming = sgHorzPlusVertZooming;
  g->show();
  return g;
}

void BM_Rebuild14x1M(benchmark::State& state) {
  auto g = BigGraph();
  for (auto _ : state) g->PEactions(peRebuild);
  state.counters["peak_rss_kb"] = PeakRssKb();
}
BENCHMARK(BM_Rebuild14x1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RedrawAfterHorizontalZoom(benchmark::State& state) {
  auto g = BigGraph();
  g->PEactions(peRebuild);
  int i = 0;
  for (auto _ : state) {
    const double from = -100 + (i++ % 10) * 500;
    g->ZoomX(from, from + 4000);  // replots every band at once
  }
  state.counters["peak_rss_kb"] = PeakRssKb();
}
BENCHMARK(BM_RedrawAfterHorizontalZoom)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_CursorMove(benchmark::State& state) {
  auto g = BigGraph();
  g->PEactions(peRebuild);
  int p = 0;
  for (auto _ : state) g->SetCursorPoint(p = (p + 7919) % kPoints);
  state.counters["peak_rss_kb"] = PeakRssKb();
}
BENCHMARK(BM_CursorMove)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

int main(int argc, char** argv) {
  TOffscreenProcess process(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
