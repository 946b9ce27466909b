// OpenNamedFile on Windows: a UTF-8 name through _wfopen; a name that is
// not UTF-8 through fopen with its bytes as they are.
#include "platform/named_files.h"

#include "platform/utf16_name.h"

std::FILE* OpenNamedFile(const char* name, const wchar_t* wideMode, const char* mode) {
  Utf16Name wideName(name);
  if (wideName.Get() == nullptr) return std::fopen(name, mode);
  return _wfopen(wideName.Get(), wideMode);
}
