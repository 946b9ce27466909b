// The plug-in loader and the host's registration mechanism.
#include "host/plugin_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "host/host_functions.h"

namespace pexo_host {
namespace {

// What registerItem received during the entry.
const SourceRegistration* registeredSource = nullptr;
const SinkRegistration* registeredSink = nullptr;

int RegisterItem(const char* key, void* record) {
  if (key == nullptr || record == nullptr) return 0;
  if (std::strcmp(key, "pcmsrc") == 0) {
    registeredSource = static_cast<const SourceRegistration*>(record);
    return 1;
  }
  if (std::strcmp(key, "pcmsink") == 0) {
    registeredSink = static_cast<const SinkRegistration*>(record);
    return 1;
  }
  return 0;  // a service this host does not use
}

bool Complete(const SourceRegistration* source) {
  return source->makeFromTypeTag != nullptr && source->makeFromFile != nullptr &&
         source->listExtensions != nullptr;
}
bool Complete(const SinkRegistration* sink) {
  return sink->typeTagAndLabel != nullptr && sink->extensionFor != nullptr &&
         sink->openConfigPanel != nullptr && sink->makeSink != nullptr;
}

}  // namespace

bool LoadedPlugin::RequireSource(std::string* error) const {
  if (source != nullptr) return true;
  *error = "the plug-in " + path + " offers no complete file reader (pcmsrc)";
  return false;
}

bool LoadedPlugin::RequireSink(std::string* error) const {
  if (sink != nullptr) return true;
  *error = "the plug-in " + path + " offers no complete file writer (pcmsink)";
  return false;
}

std::string DefaultPluginPath() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "sarnic_pexo.so";
  std::string full(path, static_cast<size_t>(length));
  return full.substr(0, full.rfind('/') + 1) + "sarnic_pexo.so";
}

bool LoadPlugin(const std::string& path, LoadedPlugin* plugin, std::string* error) {
  // dlopen searches the library path for a bare name; a host loads a file.
  std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    *error = "cannot load plug-in " + path + ": " + (reason != nullptr ? reason : "unknown error");
    return false;
  }
  void* entryAddress = dlsym(library, "SarnicPluginEntry");
  if (entryAddress == nullptr) {
    *error = path + " is not a plug-in: it exports no SarnicPluginEntry";
    return false;
  }
  SarnicPluginEntryFn entry;
  static_assert(sizeof entry == sizeof entryAddress, "function and data pointers differ in size");
  std::memcpy(&entry, &entryAddress, sizeof entry);

  PluginHostInfo info{};
  info.hostVersion = kHostInterfaceVersion;
  info.registerItem = &RegisterItem;
  info.getApiFunction = &GetApiFunction;
  registeredSource = nullptr;
  registeredSink = nullptr;
  // The module handle is the loader's handle of the library.
  int started = entry(static_cast<HINSTANCE>(library), &info);
  if (started == 0) {
    *error = "the plug-in " + path + " declined to start (is libsndfile installed?)";
    return false;
  }
  plugin->library = library;
  plugin->path = path;
  plugin->source = registeredSource != nullptr && Complete(registeredSource) ? registeredSource : nullptr;
  plugin->sink = registeredSink != nullptr && Complete(registeredSink) ? registeredSink : nullptr;
  return true;
}

}  // namespace pexo_host
