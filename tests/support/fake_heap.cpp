// The test heap behind HeapRealloc, HeapAllocate and HeapFree. Fresh bytes are
// filled with 0xA5 and blocks are scribbled with 0xDD before they are freed,
// so that reading stale storage shows in the contents.
#include "tests/support/fake_heap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "support/heap_memory.h"

namespace fake_heap {

Calls calls;
Switches switches;

namespace {

std::map<void*, size_t>& Blocks() {
  static std::map<void*, size_t> blocks;
  return blocks;
}

int strayFrees = 0;

void* NewBlock(size_t size) {
  void* block = std::malloc(size);
  if (block == nullptr) return nullptr;
  std::memset(block, 0xA5, size);
  Blocks()[block] = size;
  return block;
}

void DropBlock(void* block) {
  auto found = Blocks().find(block);
  if (found == Blocks().end()) {
    ++strayFrees;
    return;
  }
  std::memset(block, 0xDD, found->second);
  Blocks().erase(found);
  std::free(block);
}

}  // namespace

void Reset() {
  calls = Calls();
  switches = Switches();
  strayFrees = 0;
}

int LiveBlocks() { return static_cast<int>(Blocks().size()); }

int StrayFrees() { return strayFrees; }

}  // namespace fake_heap

using fake_heap::calls;
using fake_heap::switches;

void* HeapRealloc(void* block, size_t size) {
  ++calls.reallocs;
  calls.lastReallocSize = size;
  if (switches.failRealloc || size > switches.limit) return nullptr;
  void* moved = fake_heap::NewBlock(size);
  if (moved == nullptr || block == nullptr) return moved;
  auto found = fake_heap::Blocks().find(block);
  if (found != fake_heap::Blocks().end()) std::memcpy(moved, block, std::min(size, found->second));
  fake_heap::DropBlock(block);
  return moved;
}

void* HeapAllocate(size_t size) {
  ++calls.allocates;
  calls.lastAllocateSize = size;
  if (switches.failAllocate || size > switches.limit) return nullptr;
  return fake_heap::NewBlock(size);
}

void HeapFree(void* block) {
  ++calls.frees;
  if (block != nullptr) fake_heap::DropBlock(block);
}
