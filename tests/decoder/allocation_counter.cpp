// Replacement global operator new and delete that count while a Scope is
// alive; storage comes from malloc.
#include "tests/decoder/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace allocation_counter {
namespace {

bool counting = false;
bool failNextNothrow = false;
long allocations = 0;
long releases = 0;

void* Allocate(std::size_t size) {
  if (counting) ++allocations;
  return std::malloc(size != 0 ? size : 1);
}

void* AllocateOrThrow(std::size_t size) {
  void* block = Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void* AllocateNothrow(std::size_t size) {
  if (failNextNothrow) {
    failNextNothrow = false;
    return nullptr;
  }
  return Allocate(size);
}

void Release(void* block) {
  if (block == nullptr) return;
  if (counting) ++releases;
  std::free(block);
}

}  // namespace

Scope::Scope() {
  allocations = 0;
  releases = 0;
  counting = true;
}
Scope::~Scope() { counting = false; }
long Scope::Allocations() const { return allocations; }
long Scope::Outstanding() const { return allocations - releases; }

void FailNextNothrowAllocation() { failNextNothrow = true; }

}  // namespace allocation_counter

using allocation_counter::AllocateNothrow;
using allocation_counter::AllocateOrThrow;
using allocation_counter::Release;

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateNothrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateNothrow(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
