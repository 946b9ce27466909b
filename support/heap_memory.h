// The heap functions HeapBuffer uses, kept behind one seam so that tests can
// make them fail. The plug-in's build binds them to the C library.
#pragma once

#include <cstddef>

void* HeapRealloc(void* block, size_t size);
void* HeapAllocate(size_t size);
void HeapFree(void* block);
