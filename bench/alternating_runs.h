// Side-by-side timing: the plug-in run and the direct run alternate, pair by
// pair, so that drift of the machine (other processes, frequency, caches)
// falls on both alike; the ratio is the median of the pairs' ratios.
#pragma once

#include <functional>
#include <vector>

namespace bench {

// One run of one side; returns the seconds it measured itself, so that setup
// outside the measured stretch (opening a file for seeks, spawning a child)
// stays out of the figure.
using TimedRun = std::function<double()>;

struct Repetitions {
  int warmUps = 1;             // runs of each side before measuring, not kept
  int minPairs = 15;
  int maxPairs = 301;
  double secondsPerSide = 1.5;  // pairs are added up to about this much time per side
};

struct PairedTimes {
  std::vector<double> plugin;
  std::vector<double> direct;
};

// Runs warm-ups, then pairs in the order A B, B A, A B, ... (each side goes
// first in half of the pairs, so neither profits from the other's warm
// caches), with as many pairs as the warm-up times suggest.
PairedTimes RunAlternating(const TimedRun& plugin, const TimedRun& direct, const Repetitions& repetitions);

struct PairSummary {
  double plugin = 0;     // median seconds
  double direct = 0;     // median seconds
  double ratio = 0;      // median of direct / plug-in over the pairs
  double ratioLow = 0;   // first quartile of the pairs' ratios
  double ratioHigh = 0;  // third quartile
  int pairs = 0;
};
PairSummary Summarise(const PairedTimes& times);

// The q-quantile (0..1) of the values, interpolated; 0 for none.
double Quantile(std::vector<double> values, double q);

}  // namespace bench
