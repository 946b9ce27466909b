// Window text: the messages that set and read a window's text.
#include <algorithm>
#include <cstring>

#include "platform/win32/allocation.h"
#include "platform/win32/control_procedures.h"

namespace win32_layer {

LRESULT CopyTextOut(const std::string& text, WPARAM capacity, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (out == nullptr || capacity == 0) return 0;
  size_t count = std::min<size_t>(text.size(), capacity - 1);
  std::memcpy(out, text.data(), count);
  out[count] = '\0';
  return static_cast<LRESULT>(count);
}

bool WindowTextMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT* result) {
  switch (message) {
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      *result = Allocates([&] { window.text = text != nullptr ? text : ""; }) ? TRUE : FALSE;
      return true;
    }
    case WM_GETTEXT:
      *result = CopyTextOut(window.text, wParam, lParam);
      return true;
    case WM_GETTEXTLENGTH:
      *result = static_cast<LRESULT>(window.text.size());
      return true;
    default:
      return false;
  }
}

}  // namespace win32_layer
