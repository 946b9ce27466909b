// Times the measured stretch of one run. When the benchmark runs under
// callgrind with collection off at start (bench/run --instructions), each
// counted stretch also has its instructions collected and dumped under the
// case's name and side, which the instruction table is made from.
#pragma once

#include <string>

namespace bench {

// The case whose runs follow; set by each case before its runs.
void SetStretchCase(const std::string& name);
// The side of the run that follows ("plugin" or "direct") and whether it is
// counted (warm-up runs are not); set by the alternation.
void SetStretchSide(const char* side, bool counted);

class Stopwatch {
 public:
  Stopwatch();
  // Seconds since construction.
  double Stop();

 private:
  double start;
};

}  // namespace bench
