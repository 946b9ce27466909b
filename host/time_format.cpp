// format_timestr: seconds as h:mm:ss.mmm or m:ss.mmm, rounded to the
// millisecond first so that 59.9996 s reads 1:00.000, not 0:60.000.
#include "host/time_format.h"

#include <cmath>
#include <cstdio>

void FormatTime(double seconds, char* buffer, int bufferSize) {
  if (buffer == nullptr || bufferSize < 1) return;
  const size_t size = static_cast<size_t>(bufferSize);
  // Lengths the host cannot render (no rate, overflow) get a placeholder.
  if (!std::isfinite(seconds) || std::fabs(seconds) >= 1e15) {
    std::snprintf(buffer, size, "-:--.---");
    return;
  }
  const char* sign = seconds < 0 ? "-" : "";
  long long milliseconds = std::llround(std::fabs(seconds) * 1000.0);
  long long hours = milliseconds / 3600000;
  int minutes = static_cast<int>(milliseconds / 60000 % 60);
  int wholeSeconds = static_cast<int>(milliseconds / 1000 % 60);
  int millis = static_cast<int>(milliseconds % 1000);
  if (hours > 0) {
    std::snprintf(buffer, size, "%s%lld:%02d:%02d.%03d", sign, hours, minutes, wholeSeconds, millis);
  } else {
    std::snprintf(buffer, size, "%s%d:%02d.%03d", sign, minutes, wholeSeconds, millis);
  }
}
