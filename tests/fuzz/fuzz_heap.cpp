// HeapRealloc, HeapAllocate and HeapFree for the fuzz programs.
#include "tests/fuzz/fuzz_heap.h"

#include <cstdlib>

#include "support/heap_memory.h"

namespace {

uint64_t failures = 0;
size_t limit = 0;

bool Refuse(size_t size) {
  bool planned = (failures & 1) != 0;
  failures >>= 1;
  return planned || (limit != 0 && size > limit);
}

}  // namespace

void PlanHeapFailures(uint64_t pattern) { failures = pattern; }
void SetHeapLimit(size_t bytes) { limit = bytes; }

void* HeapRealloc(void* block, size_t size) { return Refuse(size) ? nullptr : std::realloc(block, size); }
void* HeapAllocate(size_t size) { return Refuse(size) ? nullptr : std::malloc(size); }
void HeapFree(void* block) { std::free(block); }
