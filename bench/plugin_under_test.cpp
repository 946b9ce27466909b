// Loading the plug-in through the dynamic loader, as a host does.
#include "bench/plugin_under_test.h"

#include <dlfcn.h>

#include <cstring>

#include "bench/null_host.h"

namespace bench {

bool LoadPlugin(const std::string& path, LoadedPlugin& plugin, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    error = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown");
    return false;
  }
  void* symbol = dlsym(library, "SarnicPluginEntry");
  if (symbol == nullptr) {
    error = path + " exports no SarnicPluginEntry";
    return false;
  }
  SarnicPluginEntryFn entry;
  static_assert(sizeof entry == sizeof symbol, "function and data pointers differ in size");
  std::memcpy(&entry, &symbol, sizeof entry);
  PluginHostInfo info = NullHostInfo();
  // On POSIX the loader's handle is the library's instance handle.
  if (entry(reinterpret_cast<HINSTANCE>(library), &info) != 1) {
    error = "SarnicPluginEntry refused to start (is libsndfile.so.1 installed?)";
    return false;
  }
  plugin.library = library;
  plugin.sources = RegisteredSources();
  plugin.sinks = RegisteredSinks();
  if (plugin.sources == nullptr || plugin.sinks == nullptr) {
    error = "the plug-in did not register both services";
    return false;
  }
  return true;
}

}  // namespace bench
