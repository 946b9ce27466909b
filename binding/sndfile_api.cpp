// Binding of libsndfile's entry points by name.
#include "binding/sndfile_api.h"

#include <cstring>

#include "platform/dynamic_library.h"

SndfileFunctions SndfileApi;

#if defined(_WIN32)
const char* const kSndfileLibraryName = "libsndfile-1.dll";
#elif defined(__APPLE__)
const char* const kSndfileLibraryName = "libsndfile.1.dylib";
#else
const char* const kSndfileLibraryName = "libsndfile.so.1";
#endif

namespace {

bool complete = false;

// Stores the symbol's address in the slot; returns 1 when it is missing.
template <typename Function>
int Bind(Function& slot, const char* name) {
  void* address = FindSharedLibrarySymbol(SndfileApi.libraryHandle, name);
  static_assert(sizeof(slot) == sizeof(address), "function and data pointers differ in size");
  std::memcpy(&slot, &address, sizeof(slot));
  return address == nullptr ? 1 : 0;
}

}  // namespace

int LoadSndfile() {
  if (complete) return 0;
  // A library loaded by an earlier, incomplete binding is asked again: the
  // lookups are cheap and no slot is ever left pointing at nothing usable.
  if (SndfileApi.libraryHandle == nullptr) {
    SndfileApi.libraryHandle = OpenSharedLibrary(kSndfileLibraryName);
    if (SndfileApi.libraryHandle == nullptr) return 1;
  }
  int missing = 0;
  missing += Bind(SndfileApi.sf_command, "sf_command");
  missing += Bind(SndfileApi.sf_open, "sf_open");
  missing += Bind(SndfileApi.sf_close, "sf_close");
  missing += Bind(SndfileApi.sf_read_double, "sf_read_double");
  missing += Bind(SndfileApi.sf_seek, "sf_seek");
  missing += Bind(SndfileApi.sf_readf_double, "sf_readf_double");
  missing += Bind(SndfileApi.sf_version_string, "sf_version_string");
  missing += Bind(SndfileApi.sf_format_check, "sf_format_check");
  missing += Bind(SndfileApi.sf_write_float, "sf_write_float");
  missing += Bind(SndfileApi.sf_write_double, "sf_write_double");
#if defined(_WIN32)
  Bind(SndfileApi.sf_wchar_open, "sf_wchar_open");
#endif
  complete = missing == 0;
  return missing;
}
