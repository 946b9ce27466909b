// FUZZ_CHECK: a property the code under test must keep. A broken one is a
// finding: it is reported and the process aborts, which libFuzzer records
// with the input and the replaying test reports as a failed run.
#pragma once

[[noreturn]] void FuzzCheckFailed(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : FuzzCheckFailed(#condition, __FILE__, __LINE__))
