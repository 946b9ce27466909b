// Counts the heap allocations that the thread which made the counter makes,
// in any library, while the counter is alive: to show that a path allocates
// nothing, or only in proportion to what it keeps. One counter at a time.
// Link the pexo_allocation_counter object library into the test executable.
#pragma once

#include <cstdint>

namespace test_alloc {

class AllocationCounter {
 public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  int64_t Count() const;  // allocations since construction
  int64_t Bytes() const;  // bytes they asked for
};

}  // namespace test_alloc
