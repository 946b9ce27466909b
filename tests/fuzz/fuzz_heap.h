// The heap behind HeapBuffer in the fuzz programs: the C library's heap,
// with failures that a target plans, so that exhaustion is explored too.
#pragma once

#include <cstddef>
#include <cstdint>

// Bit i set: the i-th HeapRealloc or HeapAllocate call from now on fails.
// Calls past the 64th succeed again. 0 plans no failure.
void PlanHeapFailures(uint64_t pattern);

// Requests above this many bytes fail, as on a heap that size; 0: no limit.
void SetHeapLimit(size_t bytes);
