// Creation and destruction of windows in the tree.
#include "platform/win32/window_tree.h"

#include <algorithm>
#include <new>

#include "platform/win32.h"
#include "platform/win32/allocation.h"

namespace win32_layer {
namespace {

// The number of windows in the subtree that no DestroyWindow further up
// the stack has taken.
size_t CountSubtree(WindowTable& table, const Window& window) {
  if (window.destroying) return 0;
  size_t count = 1;
  for (HWND child : window.children) {
    if (const Window* found = table.Find(child)) count += CountSubtree(table, *found);
  }
  return count;
}

// Marks the subtree as being destroyed and lists it parents first, into a
// list with room for it. A part already being destroyed, by a DestroyWindow
// further up the stack, is left to that call: each window hears WM_DESTROY
// once.
void CollectSubtree(WindowTable& table, Window& window, std::vector<HWND>& subtree) {
  if (window.destroying) return;
  window.destroying = true;
  subtree.push_back(window.handle);
  for (HWND child : window.children) {
    if (Window* found = table.Find(child)) CollectSubtree(table, *found, subtree);
  }
}

}  // namespace

Window* CreateWindowLocked(WindowTable& table, WindowClass windowClass, HWND parent, int id,
                           DWORD style, DWORD exStyle, const char* text) {
  Window* parentWindow = nullptr;
  if (parent != nullptr) {
    parentWindow = table.Find(parent);
    if (parentWindow == nullptr || parentWindow->destroying) return nullptr;
  } else if ((style & WS_CHILD) != 0) {
    return nullptr;
  }
  // Room in the parent's list first, so that nothing below can fail after
  // the window is in the table.
  if (parentWindow != nullptr &&
      !Allocates([&] { parentWindow->children.reserve(parentWindow->children.size() + 1); })) {
    return nullptr;
  }
  std::unique_ptr<Window> window(new (std::nothrow) Window);
  if (window == nullptr) return nullptr;
  if (!Allocates([&] { window->text = text != nullptr ? text : ""; })) return nullptr;
  window->windowClass = windowClass;
  window->parent = parent;
  window->id = (style & WS_CHILD) != 0 ? id : 0;
  window->style = style;
  window->exStyle = exStyle;
  Window* added = table.Add(std::move(window));
  if (added != nullptr && parentWindow != nullptr) parentWindow->children.push_back(added->handle);
  return added;
}

bool DestroyTree(HWND handle) {
  WindowTable& table = WindowTable::Instance();
  std::vector<HWND> subtree;
  {
    std::lock_guard<std::mutex> lock(table.Lock());
    Window* window = table.Find(handle);
    if (window == nullptr || window->destroying) return false;
    // Without memory for the list the window stays, whole and alive.
    if (!Allocates([&] { subtree.reserve(CountSubtree(table, *window)); })) return false;
    CollectSubtree(table, *window, subtree);
  }
  for (HWND member : subtree) SendMessageA(member, WM_DESTROY, 0, 0);

  std::lock_guard<std::mutex> lock(table.Lock());
  if (Window* window = table.Find(handle)) {
    if (Window* parent = table.Find(window->parent)) {
      auto& siblings = parent->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    }
  }
  // Children created while the subtree received WM_DESTROY are refused, so
  // the list is complete.
  for (HWND member : subtree) table.Remove(member);
  return true;
}

void RemoveTreeLocked(WindowTable& table, HWND handle) {
  Window* window = table.Find(handle);
  if (window == nullptr) return;
  std::vector<HWND> children = std::move(window->children);  // moved, not copied
  for (HWND child : children) RemoveTreeLocked(table, child);
  if (Window* parent = table.Find(window->parent)) {
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
  }
  table.Remove(handle);
}

}  // namespace win32_layer
