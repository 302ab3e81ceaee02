// Loading signal files, each as a ratio to a plain read of the same bytes in the same run.
// Goals: DIAdem sample data at 1 GB/s or more from the page cache (14 channels of 1,000,000
// REAL32 samples); an ASCII file of 1,000,000 two-column lines built and read at 100 MB/s.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "signals/AsciiSig.h"
#include "signals/Diadem.h"
#include "signals/SigInfo.h"

namespace {

constexpr int kChannels = 14;
constexpr int kSamples = 1000000;
constexpr int kLines = 1000000;

QTemporaryDir& Dir() {
  static QTemporaryDir dir;
  return dir;
}

QString WriteFile(const char* name, const QByteArray& bytes) {
  const QString path = Dir().filePath(QLatin1String(name));
  QFile f(path);
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(bytes);
  return path;
}

// A header over one data file holding the channels one after another.
const QString& DiademFiles() {
  static const QString header = [] {
    std::vector<float> samples(std::size_t(kChannels) * kSamples);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = float(i % 1000) * 0.25f;
    WriteFile("bench.R32", QByteArray(reinterpret_cast<const char*>(samples.data()),
                                      qsizetype(samples.size() * sizeof(float))));
    std::string text =
        "#BEGINGLOBALHEADER\r\n101,bench\r\n#ENDGLOBALHEADER\r\n#BEGINCHANNELHEADER\r\n"
        "200,Time\r\n202,s\r\n210,IMPLICIT\r\n220,1000000\r\n240,0\r\n241,0.00001\r\n"
        "#ENDCHANNELHEADER\r\n";
    for (int c = 0; c < kChannels; ++c)
      text += "#BEGINCHANNELHEADER\r\n200,ch" + std::to_string(c) +
              "\r\n202,g\r\n210,EXPLICIT\r\n211,bench.R32\r\n214,REAL32\r\n220," +
              std::to_string(kSamples) + "\r\n221," + std::to_string(c * kSamples + 1) +
              "\r\n240,0\r\n241,1\r\n#ENDCHANNELHEADER\r\n";
    return WriteFile("bench.dat", QByteArray::fromStdString(text));
  }();
  return header;
}

const QString& AsciiFile() {
  static const QString path = [] {
    std::string text = "Time Accel\r\n";
    char line[64];
    for (int i = 0; i < kLines; ++i) {
      std::snprintf(line, sizeof line, "%.5f,%.3f\r\n", i * 0.0001, (i % 977) * 0.125);
      text += line;
    }
    return WriteFile("bench.csv", QByteArray::fromStdString(text));
  }();
  return path;
}

// Seconds of the fastest of five plain reads of a file into memory.
double PlainReadSeconds(const QString& path, std::int64_t& bytes) {
  std::vector<char> buffer(std::size_t(QFile(path).size()));
  bytes = std::int64_t(buffer.size());
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    std::FILE* f = std::fopen(path.toLocal8Bit().constData(), "rb");
    benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), f));
    std::fclose(f);
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

void Report(benchmark::State& state, double seconds, std::int64_t bytes, double plain) {
  state.SetBytesProcessed(bytes * std::int64_t(state.iterations()));
  state.counters["ratio_to_plain_read"] = seconds / double(state.iterations()) / plain;
  state.counters["MB_per_s"] = double(bytes) / (seconds / double(state.iterations())) / 1e6;
}

void BM_DiademLoad14x1M(benchmark::State& state) {
  const QString header = DiademFiles();
  std::int64_t bytes = 0;
  const double plain = PlainReadSeconds(Dir().filePath(QStringLiteral("bench.R32")), bytes);
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    TDiademSignalDatabase db;
    db.LoadFromFile(header);
    benchmark::DoNotOptimize(db.Channels(db.Count() - 1).GetValue(kSamples - 1));
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  Report(state, seconds, bytes, plain);
}
BENCHMARK(BM_DiademLoad14x1M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AsciiBuildAndRead1M(benchmark::State& state) {
  const QString path = AsciiFile();
  std::int64_t bytes = 0;
  const double plain = PlainReadSeconds(path, bytes);
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    TSigInfoRecord info;
    bool all = true;
    TASCIIColumn column(path, all, info);
    float sum = 0;
    for (int i = 0; i < column.Count; ++i) sum += column.NextValue();
    benchmark::DoNotOptimize(sum);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  Report(state, seconds, bytes, plain);
}
BENCHMARK(BM_AsciiBuildAndRead1M)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
