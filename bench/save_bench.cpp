// Saving and scattering against the ffmpeg command line on a 1024x1024 MJPEG clip it makes
// itself: AVISaveVA to MJPEG at full quality (against `ffmpeg -i CLIP -c:v mjpeg -q:v 2`) and
// the clip stream's scatter to BMP files (against `ffmpeg -i CLIP DIR/F%07d.bmp`). Each
// reports the ratio ffmpeg time / our time measured in the same run (above 1: faster).

#include <benchmark/benchmark.h>

#include <QString>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "clip/AviStream.h"
#include "platform/avifile/AviSave.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFrames = 120;

const fs::path& WorkDir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("lumetra-save-bench-" + std::to_string(getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

const std::string& Clip() {
  static const std::string path = [] {
    const std::string p = (WorkDir() / "source.avi").string();
    std::system(("ffmpeg -v error -nostdin -f lavfi -i testsrc2=size=1024x1024:rate=25 -frames:v " +
                 std::to_string(kFrames) + " -c:v mjpeg -q:v 3 -pix_fmt yuvj420p -y '" + p + "'")
                    .c_str());
    return p;
  }();
  return path;
}

// Seconds of one run of an ffmpeg command, process start included (as a user would run it).
double FfmpegSeconds(const std::string& arguments) {
  const auto start = Clock::now();
  std::system(("ffmpeg -v error -nostdin -y " + arguments).c_str());
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void SaveMjpeg(benchmark::State& state) {
  const std::string target = (WorkDir() / "saved.avi").string();
  const double ffmpeg = FfmpegSeconds("-i '" + Clip() + "' -c:v mjpeg -q:v 2 -pix_fmt yuvj420p '" +
                                      (WorkDir() / "ffmpeg.avi").string() + "'");
  double ours = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    AVIFileOpenA(&file, Clip().c_str(), OF_READ, nullptr);
    AVIFileGetStream(file, &stream, streamtypeVIDEO, 0);
    AVIFileRelease(file);
    AVICOMPRESSOPTIONS options;
    options.fccHandler = MakeFourCC('M', 'J', 'P', 'G');
    options.dwQuality = 10000;
    options.dwFlags = AVICOMPRESSF_VALID;
    AVICOMPRESSOPTIONS* list[] = {&options};
    if (AVISaveVA(target.c_str(), nullptr, nullptr, 1, &stream, list) != AVIERR_OK)
      state.SkipWithError("save failed");
    AVIStreamRelease(stream);
    ours += std::chrono::duration<double>(Clock::now() - start).count();
  }
  state.counters["ratio_to_ffmpeg"] = ffmpeg / (ours / double(state.iterations()));
  state.counters["fps"] =
      benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate);
}

void ScatterBmp(benchmark::State& state) {
  const fs::path ffmpegDir = WorkDir() / "ffmpeg-bmp";
  fs::create_directories(ffmpegDir);
  const double ffmpeg =
      FfmpegSeconds("-i '" + Clip() + "' '" + (ffmpegDir / "F%07d.bmp").string() + "'");
  double ours = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    TAVISTREAM stream(QStringLiteral("AVI"));
    stream.Open(QString::fromStdString(Clip()));
    if (stream.Scatter(QString::fromStdString((WorkDir() / "bmp").string()), 3, nullptr, nullptr) !=
        AVIERR_OK)
      state.SkipWithError("scatter failed");
    ours += std::chrono::duration<double>(Clock::now() - start).count();
  }
  state.counters["ratio_to_ffmpeg"] = ffmpeg / (ours / double(state.iterations()));
  state.counters["fps"] =
      benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(SaveMjpeg)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(ScatterBmp)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
