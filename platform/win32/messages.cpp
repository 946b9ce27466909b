// Sending messages: to a control, whose class answers at once, or to a
// dialog, whose procedure is called on the sender's thread. Messages to a
// handle that names no live window return 0.
#include "platform/win32.h"
#include "platform/win32/control_procedures.h"
#include "platform/win32/window_table.h"

namespace win32_layer {

LRESULT ControlProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (window.windowClass) {
    case WindowClass::ComboBox:
      return ComboBoxProcedure(window, message, wParam, lParam);
    case WindowClass::Trackbar:
      return TrackbarProcedure(window, message, wParam, lParam);
    case WindowClass::Static:
    case WindowClass::Dialog:
      break;
  }
  LRESULT result = 0;
  WindowTextMessage(window, message, wParam, lParam, &result);
  return result;
}

}  // namespace win32_layer

using win32_layer::Window;
using win32_layer::WindowClass;
using win32_layer::WindowTable;

extern "C" LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowTable& table = WindowTable::Instance();
  DLGPROC procedure;
  {
    std::lock_guard<std::mutex> lock(table.Lock());
    Window* window = table.Find(handle);
    if (window == nullptr) return 0;
    if (window->windowClass != WindowClass::Dialog) {
      return win32_layer::ControlProcedure(*window, message, wParam, lParam);
    }
    procedure = window->procedure;
  }
  // The dialog procedure runs unlocked: it sends messages of its own, and it
  // may destroy its own window.
  LRESULT result = procedure != nullptr ? procedure(handle, message, wParam, lParam) : 0;
  if (result != 0) return result;
  // A dialog procedure that returns FALSE leaves the message to the
  // default handling, which knows only the window text.
  std::lock_guard<std::mutex> lock(table.Lock());
  Window* window = table.Find(handle);
  if (window != nullptr) win32_layer::WindowTextMessage(*window, message, wParam, lParam, &result);
  return result;
}

extern "C" LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item != nullptr ? SendMessageA(item, message, wParam, lParam) : 0;
}

extern "C" BOOL SetWindowTextA(HWND window, const char* text) {
  return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) > 0 ? TRUE : FALSE;
}

extern "C" int GetWindowTextA(HWND window, char* text, int capacity) {
  if (text == nullptr || capacity <= 0) return 0;
  text[0] = '\0';
  return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(capacity),
                                       reinterpret_cast<LPARAM>(text)));
}

extern "C" int GetWindowTextLengthA(HWND window) {
  return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

extern "C" BOOL SetDlgItemTextA(HWND dialog, int id, const char* text) {
  HWND item = GetDlgItem(dialog, id);
  return item != nullptr ? SetWindowTextA(item, text) : FALSE;
}

extern "C" UINT GetDlgItemTextA(HWND dialog, int id, char* text, int capacity) {
  // The terminator is written first, so a missing control leaves "".
  if (text == nullptr || capacity <= 0) return 0;
  text[0] = '\0';
  HWND item = GetDlgItem(dialog, id);
  return item != nullptr ? static_cast<UINT>(GetWindowTextA(item, text, capacity)) : 0;
}
