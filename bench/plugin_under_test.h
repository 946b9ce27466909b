// The plug-in as a host sees it: the shared library loaded by path, its
// entry called with the measuring host, and the two records it registered.
#pragma once

#include <string>

#include "abi/host_interface.h"

namespace bench {

struct LoadedPlugin {
  void* library = nullptr;
  const SourceRegistration* sources = nullptr;
  const SinkRegistration* sinks = nullptr;
};

// Loads the plug-in and runs its entry once; on failure returns false and
// says why in error. The library stays loaded for the process's lifetime.
bool LoadPlugin(const std::string& path, LoadedPlugin& plugin, std::string& error);

}  // namespace bench
