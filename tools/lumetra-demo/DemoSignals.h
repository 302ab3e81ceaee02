#pragma once

#include <QString>
#include <array>

namespace demo {

// The target's recorded signals: one sample a millisecond over the cameras' span.
constexpr double kSignalFirstMs = -200, kSignalIntervalMs = 1;
constexpr int kSignalCount = 1201;

struct SignalChannel {
  const char* name;
  const char* unit;
  const char* formula;         // in the terms of the target's path
  double (*value)(double ms);  // exact; files hold it as a single-precision number
};
const std::array<SignalChannel, 6>& SignalChannels();

// The DIAdem header and its data file (stem + ".dat", stem + ".R32").
constexpr const char* kDiademStem = "target";
constexpr const char* kCsvFile = "target.csv";

// Writes the DIAdem file set and the CSV file into folder; raises Exception on failure.
void WriteSignals(const QString& folder);

}  // namespace demo
