// Reading the host's ini file by the path the host gave: a UTF-8 path on
// Windows, read through the wide-character profile functions; on POSIX the
// bytes of the path as they are, through the Win32 subset layer.
#pragma once

#include "platform/win32.h"

#if defined(_WIN32)
UINT ReadProfileInt(const char* section, const char* key, int defaultValue, const char* path);
BOOL ReadProfileStruct(const char* section, const char* key, void* data, UINT size, const char* path);
#else
inline UINT ReadProfileInt(const char* section, const char* key, int defaultValue, const char* path) {
  return GetPrivateProfileIntA(section, key, defaultValue, path);
}
inline BOOL ReadProfileStruct(const char* section, const char* key, void* data, UINT size, const char* path) {
  return GetPrivateProfileStructA(section, key, data, size, path);
}
#endif
