// CreateDialogParamA: a modeless dialog built from a template among a
// module's resources, with its controls as children in template order.
#include "platform/win32.h"
#include "platform/win32/allocation.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/module_resources.h"
#include "platform/win32/window_tree.h"

using win32_layer::Window;
using win32_layer::WindowClass;
using win32_layer::WindowTable;

namespace {

// Creates the dialog window and its controls and attaches the procedure,
// all under one hold of the lock, so that no other thread can destroy the
// dialog half-made; null when the parent is refused, a control's class
// does not exist or memory runs out (nothing is left behind). The focus control is the first
// one with WS_TABSTOP.
HWND BuildDialog(const win32_layer::DialogTemplate& dialog, HWND parent, DLGPROC procedure,
                 HWND* focus) {
  WindowTable& table = WindowTable::Instance();
  HWND handle;
  {
    std::lock_guard<std::mutex> lock(table.Lock());
    Window* window = win32_layer::CreateWindowLocked(table, WindowClass::Dialog, parent, 0,
                                                     dialog.style, dialog.exStyle,
                                                     dialog.caption.c_str());
    if (window == nullptr) return nullptr;
    handle = window->handle;
    bool complete = true;
    for (const win32_layer::DialogControlTemplate& control : dialog.controls) {
      WindowClass controlClass;
      Window* child = nullptr;
      // Controls of a dialog are always child windows.
      if (win32_layer::ClassFromName(control.className.c_str(), &controlClass)) {
        child = win32_layer::CreateWindowLocked(table, controlClass, handle, control.id,
                                                control.style | WS_CHILD, control.exStyle,
                                                control.text.c_str());
      }
      if (child == nullptr) {
        complete = false;
        break;
      }
      if (*focus == nullptr && (control.style & WS_TABSTOP) != 0) *focus = child->handle;
    }
    if (complete) {
      window->procedure = procedure;
      return handle;
    }
    // No procedure has seen the dialog: it goes without messages, and
    // without allocating, so that memory running out leaves nothing behind.
    win32_layer::RemoveTreeLocked(table, handle);
  }
  return nullptr;
}

}  // namespace

extern "C" HWND CreateDialogParamA(HINSTANCE module, const char* templateName, HWND parent,
                                   DLGPROC procedure, LPARAM initParam) {
  // Templates are found by number only; modules here carry no named ones.
  if (templateName == nullptr || !IS_INTRESOURCE(templateName)) return nullptr;
  auto number = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(templateName));
  const unsigned char* data;
  size_t size;
  win32_layer::DialogTemplate dialog;
  bool parsed = false;
  if (!win32_layer::FindModuleResource(module, RT_DIALOG, number, &data, &size) ||
      !win32_layer::Allocates([&] { parsed = win32_layer::ParseDialogTemplate(data, size, &dialog); }) ||
      !parsed) {
    return nullptr;
  }
  HWND focus = nullptr;
  HWND handle = BuildDialog(dialog, parent, procedure, &focus);
  if (handle == nullptr) return nullptr;
  // Delivered before the dialog is handed out; a procedure that destroys
  // its dialog here leaves the caller nothing.
  SendMessageA(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), initParam);
  return IsWindow(handle) ? handle : nullptr;
}
