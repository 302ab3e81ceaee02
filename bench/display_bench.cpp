// The display window on a 1 GB clip (1024x1024, 24-bit, uncompressed): from creating the
// window to its first frame painted, and ShowTime when the frame stays and when it changes.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <clocale>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "OffscreenProcess.h"
#include "clip/AviStream.h"
#include "display/DisplayForm.h"
#include "platform/avifile/AviWriter.h"

namespace {

namespace fs = std::filesystem;

constexpr LONG kSide = 1024;
constexpr LONG kFrames = 342;  // 3 MB each: just over 1 GB

// Writes the clip once per run; its path.
const QString& BigClip() {
  static const QString path = [] {
    const fs::path file =
        fs::temp_directory_path() / ("lumetra-display-bench-" + std::to_string(getpid()) + ".avi");
    avifile::AviWriter writer;
    writer.open(file.string(), kSide, kSide, 24, nullptr, avifile::AviCodec::Dib, 1000, 1, 0, 9000);
    std::vector<BYTE> rows(std::size_t(kSide) * kSide * 3);
    for (LONG f = 0; f < kFrames; ++f) {
      std::fill(rows.begin(), rows.end(), BYTE(f));
      writer.writeRows(rows.data(), kSide * 3);
    }
    writer.close();
    return QString::fromStdString(file.string());
  }();
  return path;
}

std::unique_ptr<TDisplayForm> OpenWindow() {
  const QString& path = BigClip();
  return std::make_unique<TDisplayForm>(nullptr, nullptr, TChildShared{}, path, path,
                                        std::make_unique<TAVISTREAM>(QStringLiteral("AVI")));
}

void BM_FirstFrameDrawn(benchmark::State& state) {
  BigClip();
  for (auto _ : state) {
    auto form = OpenWindow();
    bool hasTiming = false, frozen = false;
    form->Poll(hasTiming, frozen);  // the first show
    QApplication::processEvents();
    QImage shown = form->findChild<QWidget*>(QStringLiteral("PaintBox"))->grab().toImage();
    benchmark::DoNotOptimize(shown);
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstFrameDrawn)->Unit(benchmark::kMillisecond)->Iterations(10);

// What a master tick costs a window whose frame stays, and one whose frame changes.
void BM_ShowTime(benchmark::State& state) {
  const bool change = state.range(0) != 0;
  auto form = OpenWindow();
  form->show();
  QApplication::processEvents();
  int frame = 0;
  for (auto _ : state) {
    if (change) frame = (frame + 1) % kFrames;
    form->ShowTime(float(frame));
    bool hasTiming = false, frozen = false;
    benchmark::DoNotOptimize(form->Poll(hasTiming, frozen));
    QApplication::processEvents();  // the paint of a changed frame
  }
}
BENCHMARK(BM_ShowTime)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  TOffscreenProcess process(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove(BigClip().toStdString(), ignored);
  return 0;
}
