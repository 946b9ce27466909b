// C streams opened by a name the host gave, and positioned by 64-bit
// offsets: on Windows the name is UTF-8 (opened through _wfopen) and the
// offsets go through _fseeki64, since off_t is 32 bits there. And whether
// a name is a regular file (one that can be opened again and read from the
// start, unlike a pipe).
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>

#if defined(_WIN32)
std::FILE* OpenNamedFile(const char* name, const wchar_t* wideMode, const char* mode);
bool IsRegularFile(const char* name);
inline bool SeekFileTo(std::FILE* file, int64_t offset) { return _fseeki64(file, offset, SEEK_SET) == 0; }
inline int64_t FileLengthOf(std::FILE* file) {
  return _fseeki64(file, 0, SEEK_END) == 0 ? _ftelli64(file) : -1;
}
#else
inline std::FILE* OpenNamedFile(const char* name, const wchar_t* /*wideMode*/, const char* mode) {
  return std::fopen(name, mode);
}
inline bool IsRegularFile(const char* name) {
  struct stat status;
  return name != nullptr && stat(name, &status) == 0 && S_ISREG(status.st_mode);
}
inline bool SeekFileTo(std::FILE* file, int64_t offset) {
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}
inline int64_t FileLengthOf(std::FILE* file) {
  return fseeko(file, 0, SEEK_END) == 0 ? static_cast<int64_t>(ftello(file)) : -1;
}
#endif
