// The main window's master timer with real display windows on the offscreen platform, over a
// 1 GB uncompressed 1024x1024 clip it writes itself (and seven more names for the same file):
// from queuing the clip to its first frame drawn, and one master tick with 8 open clips when
// no frame changes and when every clip steps to a new frame. Drawing happens in the paint
// events, so every measured step also lets the pending events run. The file is in the page
// cache after it is written: these are warm-cache figures.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <clocale>
#include <filesystem>
#include <memory>
#include <vector>

#include "OffscreenProcess.h"
#include "app/AboutForm.h"
#include "app/VarnelViewer.h"
#include "display/DisplayForm.h"
#include "platform/Dialogs.h"
#include "platform/RegIniFile.h"
#include "platform/avifile/AviWriter.h"

namespace {

constexpr LONG kSide = 1024;
constexpr LONG kFrames = 342;  // 3 MiB each: 1 GiB of pictures
constexpr int kClips = 8;

QTemporaryDir* g_dir = nullptr;

QString ClipPath(int i) {
  return g_dir->filePath(QStringLiteral("cam%1.avi").arg(i));
}

bool WriteBigClip() {
  avifile::AviWriter writer;
  const std::string path = ClipPath(0).toStdString();
  if (writer.open(path, kSide, kSide, 24, nullptr, avifile::AviCodec::Dib, 1000, 1, 0, 0) !=
      AVIERR_OK)
    return false;
  std::vector<BYTE> rows(std::size_t(kSide) * kSide * 3);
  for (LONG f = 0; f < kFrames; ++f) {
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = BYTE(i / 3 + std::size_t(f) * 7);
    if (writer.writeRows(rows.data(), kSide * 3) != AVIERR_OK) return false;
  }
  if (writer.close() != AVIERR_OK) return false;
  for (int i = 1; i < kClips; ++i)  // other names, one file: each opens its own stream
    std::filesystem::create_hard_link(path, ClipPath(i).toStdString());
  return true;
}

std::unique_ptr<TVarnelViewer> Viewer() {
  auto w = std::make_unique<TVarnelViewer>(nullptr, QStringList{});
  w->Timer().stop();
  w->About()->hide();
  return w;
}

void Tick(TVarnelViewer& w) {
  w.MasterTimer();
  w.Timer().stop();
  QCoreApplication::processEvents();
}

void BM_QueueToFirstFrameDrawn(benchmark::State& state) {
  auto w = Viewer();
  for (auto _ : state) {
    w->OpenQueue() << ClipPath(0);
    Tick(*w);  // opens the clip and fetches frame 0
    Tick(*w);  // the first poll shows the window; its paint event draws the frame
    state.PauseTiming();
    if (w->Children().size() != 1) state.SkipWithError("the clip did not open");
    w->CloseAllChildren();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_QueueToFirstFrameDrawn)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

std::unique_ptr<TVarnelViewer> EightClips() {
  auto w = Viewer();
  for (int i = 0; i < kClips; ++i) w->OpenQueue() << ClipPath(i);
  for (int i = 0; i < 3; ++i) Tick(*w);
  return w;
}

void BM_TickEightClipsUnchanged(benchmark::State& state) {
  auto w = EightClips();
  if (w->Children().size() != kClips) state.SkipWithError("the clips did not open");
  for (auto _ : state) Tick(*w);
}
BENCHMARK(BM_TickEightClipsUnchanged)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_TickEightClipsAllChange(benchmark::State& state) {
  auto w = EightClips();
  if (w->Children().size() != kClips) state.SkipWithError("the clips did not open");
  TMasterTimeline& timeline = w->Timeline();
  for (auto _ : state) {
    if (timeline.MasterTime() >= timeline.MasterEnd())
      timeline.JumpToStart();
    else
      timeline.StepForward();
    Tick(*w);
  }
}
BENCHMARK(BM_TickEightClipsAllChange)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  TOffscreenProcess process(argc, argv);
  QTemporaryDir dir;
  g_dir = &dir;
  if (!WriteBigClip()) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
