// The registry of fuzz targets.
#include "tests/fuzz/fuzz_targets.h"

std::vector<FuzzTarget>& FuzzTargets() {
  static std::vector<FuzzTarget> targets;
  return targets;
}
