// The heap functions of HeapBuffer, bound to the C library's heap.
#include "support/heap_memory.h"

#include <cstdlib>

void* HeapRealloc(void* block, size_t size) { return std::realloc(block, size); }
void* HeapAllocate(size_t size) { return std::malloc(size); }
void HeapFree(void* block) { std::free(block); }
