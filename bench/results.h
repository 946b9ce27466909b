// One benchmark run's results, one row per case, and the three ways they are
// shown: a Markdown table on the console, a CSV file and an SVG chart.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

enum class RowKind {
  Ratio,  // timed side by side; the goal is a least ratio direct / plug-in
  Time,   // timed; the goal is a greatest plug-in time in seconds
  Count,  // heap allocations per call; the goal is a greatest count added by the plug-in
};

struct ResultRow {
  std::string group;  // "read", "write", "seek", "start-up", "panel", "allocations"
  std::string name;   // the case within its group
  RowKind kind = RowKind::Ratio;
  double plugin = 0;  // median seconds, or allocations per call
  double direct = 0;
  double ratio = 0;   // median of direct / plug-in over the pairs
  double ratioLow = 0;
  double ratioHigh = 0;
  int pairs = 0;
  double goal = 0;

  bool Met() const;
  std::string GoalText() const;
};

struct RunDescription {
  std::string mode;   // "full" or "smoke"
  std::string label;  // what was measured (revision, date), from the caller
  std::string machine;  // processor and load, as read at the start
};

// "12.3 ms", "845 us", "1.20 s".
std::string FormatSeconds(double seconds);

void PrintTable(const std::vector<ResultRow>& rows, std::FILE* out);
bool WriteCsv(const std::vector<ResultRow>& rows, const std::string& path);
bool WriteSvgChart(const std::vector<ResultRow>& rows, const RunDescription& run, const std::string& path);

}  // namespace bench
