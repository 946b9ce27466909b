// Window creation, destruction and the questions about a window's place in
// the tree.
#include <strings.h>

#include "platform/win32.h"
#include "platform/win32/window_tree.h"

namespace win32_layer {

bool ClassFromName(const char* name, WindowClass* windowClass) {
  if (name == nullptr || IS_INTRESOURCE(name)) return false;  // no class atoms
  static const struct {
    const char* name;
    WindowClass windowClass;
  } kClasses[] = {
      {"STATIC", WindowClass::Static},
      {"COMBOBOX", WindowClass::ComboBox},
      {"msctls_trackbar32", WindowClass::Trackbar},
  };
  for (const auto& known : kClasses) {
    if (strcasecmp(name, known.name) == 0) {
      *windowClass = known.windowClass;
      return true;
    }
  }
  return false;
}

}  // namespace win32_layer

using win32_layer::Window;
using win32_layer::WindowClass;
using win32_layer::WindowTable;

extern "C" HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName,
                                DWORD style, int /*x*/, int /*y*/, int /*width*/, int /*height*/,
                                HWND parent, HMENU menu, HINSTANCE /*module*/, void* /*param*/) {
  WindowClass windowClass;
  if (!win32_layer::ClassFromName(className, &windowClass)) return nullptr;
  WindowTable& table = WindowTable::Instance();
  std::lock_guard<std::mutex> lock(table.Lock());
  // A child window's "menu" is its control id.
  int id = static_cast<int>(reinterpret_cast<intptr_t>(menu));
  Window* window =
      win32_layer::CreateWindowLocked(table, windowClass, parent, id, style, exStyle, windowName);
  return window != nullptr ? window->handle : nullptr;
}

extern "C" BOOL DestroyWindow(HWND window) { return win32_layer::DestroyTree(window) ? TRUE : FALSE; }

extern "C" BOOL IsWindow(HWND window) {
  WindowTable& table = WindowTable::Instance();
  std::lock_guard<std::mutex> lock(table.Lock());
  return table.Find(window) != nullptr ? TRUE : FALSE;
}

extern "C" HWND GetDlgItem(HWND dialog, int id) {
  WindowTable& table = WindowTable::Instance();
  std::lock_guard<std::mutex> lock(table.Lock());
  Window* window = table.Find(dialog);
  if (window == nullptr) return nullptr;
  for (HWND child : window->children) {
    Window* found = table.Find(child);
    if (found != nullptr && (found->style & WS_CHILD) != 0 && found->id == id) return child;
  }
  return nullptr;
}

extern "C" int GetDlgCtrlID(HWND handle) {
  WindowTable& table = WindowTable::Instance();
  std::lock_guard<std::mutex> lock(table.Lock());
  Window* window = table.Find(handle);
  return window != nullptr ? window->id : 0;
}

extern "C" HWND GetParent(HWND handle) {
  WindowTable& table = WindowTable::Instance();
  std::lock_guard<std::mutex> lock(table.Lock());
  Window* window = table.Find(handle);
  return window != nullptr ? window->parent : nullptr;
}

extern "C" BOOL ShowWindow(HWND handle, int command) {
  WindowTable& table = WindowTable::Instance();
  std::lock_guard<std::mutex> lock(table.Lock());
  Window* window = table.Find(handle);
  if (window == nullptr) return FALSE;
  BOOL wasVisible = (window->style & WS_VISIBLE) != 0 ? TRUE : FALSE;
  if (command == SW_HIDE) {
    window->style &= ~WS_VISIBLE;
  } else {
    window->style |= WS_VISIBLE;
  }
  return wasVisible;
}

extern "C" BOOL IsWindowVisible(HWND handle) {
  // Visible only when the window and every window above it are.
  WindowTable& table = WindowTable::Instance();
  std::lock_guard<std::mutex> lock(table.Lock());
  Window* window = table.Find(handle);
  if (window == nullptr) return FALSE;
  for (; window != nullptr; window = table.Find(window->parent)) {
    if ((window->style & WS_VISIBLE) == 0) return FALSE;
  }
  return TRUE;
}
