// Parsing the RIFF tree of a long clip: 100,000 frame chunks in "movi" and their "idx1".
// Goal: under 100 ms and under 30 MB. The counters report the peak of heap bytes taken through
// operator new during one parse, and the process's peak resident size.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cstdlib>
#include <new>

#include "clip/RIFF.h"

namespace {

std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};

void Count(void* p) {
  if (!p) return;
  const long long now = liveBytes += (long long)malloc_usable_size(p);
  long long peak = peakBytes.load();
  while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
  }
}

}  // namespace

void* operator new(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  Count(p);
  return p;
}
void operator delete(void* p) noexcept {
  if (p) liveBytes -= (long long)malloc_usable_size(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}

namespace {

constexpr int kFrames = 100000;
constexpr int kFrameBytes = 16;

QByteArray Le32(std::uint32_t v) {
  QByteArray b(4, '\0');
  for (int i = 0; i < 4; ++i) b[i] = char(v >> (8 * i));
  return b;
}

QByteArray Chunk(const char* id, const QByteArray& data) {
  return QByteArray(id, 4) + Le32(std::uint32_t(data.size())) + data;
}

QByteArray List(const char* type, const QByteArray& body) {
  return "LIST" + Le32(std::uint32_t(body.size() + 4)) + QByteArray(type, 4) + body;
}

// A valid AVI layout written piece by piece, so that the generator leaves no large peak.
QString WriteLongClip(const QString& path) {
  const QByteArray strl =
      List("strl", Chunk("strh", QByteArray(56, '\0')) + Chunk("strf", QByteArray(40, '\0')));
  const QByteArray hdrl = List("hdrl", Chunk("avih", QByteArray(56, '\0')) + strl);
  const std::uint32_t moviSize = 4 + kFrames * (8 + kFrameBytes);
  const std::uint32_t idxSize = kFrames * 16;
  const std::uint32_t riffSize = 4 + hdrl.size() + 8 + moviSize + 8 + idxSize;
  QFile f(path);
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write("RIFF" + Le32(riffSize) + "AVI " + hdrl + "LIST" + Le32(moviSize) + "movi");
  const QByteArray frame = Chunk("00db", QByteArray(kFrameBytes, 'x'));
  for (int i = 0; i < kFrames; ++i) f.write(frame);
  f.write("idx1" + Le32(idxSize));
  for (int i = 0; i < kFrames; ++i)
    f.write("00db" + Le32(0x10) + Le32(std::uint32_t(4 + i * frame.size())) + Le32(kFrameBytes));
  return path;
}

double MaxRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void BM_ParseRiffOf100kFrames(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = WriteLongClip(dir.filePath(QStringLiteral("long.avi")));
  std::size_t frames = 0;
  for (auto _ : state) {
    TRIFF riff(path);
    TRIFFChunk* movi = nullptr;
    riff.FindChild(ChunkCode("movi"), movi);
    frames = movi ? movi->Children.size() : 0;
    benchmark::DoNotOptimize(frames);
  }
  const long long before = liveBytes.load();
  peakBytes = before;
  { TRIFF riff(path); }
  state.counters["frames"] = double(frames);
  state.counters["peak_heap_MB"] = double(peakBytes.load() - before) / (1024.0 * 1024.0);
  state.counters["max_rss_MB"] = MaxRssMegabytes();
}
BENCHMARK(BM_ParseRiffOf100kFrames)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
