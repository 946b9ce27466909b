// Rows of the results table made from paired timings.
#include <cstdio>

#include "bench/bench_context.h"

namespace bench {

ResultRow RatioRow(const std::string& group, const std::string& name, const PairedTimes& times, double goal) {
  const PairSummary summary = Summarise(times);
  ResultRow row;
  row.group = group;
  row.name = name;
  row.kind = RowKind::Ratio;
  row.plugin = summary.plugin;
  row.direct = summary.direct;
  row.ratio = summary.ratio;
  row.ratioLow = summary.ratioLow;
  row.ratioHigh = summary.ratioHigh;
  row.pairs = summary.pairs;
  row.goal = goal;
  return row;
}

void ReportProgress(const ResultRow& row) {
  if (row.kind == RowKind::Count) {
    std::fprintf(stderr, "  %s: %s: %g / %g per call\n", row.group.c_str(), row.name.c_str(), row.plugin, row.direct);
  } else {
    std::fprintf(stderr, "  %s: %s: %s / %s, ratio %.3f over %d pairs\n", row.group.c_str(), row.name.c_str(),
                 FormatSeconds(row.plugin).c_str(), FormatSeconds(row.direct).c_str(), row.ratio, row.pairs);
  }
}

}  // namespace bench
