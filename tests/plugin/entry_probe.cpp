// A host in a process of its own: loads the plug-in named on the command
// line, calls its entry twice with the recording host and prints what it
// saw, one fact a line, for a parent test to compare.
#include <cstdio>

#include "tests/common/plugin_library.h"
#include "tests/common/test_host.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* plugin = test_host::LoadPlugin(argv[1]);
  if (plugin == nullptr) {
    std::printf("load failed: %s\n", test_host::LoadError().c_str());
    return 1;
  }
  auto entry = test_host::PluginEntry(plugin);
  if (entry == nullptr) return 1;
  PluginHostInfo info = test_host::HostInfo();
  for (int call = 0; call < 2; ++call) {
    test_host::Reset();
    std::printf("result %d\n", entry(reinterpret_cast<HINSTANCE>(plugin), &info));
    std::printf("asked %zu\n", test_host::Recorded().namesAsked.size());
    for (const auto& registration : test_host::Recorded().registrations) {
      std::printf("registered %s\n", registration.first.c_str());
    }
    for (const auto& message : test_host::Recorded().consoleMessages) {
      std::printf("message %s\n", message.c_str());
    }
  }
  return 0;
}
