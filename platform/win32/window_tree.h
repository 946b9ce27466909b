// Building and tearing down the window tree: creation under a parent and
// destruction of a window with everything below it.
#pragma once

#include "platform/win32/window_table.h"

namespace win32_layer {

// Creates a window and links it under its parent. A WS_CHILD window needs a
// live parent; a parent given at all must be live and not being destroyed.
// Requires the table's lock. Null on refusal or when memory runs out
// (nothing is then left behind).
Window* CreateWindowLocked(WindowTable& table, WindowClass windowClass, HWND parent, int id,
                           DWORD style, DWORD exStyle, const char* text);

// Destroys the window and all windows below it: WM_DESTROY goes to the
// window first and then to its descendants, each while all of them still
// exist; then every handle of the subtree becomes invalid. Must be called
// without the lock. False for a handle that is not a live window, whose
// destruction has already begun, or when memory runs out (the window then
// stays).
bool DestroyTree(HWND handle);

// Removes the window and all windows below it from the table at once,
// without messages: for a window no procedure has seen yet. Requires the
// table's lock; allocates nothing.
void RemoveTreeLocked(WindowTable& table, HWND handle);

}  // namespace win32_layer
