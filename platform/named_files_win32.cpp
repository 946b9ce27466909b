// OpenNamedFile and IsRegularFile on Windows: a UTF-8 name through the
// wide-character calls; a name that is not UTF-8 through the 8-bit ones
// with its bytes as they are.
#include "platform/named_files.h"

#include "platform/utf16_name.h"

std::FILE* OpenNamedFile(const char* name, const wchar_t* wideMode, const char* mode) {
  Utf16Name wideName(name);
  if (wideName.Get() == nullptr) return std::fopen(name, mode);
  return _wfopen(wideName.Get(), wideMode);
}

bool IsRegularFile(const char* name) {
  if (name == nullptr) return false;
  Utf16Name wideName(name);
  if (wideName.Get() == nullptr) {
    struct _stat64 status;
    return _stat64(name, &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
  }
  struct _stat64 status;
  return _wstat64(wideName.Get(), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
}
