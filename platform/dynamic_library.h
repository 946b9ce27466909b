// Loading a shared library by file name with the platform's ordinary search,
// and looking up a name in it. The library is never unloaded.
#pragma once

// Null when the library cannot be loaded.
void* OpenSharedLibrary(const char* fileName);

// Null when the name is missing.
void* FindSharedLibrarySymbol(void* library, const char* name);
