#include "signals/GraphFill.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "signals/PESGraph.h"
#include "signals/SigClass.h"
#include "signals/SignalData.h"

void FillGraphSubset(PESGraph& graph, int subset, TSigClass& source, int points) {
  std::vector<float> x(std::size_t(std::max(points, 0)), kGraphNull);
  std::vector<float> y(x.size(), kGraphNull);
  const bool ownNull = source.NullValue != kSignalNullValue;
  const int count = std::min(source.Count, points);
  source.Reset();
  for (int j = 0; j < count; ++j) {
    float v = source.NextValue();
    if (ownNull && std::fabs(double(v) - double(source.NullValue)) < 1.0) v = kGraphNull;
    y[std::size_t(j)] = v;
    x[std::size_t(j)] = float(j * source.Interval + source.FirstTime);
  }
  graph.SetSubsetValues(subset, x, y);
}
