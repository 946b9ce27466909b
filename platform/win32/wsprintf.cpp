// wsprintfA: formatted text into a caller's buffer, which Win32 limits to
// 1024 bytes including the terminating zero.
#include <cstdarg>
#include <cstdio>

#include "platform/win32.h"

extern "C" int wsprintfA(char* buffer, const char* format, ...) {
  constexpr int kLimit = 1024;
  if (buffer == nullptr || format == nullptr) return 0;
  va_list arguments;
  va_start(arguments, format);
  int length = std::vsnprintf(buffer, kLimit, format, arguments);
  va_end(arguments);
  if (length < 0) {
    buffer[0] = '\0';
    return 0;
  }
  return length < kLimit ? length : kLimit - 1;
}
