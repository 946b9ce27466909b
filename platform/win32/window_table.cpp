// The handle table: slot number in the low 16 bits of a handle (plus one, so
// no handle is null), the slot's generation in the next 16, as Win32's
// handles keep to 32 significant bits.
#include "platform/win32/window_table.h"

namespace win32_layer {
namespace {

constexpr size_t kMaxSlots = 0xFFFF;

uintptr_t Encode(size_t slot, uint16_t generation) {
  return (static_cast<uintptr_t>(generation) << 16) | (slot + 1);
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
  } else if (slots.size() < kMaxSlots) {
    slot = slots.size();
    slots.emplace_back();
  } else {
    return nullptr;
  }
  window->handle = reinterpret_cast<HWND>(Encode(slot, slots[slot].generation));
  slots[slot].window = std::move(window);
  return slots[slot].window.get();
}

Window* WindowTable::Find(HWND handle) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value == 0 || value > 0xFFFFFFFFu) return nullptr;
  size_t slot = (value & 0xFFFF) - 1;
  if ((value & 0xFFFF) == 0 || slot >= slots.size()) return nullptr;
  if (slots[slot].generation != static_cast<uint16_t>(value >> 16)) return nullptr;
  return slots[slot].window.get();
}

void WindowTable::Remove(HWND handle) {
  if (Find(handle) == nullptr) return;
  size_t slot = (reinterpret_cast<uintptr_t>(handle) & 0xFFFF) - 1;
  slots[slot].window.reset();
  ++slots[slot].generation;
  freeSlots.push_back(static_cast<uint16_t>(slot));
}

}  // namespace win32_layer
