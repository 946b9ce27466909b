// A dialog template as the layer reads it from a module's resource.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace win32_layer {

struct DialogControlTemplate {
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  int16_t x = 0, y = 0, width = 0, height = 0;
  std::string className;
  std::string text;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int16_t x = 0, y = 0, width = 0, height = 0;
  uint16_t pointSize = 0;
  std::string fontName;
  std::string caption;
  std::vector<DialogControlTemplate> controls;
};

// Reads the serialized dialog that follows a resource's number. False for
// an unknown version or a record that does not fit its size.
bool ParseDialogTemplate(const unsigned char* data, size_t size, DialogTemplate* dialog);

}  // namespace win32_layer
