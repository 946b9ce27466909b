// Creation and destruction of windows in the tree.
#include "platform/win32/window_tree.h"

#include <algorithm>

#include "platform/win32.h"

namespace win32_layer {
namespace {

// Marks the subtree as being destroyed and lists it parents first. A part
// already being destroyed, by a DestroyWindow further up the stack, is left
// to that call: each window hears WM_DESTROY once.
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
  auto window = std::make_unique<Window>();
  window->windowClass = windowClass;
  window->parent = parent;
  window->id = (style & WS_CHILD) != 0 ? id : 0;
  window->style = style;
  window->exStyle = exStyle;
  window->text = text != nullptr ? text : "";
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

}  // namespace win32_layer
