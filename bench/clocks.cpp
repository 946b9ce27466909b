// The clock a benchmark run measures with, chosen once at its start.
#include "bench/clocks.h"

namespace bench {
namespace {

ClockKind measuringClock = ClockKind::ProcessorTime;

}  // namespace

ClockKind MeasuringClock() { return measuringClock; }
void SetMeasuringClock(ClockKind kind) { measuringClock = kind; }
const char* ClockName(ClockKind kind) { return kind == ClockKind::ProcessorTime ? "cpu" : "wall"; }

}  // namespace bench
