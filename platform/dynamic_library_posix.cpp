// Shared-library loading on POSIX systems, through the dynamic linker.
#include "platform/dynamic_library.h"

#include <dlfcn.h>

void* OpenSharedLibrary(const char* fileName) { return dlopen(fileName, RTLD_NOW | RTLD_LOCAL); }

void* FindSharedLibrarySymbol(void* library, const char* name) { return dlsym(library, name); }
