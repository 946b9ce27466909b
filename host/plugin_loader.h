// Loading the plug-in as a host does: dlopen by path, SarnicPluginEntry with
// this host's PluginHostInfo, and the records it registers.
#pragma once

#include <string>

#include "abi/host_interface.h"

namespace pexo_host {

// A record with a missing function counts as not registered, so that
// callers never call through null.
struct LoadedPlugin {
  void* library = nullptr;
  std::string path;
  const SourceRegistration* source = nullptr;  // "pcmsrc", or null
  const SinkRegistration* sink = nullptr;      // "pcmsink", or null

  // True when the record is there; otherwise a one-line reason.
  bool RequireSource(std::string* error) const;
  bool RequireSink(std::string* error) const;
};

// sarnic_pexo.so in the folder of the running executable.
std::string DefaultPluginPath();

// Loads the plug-in and runs its entry. On failure returns false with a
// one-line reason.
bool LoadPlugin(const std::string& path, LoadedPlugin* plugin, std::string* error);

}  // namespace pexo_host
