// The measuring host's functions: constant answers and empty bodies.
#include "bench/null_host.h"

#include <cstdio>
#include <cstring>

namespace bench {
namespace {

const SourceRegistration* sources = nullptr;
const SinkRegistration* sinks = nullptr;

const char* GetExePath() { return "/"; }
HostSource* CreateFromSimple(ISimpleMediaDecoder* decoder, const char* path) {
  return new NullSource(decoder, path);
}
void FormatTime(double seconds, char* buffer, int size) {
  if (buffer != nullptr && size > 0) std::snprintf(buffer, static_cast<size_t>(size), "%.3f", seconds);
}
void UpdateDiskCounters(int, int) {}
void ShowConsoleMsg(const char* text) { std::fprintf(stderr, "host console: %s\n", text); }
// No ini file: the panel and the writer fall back to their built-in defaults
// unless given a block.
const char* GetIniFile() { return "/nonexistent/pexo-bench.ini"; }
void GetPreferredDiskWriteMode(int* mode, int* count, int* size) {
  if (mode != nullptr) *mode = 0;
  if (count != nullptr) *count = 4;
  if (size != nullptr) *size = 65536;
}
PeakBuilder* PeakBuildCreate(void*, const char*, int, int) { return nullptr; }

int RegisterItem(const char* key, void* record) {
  if (std::strcmp(key, "pcmsrc") == 0) sources = static_cast<const SourceRegistration*>(record);
  if (std::strcmp(key, "pcmsink") == 0) sinks = static_cast<const SinkRegistration*>(record);
  return 1;
}

template <typename Function>
void* Address(Function function) {
  static_assert(sizeof(Function) == sizeof(void*), "function and data pointers differ in size");
  void* address;
  std::memcpy(&address, &function, sizeof address);
  return address;
}

void* GetApiFunction(const char* name) {
  struct Named {
    const char* name;
    void* address;
  };
  const Named functions[] = {
      {"GetExePath", Address(&GetExePath)},
      {"PCM_Source_CreateFromSimple", Address(&CreateFromSimple)},
      {"format_timestr", Address(&FormatTime)},
      {"update_disk_counters", Address(&UpdateDiskCounters)},
      {"ShowConsoleMsg", Address(&ShowConsoleMsg)},
      {"get_ini_file", Address(&GetIniFile)},
      {"GetPreferredDiskWriteMode", Address(&GetPreferredDiskWriteMode)},
      {"PeakBuild_Create", Address(&PeakBuildCreate)},
  };
  for (const Named& function : functions) {
    if (std::strcmp(function.name, name) == 0) return function.address;
  }
  return nullptr;
}

}  // namespace

NullSource::NullSource(ISimpleMediaDecoder* decoder, const char* path) : decoder(decoder) {
  if (path != nullptr) decoder->OpenFile(path);
}
NullSource::~NullSource() { delete decoder; }
HostSource* NullSource::Duplicate() { return nullptr; }
bool NullSource::IsAvailable() { return decoder->IsReady(); }

PluginHostInfo NullHostInfo() {
  PluginHostInfo info{};
  info.hostVersion = kHostInterfaceVersion;
  info.registerItem = &RegisterItem;
  info.getApiFunction = &GetApiFunction;
  return info;
}

const SourceRegistration* RegisteredSources() { return sources; }
const SinkRegistration* RegisteredSinks() { return sinks; }

ISimpleMediaDecoder* DecoderOf(HostSource* source) { return static_cast<NullSource*>(source)->decoder; }

}  // namespace bench
