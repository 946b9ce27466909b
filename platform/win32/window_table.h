// The table of live windows behind the HWND values the layer hands out.
// A handle is a slot number with the slot's generation, never an address:
// a handle of a destroyed window names a slot whose generation has moved
// on, so it is refused instead of dereferenced.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/win32/window.h"

namespace win32_layer {

class WindowTable {
 public:
  // The process's one table. Every member below requires Lock() held.
  static WindowTable& Instance();
  std::mutex& Lock() { return mutex; }

  // Takes the window, gives it its handle; null when every slot is in use
  // or memory runs out (the window is then deleted).
  Window* Add(std::unique_ptr<Window> window);
  // The live window of a handle, or null.
  Window* Find(HWND handle);
  void Remove(HWND handle);

 private:
  struct Slot {
    std::unique_ptr<Window> window;
    uint32_t generation = 0;  // 2^32 reuses of one slot before a handle recurs
  };
  std::mutex mutex;
  std::vector<Slot> slots;
  std::deque<uint16_t> freeSlots;  // oldest first, to delay reuse
};

}  // namespace win32_layer
