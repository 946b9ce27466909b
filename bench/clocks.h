// The clocks the benchmarks measure with. By default a run is timed by the
// processor time it consumed (its thread's, or a start-up child's whole
// process's, user and system alike): on a machine shared with other work,
// the time a run spends preempted is then not charged to it. The wall
// clock is the alternative, for a quiet machine.
#pragma once

#include <time.h>

namespace bench {

enum class ClockKind { ProcessorTime, WallTime };

// Seconds on the given clock; CLOCK_THREAD_CPUTIME_ID or CLOCK_MONOTONIC.
inline double ClockSeconds(ClockKind kind, clockid_t processorClock = CLOCK_THREAD_CPUTIME_ID) {
  timespec now{};
  clock_gettime(kind == ClockKind::ProcessorTime ? processorClock : CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The clock of this benchmark run, and its name as given on command lines.
ClockKind MeasuringClock();
void SetMeasuringClock(ClockKind kind);
const char* ClockName(ClockKind kind);  // "cpu" or "wall"

}  // namespace bench
