// The handle table: slot number in the low 16 bits of a handle (plus one, so
// no handle is null), the slot's generation in the next 32. A window of the
// layer is only ever named by such a value, so a stale handle would name a
// live window only after its slot had been reused 2^32 times.
#include "platform/win32/window_table.h"

#include "platform/win32/allocation.h"

namespace win32_layer {
namespace {

constexpr size_t kMaxSlots = 0xFFFF;

constexpr int kGenerationShift = 16;
constexpr uint64_t kLargestHandle = (uint64_t{1} << 48) - 1;
static_assert(sizeof(uintptr_t) >= 8, "handles need 48 bits");

uintptr_t Encode(size_t slot, uint32_t generation) {
  return (static_cast<uintptr_t>(generation) << kGenerationShift) | (slot + 1);
}

}  // namespace

WindowTable& WindowTable::Instance() {
  // Never destroyed: windows a host leaves behind stay valid until exit.
  static WindowTable* table = new WindowTable;
  return *table;
}

Window* WindowTable::Add(std::unique_ptr<Window> window) {
  size_t slot;
  if (!freeSlots.empty()) {
    slot = freeSlots.front();
    freeSlots.pop_front();
  } else if (slots.size() < kMaxSlots && Allocates([&] { slots.emplace_back(); })) {
    slot = slots.size() - 1;
  } else {
    return nullptr;
  }
  window->handle = reinterpret_cast<HWND>(Encode(slot, slots[slot].generation));
  slots[slot].window = std::move(window);
  return slots[slot].window.get();
}

Window* WindowTable::Find(HWND handle) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value == 0 || value > kLargestHandle) return nullptr;
  size_t slot = (value & 0xFFFF) - 1;
  if ((value & 0xFFFF) == 0 || slot >= slots.size()) return nullptr;
  if (slots[slot].generation != static_cast<uint32_t>(value >> kGenerationShift)) return nullptr;
  return slots[slot].window.get();
}

void WindowTable::Remove(HWND handle) {
  if (Find(handle) == nullptr) return;
  size_t slot = (reinterpret_cast<uintptr_t>(handle) & 0xFFFF) - 1;
  slots[slot].window.reset();
  ++slots[slot].generation;
  // Without memory for the free list the slot is never used again; the
  // table stays whole.
  (void)Allocates([&] { freeSlots.push_back(static_cast<uint16_t>(slot)); });
}

}  // namespace win32_layer
