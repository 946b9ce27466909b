// The stopwatch and its callgrind hooks. Outside valgrind the client
// requests are a few instructions that do nothing.
#include "bench/stopwatch.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define PEXO_HAVE_CALLGRIND 1
#endif

#include "bench/bench_context.h"

namespace bench {
namespace {

std::string caseName;
const char* sideName = "";
bool counted = false;

}  // namespace

void SetStretchCase(const std::string& name) { caseName = name; }

void SetStretchSide(const char* side, bool isCounted) {
  sideName = side;
  counted = isCounted;
}

Stopwatch::Stopwatch() {
#ifdef PEXO_HAVE_CALLGRIND
  if (counted) CALLGRIND_TOGGLE_COLLECT;
#endif
  start = Seconds();
}

double Stopwatch::Stop() {
  const double seconds = Seconds() - start;
#ifdef PEXO_HAVE_CALLGRIND
  if (counted) {
    CALLGRIND_TOGGLE_COLLECT;
    const std::string label = caseName + " | " + sideName;
    CALLGRIND_DUMP_STATS_AT(label.c_str());
  }
#endif
  return seconds;
}

}  // namespace bench
