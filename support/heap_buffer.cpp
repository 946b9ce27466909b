// HeapBuffer: growth and shrinking of the storage by the granularity policy,
// with a fresh allocation and copy when reallocation fails.
#include "support/heap_buffer.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "support/heap_memory.h"

namespace {

// Large buffers are sized so that the block plus the allocator's bookkeeping
// (96 bytes) fills whole pages, with a reserve of one page to 4 MiB.
constexpr int kLargeGranularity = 4096;
constexpr std::int64_t kPageSize = 4096;
constexpr std::int64_t kPageSlack = 96;
constexpr std::int64_t kMaxLargeStep = 0x400000;

// The allocation for a used size of `size`, or false when the arithmetic
// would leave the range of int (such a request fails like an exhausted heap).
bool AllocationFor(int size, int granularity, int* allocation) {
  const std::int64_t n = size;
  std::int64_t total = 0;
  if (n == 0) {
    total = 0;
  } else if (granularity < kLargeGranularity) {
    total = n + std::max<std::int64_t>(n / 2, granularity);
  } else {
    std::int64_t step = std::max<std::int64_t>(n / 2, granularity) & ~(kPageSize - 1);
    step = std::clamp(step, kPageSize, kMaxLargeStep);
    const std::int64_t pages = n + kPageSlack + step;
    if (pages > INT_MAX) return false;
    total = (pages & ~(kPageSize - 1)) - kPageSlack;
  }
  if (total > INT_MAX) return false;
  *allocation = static_cast<int>(total);
  return true;
}

}  // namespace

HeapBuffer::HeapBuffer(int granularity) : granularity(granularity) {}

HeapBuffer::~HeapBuffer() {
  if (data != nullptr) HeapFree(data);
}

char* HeapBuffer::Resize(int size, bool mayShrink) {
  const int n = size > 0 ? size : 0;
  if (n == usedSize) return Get();

  // Storage is given back only when the size falls below this bound.
  std::int64_t lowerBound = 0;
  if (mayShrink && n < usedSize) {
    const std::int64_t lessFourGranules =
        std::int64_t{allocatedSize} - 4 * std::int64_t{granularity};
    lowerBound = std::max<std::int64_t>(1, std::min<std::int64_t>(lessFourGranules, allocatedSize / 2));
  }
  if (n <= allocatedSize && n >= lowerBound) {
    usedSize = n;
    return Get();
  }

  int allocation = 0;
  if (!AllocationFor(n, granularity, &allocation)) return Get();
  if (allocation == allocatedSize) {
    usedSize = n;
    return Get();
  }
  if (allocation == 0) {
    HeapFree(data);
    data = nullptr;
    allocatedSize = 0;
    usedSize = 0;
    return nullptr;
  }

  char* block = static_cast<char*>(HeapRealloc(data, static_cast<size_t>(allocation)));
  if (block == nullptr) {
    block = static_cast<char*>(HeapAllocate(static_cast<size_t>(allocation)));
    if (block == nullptr) return Get();
    if (data != nullptr) {
      std::memcpy(block, data, static_cast<size_t>(std::min(usedSize, n)));
      HeapFree(data);
    }
  }
  data = block;
  allocatedSize = allocation;
  usedSize = n;
  return Get();
}
