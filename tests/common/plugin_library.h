// Loading the built plug-in as a host does: dlopen on POSIX, LoadLibraryA
// on Windows, whose module handle is the HINSTANCE the entry gets.
#pragma once

#include <string>

#if defined(_WIN32)
#include "platform/win32_types.h"
#else
#include <dlfcn.h>
#endif

#include "abi/host_interface.h"

namespace test_host {

inline void* LoadPlugin(const char* path) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(LoadLibraryA(path));
#else
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
#endif
}

inline SarnicPluginEntryFn PluginEntry(void* library) {
  if (library == nullptr) return nullptr;
#if defined(_WIN32)
  return reinterpret_cast<SarnicPluginEntryFn>(
      reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), "SarnicPluginEntry")));
#else
  return reinterpret_cast<SarnicPluginEntryFn>(dlsym(library, "SarnicPluginEntry"));
#endif
}

// Why the last load failed, for a test's message.
inline std::string LoadError() {
#if defined(_WIN32)
  return "error " + std::to_string(GetLastError());
#else
  const char* text = dlerror();
  return text != nullptr ? text : "";
#endif
}

}  // namespace test_host
