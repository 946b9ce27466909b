// Utf16Name: MultiByteToWideChar from UTF-8, strict, into the heap.
#include "platform/utf16_name.h"

#include <cstdlib>

#include "platform/win32_types.h"

Utf16Name::Utf16Name(const char* name) {
  if (name == nullptr) return;
  int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, nullptr, 0);
  if (units <= 0) return;
  auto* converted = static_cast<wchar_t*>(std::malloc(static_cast<size_t>(units) * sizeof(wchar_t)));
  if (converted == nullptr) return;
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, converted, units) != units) {
    std::free(converted);
    return;
  }
  text = converted;
}

Utf16Name::~Utf16Name() { std::free(text); }
