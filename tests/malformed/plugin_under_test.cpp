// Loading and starting the plug-in for the malformed-input cases.
#include "tests/malformed/plugin_under_test.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "tests/common/test_host.h"

namespace {

struct Records {
  const SourceRegistration* source = nullptr;
  const SinkRegistration* sink = nullptr;
};

Records Start() {
  Records records;
  void* plugin = dlopen(PEXO_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  if (plugin == nullptr) return records;
  auto entry = reinterpret_cast<SarnicPluginEntryFn>(dlsym(plugin, "SarnicPluginEntry"));
  if (entry == nullptr) return records;
  test_host::Reset();
  PluginHostInfo info = test_host::HostInfo();
  if (entry(reinterpret_cast<HINSTANCE>(plugin), &info) != 1) return records;
  for (const auto& registration : test_host::Recorded().registrations) {
    if (registration.first == "pcmsrc") records.source = static_cast<const SourceRegistration*>(registration.second);
    if (registration.first == "pcmsink") records.sink = static_cast<const SinkRegistration*>(registration.second);
  }
  return records;
}

const Records& Started() {
  static const Records records = Start();
  return records;
}

void RemoveScratch() {
  std::error_code ignored;
  std::filesystem::permissions(ScratchFolder(), std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(ScratchFolder(), ignored);
}

}  // namespace

const SourceRegistration* SourceRecord() { return Started().source; }
const SinkRegistration* SinkRecord() { return Started().sink; }

const std::string& ScratchFolder() {
  // Never destroyed: the removal at exit still needs the name.
  static const std::string* const folder = new std::string([] {
    std::string pattern = (std::filesystem::temp_directory_path() / "pexo-malformed-XXXXXX").string();
    if (mkdtemp(&pattern[0]) == nullptr) std::abort();
    // Others may enter: a case run under another user opens files here.
    std::filesystem::permissions(pattern, std::filesystem::perms::owner_all | std::filesystem::perms::group_exec |
                                              std::filesystem::perms::others_exec);
    return pattern;
  }());
  static const int removal = std::atexit(RemoveScratch);
  static_cast<void>(removal);
  return *folder;
}

std::string ScratchFile(const std::string& name, const std::string& contents) {
  std::string path = ScratchFolder() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
  return path;
}
