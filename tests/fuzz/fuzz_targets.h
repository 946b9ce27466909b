// The fuzz targets: each is a plain function FuzzOne(data, size) in a
// namespace of its own, registered here by name so that the libFuzzer
// programs and the replaying test find it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

struct FuzzTarget {
  const char* name;  // also the folder of its seeds and kept inputs
  FuzzEntry entry;
};

// Every target linked into this program.
std::vector<FuzzTarget>& FuzzTargets();

struct FuzzTargetRegistration {
  FuzzTargetRegistration(const char* name, FuzzEntry entry) { FuzzTargets().push_back({name, entry}); }
};

#define PEXO_FUZZ_TARGET(name, entry) \
  static const FuzzTargetRegistration fuzzTargetRegistration(name, entry)
