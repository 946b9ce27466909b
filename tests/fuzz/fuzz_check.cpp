// Reporting a broken property of a fuzz target.
#include "tests/fuzz/fuzz_check.h"

#include <cstdio>
#include <cstdlib>

void FuzzCheckFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
  std::fflush(stderr);
  std::abort();
}
