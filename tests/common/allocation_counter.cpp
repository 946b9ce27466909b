// The allocation counter. Under AddressSanitizer it uses the sanitizer's
// allocation hooks; otherwise the executable defines malloc, calloc and
// realloc itself, counting and then forwarding to the C library's own.
#include "tests/common/allocation_counter.h"

#include <cstddef>
#include <cstdlib>

namespace {

// Only the thread that made the counter is counted.
thread_local bool counting = false;
int64_t allocations = 0;
int64_t bytes = 0;

void Note(size_t size) {
  if (!counting) return;
  ++allocations;
  bytes += static_cast<int64_t>(size);
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (its header is not shipped with every compiler).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                        void (*)(const volatile void*));

namespace {
void MallocHook(const volatile void*, size_t size) { Note(size); }
void FreeHook(const volatile void*) {}
const int installed = __sanitizer_install_malloc_and_free_hooks(&MallocHook, &FreeHook);
}  // namespace
#else
extern "C" {
void* __libc_malloc(size_t size) noexcept;
void* __libc_calloc(size_t count, size_t size) noexcept;
void* __libc_realloc(void* block, size_t size) noexcept;

void* malloc(size_t size) noexcept {
  Note(size);
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) noexcept {
  Note(count * size);
  return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) noexcept {
  Note(size);
  return __libc_realloc(block, size);
}
}
#endif

namespace test_alloc {

AllocationCounter::AllocationCounter() {
  allocations = 0;
  bytes = 0;
  counting = true;
}
AllocationCounter::~AllocationCounter() { counting = false; }
int64_t AllocationCounter::Count() const { return allocations; }
int64_t AllocationCounter::Bytes() const { return bytes; }

}  // namespace test_alloc
