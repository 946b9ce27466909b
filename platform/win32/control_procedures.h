// What the layer's control classes do with the messages sent to them. The
// procedures run with the table's lock held and call no user code.
#pragma once

#include "platform/win32/window.h"

namespace win32_layer {

// The window text messages every class answers the same way:
// WM_SETTEXT, WM_GETTEXT and WM_GETTEXTLENGTH on the window's own text.
// False for any other message.
bool WindowTextMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT* result);

// Copies text into a caller's buffer of `capacity` characters as WM_GETTEXT
// does: at most capacity - 1 characters and a terminator; nothing when the
// capacity is 0. Returns the number of characters copied.
LRESULT CopyTextOut(const std::string& text, WPARAM capacity, LPARAM buffer);

LRESULT ComboBoxProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TrackbarProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

// The procedure of a control window's class (not a dialog's).
LRESULT ControlProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32_layer
