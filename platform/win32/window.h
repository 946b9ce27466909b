// One window of the layer: its place in the tree, its class and the state
// of the control it is.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace win32_layer {

enum class WindowClass { Static, Dialog, ComboBox, Trackbar };

struct ComboBoxItem {
  std::string text;
  LPARAM data = 0;
};

struct Window {
  WindowClass windowClass = WindowClass::Static;
  HWND handle = nullptr;
  HWND parent = nullptr;
  int id = 0;  // control id of a child window
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string text;
  std::vector<HWND> children;  // in creation order
  bool destroying = false;     // DestroyWindow has begun on it

  DLGPROC procedure = nullptr;  // dialogs

  std::vector<ComboBoxItem> items;  // combo boxes
  int selection = -1;

  int rangeMin = 0;  // trackbars
  int rangeMax = 100;
  int position = 0;
};

// The class a class name stands for (names compare case-insensitively, as
// Win32's do); false for a class the layer does not have.
bool ClassFromName(const char* name, WindowClass* windowClass);

}  // namespace win32_layer
