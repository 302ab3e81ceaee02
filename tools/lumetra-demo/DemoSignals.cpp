#include "DemoSignals.h"

#include <QByteArray>
#include <QFile>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "DemoScene.h"
#include "platform/Exception.h"
#include "signals/DataTypes.h"
#include "signals/Diadem.h"
#include "textio/BufFileStream.h"
#include "textio/FileStream.h"

namespace demo {
namespace {

double SampleTime(int i) {
  return kSignalFirstMs + i * kSignalIntervalMs;
}

float Sample(const SignalChannel& channel, int i) {
  return float(channel.value(SampleTime(i)));
}

// The shortest text that reads back as the same single-precision number.
std::string Text(float value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

void SetTestProperties(TSignalData& d, const SignalChannel& channel, int index) {
  d.SetProperty(TSignalData::kName, QString::fromLatin1(channel.name));
  d.SetProperty(TSignalData::kRefNumber, 1001.0 + index);
  d.SetProperty(TSignalData::kTestId, QStringLiteral("Lumetra demo"));
  d.SetProperty(TSignalData::kEngineer, QStringLiteral("lumetra-demo"));
  d.SetProperty(TSignalData::kTestDate, QStringLiteral("01.06.2024"));
  d.SetProperty(TSignalData::kTestTime, QStringLiteral("12:00:00"));
  d.SetProperty(TSignalData::kTransducerUnits, QString::fromLatin1(channel.unit));
  d.SetProperty(TSignalData::kUnits, QString::fromLatin1(channel.unit));
  // The time base the writer turns into the file's implicit time axis.
  d.SetProperty(TSignalData::kMinTime, kSignalFirstMs);
  d.SetProperty(TSignalData::kTimeScaleFactor, kSignalIntervalMs);
  d.SetProperty(TSignalData::kMaxTime, SampleTime(kSignalCount - 1));
}

// The samples enter the channel as a data file would hand them over: REAL32, scale 1, offset 0.
void LoadSamples(TSignalData& d, const SignalChannel& channel) {
  d.SetProperty(TSignalData::kDataFileType, double(sigtype::kReal32));
  d.SetProperty(TSignalData::kDataType, double(sigtype::kReal32));
  d.SetProperty(TSignalData::kDataCount, double(kSignalCount));
  d.SetProperty(TSignalData::kScaleFactor, 1.0);
  d.SetProperty(TSignalData::kOffset, 0.0);
  QByteArray bytes;
  for (int i = 0; i < kSignalCount; ++i) {
    const float v = Sample(channel, i);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    for (int b = 0; b < 4; ++b) bytes.append(char((bits >> (8 * b)) & 0xFF));
  }
  TBufFileStream stream(std::make_unique<TMemoryStream>(bytes));
  d.DataStart = 0;
  d.LoadData(stream);
}

void WriteDiadem(const QString& folder) {
  TDiademSignalDatabase db;
  const auto& channels = SignalChannels();
  for (std::size_t k = 0; k < channels.size(); ++k) {
    TSignalData& d = db.NewChannel();
    SetTestProperties(d, channels[k], int(k));
    LoadSamples(d, channels[k]);
  }
  db.SaveToFile(folder + u'/' + QLatin1String(kDiademStem) + QStringLiteral(".dat"));
}

// A text file yields one source, its first value column; and a second column that steps
// evenly (X moves at constant speed) is taken for the time. Y, which does not, comes first.
constexpr std::array<int, 6> kCsvOrder = {1, 0, 2, 3, 4, 5};

void WriteCsv(const QString& folder) {
  std::string text =
      "Lumetra demo test: target position (mm), velocity (mm/s) and acceleration (mm/s^2) "
      "against test time (ms)\r\nTime";
  const auto& channels = SignalChannels();
  for (int k : kCsvOrder) text += std::string(",") + channels[k].name;
  text += "\r\n";
  for (int i = 0; i < kSignalCount; ++i) {
    text += Text(float(SampleTime(i)));
    for (int k : kCsvOrder) text += "," + Text(Sample(channels[k], i));
    text += "\r\n";
  }
  const QString path = folder + u'/' + QLatin1String(kCsvFile);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(text.data(), qint64(text.size())) != qint64(text.size()) || !f.flush())
    throw Exception(path + QStringLiteral(": ") + f.errorString());
}

}  // namespace

const std::array<SignalChannel, 6>& SignalChannels() {
  static const std::array<SignalChannel, 6> channels = {{
      {"Target X", "mm", "x0 + vx*t", [](double ms) { return TargetAt(ms).x; }},
      {"Target Y", "mm", "y0 + vy*t - g*t^2/2", [](double ms) { return TargetAt(ms).y; }},
      {"Target VX", "mm/s", "vx", [](double ms) { return TargetVelocity(ms).x; }},
      {"Target VY", "mm/s", "vy - g*t", [](double ms) { return TargetVelocity(ms).y; }},
      {"Target AX", "mm/s^2", "0", [](double ms) { return TargetAcceleration(ms).x; }},
      {"Target AY", "mm/s^2", "-g", [](double ms) { return TargetAcceleration(ms).y; }},
  }};
  return channels;
}

void WriteSignals(const QString& folder) {
  WriteDiadem(folder);
  WriteCsv(folder);
}

}  // namespace demo
