// libFuzzer's entry for a program that links exactly one fuzz target.
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const FuzzEntry entry = [] {
    FUZZ_CHECK(FuzzTargets().size() == 1);
    return FuzzTargets().front().entry;
  }();
  return entry(data, size);
}
