// The AVI library against the ffmpeg command line on 1024x1024 clips it makes itself:
// sequential MJPEG decoding through AVIStreamGetFrame (frames per second, and the ratio to
// `ffmpeg -i CLIP -f rawvideo -pix_fmt bgr24 -y /dev/null` on the same file in the same run),
// and stepping backward and jumping at random in H.264 with a key frame every 250 frames
// (median and 95th percentile latency in milliseconds).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/avifile/AviFile.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr LONG kMjpegFrames = 200;
constexpr LONG kH264Frames = 300;

const fs::path& WorkDir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("lumetra-avifile-bench-" + std::to_string(getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

// Makes a clip once per run with the ffmpeg command line; the path.
std::string Clip(const std::string& name, LONG frames, const std::string& codec) {
  const fs::path path = WorkDir() / name;
  if (!fs::exists(path)) {
    const std::string command =
        "ffmpeg -v error -nostdin -f lavfi -i testsrc2=size=1024x1024:rate=25 -frames:v " +
        std::to_string(frames) + " " + codec + " -y '" + path.string() + "'";
    if (std::system(command.c_str()) != 0) return {};
  }
  return path.string();
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

struct Stream {
  explicit Stream(const std::string& path) {
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr) != AVIERR_OK) return;
    AVIFileGetStream(file, &stream, streamtypeVIDEO, 0);
    AVIFileRelease(file);
  }
  ~Stream() {
    if (stream) AVIStreamRelease(stream);
  }
  PAVISTREAM stream = nullptr;
};

void SetLatencies(benchmark::State& state, std::vector<double> ms) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  state.counters["median_ms"] = ms[ms.size() / 2];
  state.counters["p95_ms"] = ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
  state.counters["max_ms"] = ms.back();
}

void BM_SequentialMjpeg(benchmark::State& state) {
  const std::string clip = Clip("mjpeg.avi", kMjpegFrames, "-c:v mjpeg -q:v 3");
  Stream s(clip);
  if (!s.stream) return state.SkipWithError("no clip");
  double ours = 0;
  long runs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    PGETFRAME getter = AVIStreamGetFrameOpen(s.stream, nullptr);
    for (LONG f = 0; f < kMjpegFrames; ++f) benchmark::DoNotOptimize(AVIStreamGetFrame(getter, f));
    AVIStreamGetFrameClose(getter);
    ours += Seconds(Clock::now() - start);
    ++runs;
  }
  // The command line on the same file, as often as we ran.
  double theirs = 0;
  const std::string command =
      "ffmpeg -v error -nostdin -i '" + clip + "' -f rawvideo -pix_fmt bgr24 -y /dev/null";
  for (long i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return state.SkipWithError("ffmpeg failed");
    theirs += Seconds(Clock::now() - start);
  }
  state.SetItemsProcessed(runs * kMjpegFrames);
  state.counters["fps"] = double(runs * kMjpegFrames) / ours;
  state.counters["ffmpeg_fps"] = double(runs * kMjpegFrames) / theirs;
  state.counters["ratio"] = theirs / ours;
}
BENCHMARK(BM_SequentialMjpeg)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

const std::string kH264 = "-c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0";

// From the last frame of the first group, one frame back at a time to its key frame.
void BM_StepBackwardH264(benchmark::State& state) {
  Stream s(Clip("h264.avi", kH264Frames, kH264));
  if (!s.stream) return state.SkipWithError("no clip");
  std::vector<double> ms;
  for (auto _ : state) {
    PGETFRAME getter = AVIStreamGetFrameOpen(s.stream, nullptr);
    benchmark::DoNotOptimize(AVIStreamGetFrame(getter, 249));
    for (LONG f = 248; f >= 0; --f) {
      const auto start = Clock::now();
      benchmark::DoNotOptimize(AVIStreamGetFrame(getter, f));
      ms.push_back(1000 * Seconds(Clock::now() - start));
    }
    AVIStreamGetFrameClose(getter);
  }
  SetLatencies(state, std::move(ms));
}
BENCHMARK(BM_StepBackwardH264)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// Jumps to frames not decoded before (a fresh getter each, opened outside the timing).
void BM_RandomJumpH264(benchmark::State& state) {
  Stream s(Clip("h264.avi", kH264Frames, kH264));
  if (!s.stream) return state.SkipWithError("no clip");
  std::mt19937 random(42);
  std::uniform_int_distribution<LONG> frame(0, kH264Frames - 1);
  std::vector<double> ms;
  for (auto _ : state) {
    for (int jump = 0; jump < 20; ++jump) {
      PGETFRAME getter = AVIStreamGetFrameOpen(s.stream, nullptr);
      const LONG target = frame(random);
      const auto start = Clock::now();
      benchmark::DoNotOptimize(AVIStreamGetFrame(getter, target));
      ms.push_back(1000 * Seconds(Clock::now() - start));
      AVIStreamGetFrameClose(getter);
    }
  }
  SetLatencies(state, std::move(ms));
}
BENCHMARK(BM_RandomJumpH264)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  AVIFileInit();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  AVIFileExit();
  std::error_code ignored;
  fs::remove_all(WorkDir(), ignored);
  return 0;
}
