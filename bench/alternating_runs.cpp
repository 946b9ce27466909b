// The alternation of plug-in and direct runs and the median of pairs.
#include "bench/alternating_runs.h"

#include <algorithm>
#include <cmath>

#include "bench/stopwatch.h"

namespace bench {

PairedTimes RunAlternating(const TimedRun& plugin, const TimedRun& direct, const Repetitions& repetitions) {
  double slowest = 0;
  for (int i = 0; i < repetitions.warmUps; ++i) {
    SetStretchSide("plugin", false);
    slowest = std::max(slowest, plugin());
    SetStretchSide("direct", false);
    slowest = std::max(slowest, direct());
  }
  int pairs = repetitions.minPairs;
  if (slowest > 0) {
    const double wanted = std::ceil(repetitions.secondsPerSide / slowest);
    pairs = static_cast<int>(std::clamp(wanted, static_cast<double>(repetitions.minPairs),
                                        static_cast<double>(repetitions.maxPairs)));
  }
  PairedTimes times;
  times.plugin.reserve(static_cast<size_t>(pairs));
  times.direct.reserve(static_cast<size_t>(pairs));
  auto runPlugin = [&] {
    SetStretchSide("plugin", true);
    times.plugin.push_back(plugin());
  };
  auto runDirect = [&] {
    SetStretchSide("direct", true);
    times.direct.push_back(direct());
  };
  for (int i = 0; i < pairs; ++i) {
    if (i % 2 == 0) {
      runPlugin();
      runDirect();
    } else {
      runDirect();
      runPlugin();
    }
  }
  SetStretchSide("", false);
  return times;
}

double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double position = q * static_cast<double>(values.size() - 1);
  const size_t below = static_cast<size_t>(std::floor(position));
  const size_t above = std::min(below + 1, values.size() - 1);
  const double fraction = position - static_cast<double>(below);
  return values[below] + (values[above] - values[below]) * fraction;
}

PairSummary Summarise(const PairedTimes& times) {
  PairSummary summary;
  std::vector<double> ratios;
  for (size_t i = 0; i < times.plugin.size() && i < times.direct.size(); ++i) {
    if (times.plugin[i] > 0) ratios.push_back(times.direct[i] / times.plugin[i]);
  }
  summary.plugin = Quantile(times.plugin, 0.5);
  summary.direct = Quantile(times.direct, 0.5);
  summary.ratio = Quantile(ratios, 0.5);
  summary.ratioLow = Quantile(ratios, 0.25);
  summary.ratioHigh = Quantile(ratios, 0.75);
  summary.pairs = static_cast<int>(ratios.size());
  return summary;
}

}  // namespace bench
