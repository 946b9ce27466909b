// Shared-library loading on Windows: LoadLibraryA with the ordinary search
// for libraries (the program's folder, the system folders, PATH).
#include "platform/dynamic_library.h"

#include "platform/win32_types.h"

void* OpenSharedLibrary(const char* fileName) { return reinterpret_cast<void*>(LoadLibraryA(fileName)); }

void* FindSharedLibrarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
