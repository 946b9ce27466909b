// The scripted loader behind fake_dynamic_library.h.
#include "tests/plugin/fake_dynamic_library.h"

#include <algorithm>

#include "platform/dynamic_library.h"

namespace fake_loader {

Script& Current() {
  static Script script;
  return script;
}
Log& Recorded() {
  static Log log;
  return log;
}

}  // namespace fake_loader

namespace {
int library;          // its address stands for the loaded library
void Function() {}    // every name that is present resolves here
}  // namespace

void* OpenSharedLibrary(const char* fileName) {
  fake_loader::Recorded().opened.push_back(fileName);
  return fake_loader::Current().libraryPresent ? &library : nullptr;
}

void* FindSharedLibrarySymbol(void* handle, const char* name) {
  fake_loader::Recorded().lookedUp.push_back(name);
  const auto& missing = fake_loader::Current().missingNames;
  if (handle != &library || std::find(missing.begin(), missing.end(), name) != missing.end()) {
    return nullptr;
  }
  return reinterpret_cast<void*>(&Function);
}
