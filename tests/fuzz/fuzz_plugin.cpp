// Starting the linked-in plug-in through its entry.
#include "tests/fuzz/fuzz_plugin.h"

#include <string>

#include "tests/common/test_host.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

StartedPlugin Start() {
  test_host::Reset();
  PluginHostInfo info = test_host::HostInfo();
  // The plug-in's code is linked into this program, and the null module
  // names the program itself: the panel finds its dialog template there.
  FUZZ_CHECK(SarnicPluginEntry(nullptr, &info) == 1);
  StartedPlugin plugin{nullptr, nullptr};
  for (const auto& registration : test_host::Recorded().registrations) {
    if (registration.first == "pcmsrc") plugin.source = static_cast<const SourceRegistration*>(registration.second);
    if (registration.first == "pcmsink") plugin.sink = static_cast<const SinkRegistration*>(registration.second);
  }
  FUZZ_CHECK(plugin.source != nullptr && plugin.sink != nullptr);
  test_host::Reset();
  return plugin;
}

}  // namespace

const StartedPlugin& StartPlugin() {
  static const StartedPlugin plugin = Start();
  return plugin;
}
