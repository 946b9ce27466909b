// Counts heap allocations made anywhere in the process (the plug-in and
// libsndfile included) while counting is switched on.
#pragma once

#include <cstdint>

namespace bench {

// Starts counting from 0.
void StartCountingAllocations();
// Stops counting and returns the number of allocations seen since the start:
// malloc, calloc, realloc, the aligned allocators and every operator new.
int64_t StopCountingAllocations();

}  // namespace bench
