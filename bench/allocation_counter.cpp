// The heap interposed in the benchmark executable. The executable's own
// malloc family and global operators new and delete come first in the
// process's symbol lookup, so the plug-in and libsndfile, loaded later, call
// these; each forwards to the C library's allocator (glibc's __libc_*
// entry points, which exist for exactly this kind of replacement) and counts
// while counting is on. The executable exports them dynamically (see
// CMakeLists.txt) so that libraries loaded with dlopen bind to them too.
#include "bench/allocation_counter.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<int64_t> allocations{0};

inline void Count() {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
}

void* NewBlock(size_t size) {
  Count();
  void* block = __libc_malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void* NewAlignedBlock(size_t size, std::align_val_t alignment) {
  Count();
  void* block = __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

}  // namespace

#define PEXO_EXPORTED __attribute__((visibility("default")))

extern "C" {

PEXO_EXPORTED void* malloc(size_t size) {
  Count();
  return __libc_malloc(size);
}
PEXO_EXPORTED void* calloc(size_t count, size_t size) {
  Count();
  return __libc_calloc(count, size);
}
PEXO_EXPORTED void* realloc(void* block, size_t size) {
  Count();
  return __libc_realloc(block, size);
}
PEXO_EXPORTED void free(void* block) { __libc_free(block); }
PEXO_EXPORTED void* memalign(size_t alignment, size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
PEXO_EXPORTED void* aligned_alloc(size_t alignment, size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
PEXO_EXPORTED int posix_memalign(void** result, size_t alignment, size_t size) {
  Count();
  if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* block = __libc_memalign(alignment, size);
  if (block == nullptr) return ENOMEM;
  *result = block;
  return 0;
}

}  // extern "C"

PEXO_EXPORTED void* operator new(size_t size) { return NewBlock(size); }
PEXO_EXPORTED void* operator new[](size_t size) { return NewBlock(size); }
PEXO_EXPORTED void* operator new(size_t size, const std::nothrow_t&) noexcept {
  Count();
  return __libc_malloc(size == 0 ? 1 : size);
}
PEXO_EXPORTED void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  Count();
  return __libc_malloc(size == 0 ? 1 : size);
}
PEXO_EXPORTED void* operator new(size_t size, std::align_val_t alignment) {
  return NewAlignedBlock(size, alignment);
}
PEXO_EXPORTED void* operator new[](size_t size, std::align_val_t alignment) {
  return NewAlignedBlock(size, alignment);
}
PEXO_EXPORTED void operator delete(void* block) noexcept { __libc_free(block); }
PEXO_EXPORTED void operator delete[](void* block) noexcept { __libc_free(block); }
PEXO_EXPORTED void operator delete(void* block, size_t) noexcept { __libc_free(block); }
PEXO_EXPORTED void operator delete[](void* block, size_t) noexcept { __libc_free(block); }
PEXO_EXPORTED void operator delete(void* block, std::align_val_t) noexcept { __libc_free(block); }
PEXO_EXPORTED void operator delete[](void* block, std::align_val_t) noexcept { __libc_free(block); }
PEXO_EXPORTED void operator delete(void* block, size_t, std::align_val_t) noexcept { __libc_free(block); }
PEXO_EXPORTED void operator delete[](void* block, size_t, std::align_val_t) noexcept { __libc_free(block); }

namespace bench {

void StartCountingAllocations() {
  allocations.store(0, std::memory_order_relaxed);
  counting.store(true, std::memory_order_seq_cst);
}

int64_t StopCountingAllocations() {
  counting.store(false, std::memory_order_seq_cst);
  return allocations.load(std::memory_order_relaxed);
}

}  // namespace bench
