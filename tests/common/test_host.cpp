// The recording host used by the tests.
#include "tests/common/test_host.h"

#include <algorithm>
#include <cstdio>
#include <cstring>


namespace test_host {
namespace {

Record record;
std::vector<std::string> missing;

class Source : public HostSource {
 public:
  Source(ISimpleMediaDecoder* decoder, const char* path) : decoder(decoder) {
    record.sourcesCreated.push_back(path != nullptr ? path : "(null)");
    ++record.sourcesAlive;
    if (path != nullptr) decoder->OpenFile(path);
  }
#if PEXO_MSVC_TABLES
  void* DeletingDestructor(unsigned flags) override { return DeleteFromSlot0(this, flags); }
#endif
  ~Source() {
    DestroyThroughTable(decoder);
    --record.sourcesAlive;
  }
  HostSource* Duplicate() override { return nullptr; }
  bool IsAvailable() override { return decoder->IsReady(); }
  ISimpleMediaDecoder* decoder;
};

class Peaks : public PeakBuilder {
 public:
  Peaks() {
    ++record.peakBuildersCreated;
    ++record.peakBuildersAlive;
  }
#if PEXO_MSVC_TABLES
  void* DeletingDestructor(unsigned flags) override { return DeleteFromSlot0(this, flags); }
#endif
  ~Peaks() {
    --record.peakBuildersAlive;
    record.peakCalls.push_back({"destroyed"});
    record.events.push_back("peak builder destroyed");
    if (OnPeakBuilderDestroyed()) OnPeakBuilderDestroyed()();
  }
  void AddBlock(double** buffers, int count1, int count2, int value3, int value4) override {
    record.peakCalls.push_back({"AddBlock", buffers, count1, count2, value3, value4});
  }
  void Reserved() override {}
  int PeakQuery(int request, void*, int size) override {
    record.peakCalls.push_back({"PeakQuery", nullptr, request, size});
    return 77;
  }
  void PeakRecordQuery(void*, int index, int flags) override {
    record.peakCalls.push_back({"PeakRecordQuery", nullptr, index, flags});
  }
};

const char* GetExePath() { return "/usr/bin/test-host"; }
HostSource* CreateFromSimple(ISimpleMediaDecoder* decoder, const char* path) {
  if (RefuseSources()) return nullptr;
  return new Source(decoder, path);
}
void UpdateDiskCounters(int read, int written) { record.diskCounters.push_back({read, written}); }
void ShowConsoleMsg(const char* text) { record.consoleMessages.push_back(text); }
const char* GetIniFile() { return IniPath().c_str(); }
void GetPreferredDiskWriteMode(int* mode, int* count, int* size) {
  if (mode) *mode = 0;
  if (count) *count = 4;
  if (size) *size = 65536;
}
PeakBuilder* PeakBuildCreate(void*, const char*, int, int) {
  if (RefusePeakBuilder()) return nullptr;
  return new Peaks;
}
int RegisterItem(const char* key, void* item) {
  record.registrations.emplace_back(key, item);
  return 0;  // a host may report failure; the plug-in does not look
}

template <typename Function>
void* Address(Function function) {
  void* address;
  std::memcpy(&address, &function, sizeof address);
  return address;
}

const std::map<std::string, void*>& Functions() {
  static const std::map<std::string, void*> functions = {
      {"GetExePath", Address(&GetExePath)},
      {"PCM_Source_CreateFromSimple", Address(&CreateFromSimple)},
      {"format_timestr", Address(&FormatTime)},
      {"update_disk_counters", Address(&UpdateDiskCounters)},
      {"ShowConsoleMsg", Address(&ShowConsoleMsg)},
      {"get_ini_file", Address(&GetIniFile)},
      {"GetPreferredDiskWriteMode", Address(&GetPreferredDiskWriteMode)},
      {"PeakBuild_Create", Address(&PeakBuildCreate)},
  };
  return functions;
}

}  // namespace

Record& Recorded() { return record; }

void Reset() {
  int sourcesAlive = record.sourcesAlive;
  int peakBuildersAlive = record.peakBuildersAlive;
  record = Record();
  record.sourcesAlive = sourcesAlive;  // objects still alive stay counted
  record.peakBuildersAlive = peakBuildersAlive;
  missing.clear();
  OnPeakBuilderDestroyed() = nullptr;
  RefusePeakBuilder() = false;
  RefuseSources() = false;
}

void SetMissingFunctions(std::vector<std::string> names) { missing = std::move(names); }

std::string& IniPath() {
  static std::string path = "/nonexistent/host.ini";
  return path;
}
std::function<void()>& OnPeakBuilderDestroyed() {
  static std::function<void()> callback;
  return callback;
}
bool& RefusePeakBuilder() {
  static bool refuse = false;
  return refuse;
}
bool& RefuseSources() {
  static bool refuse = false;
  return refuse;
}

void* FunctionNamed(const char* name) {
  auto found = Functions().find(name);
  return found == Functions().end() ? nullptr : found->second;
}

void* GetApiFunction(const char* name) {
  record.namesAsked.push_back(name);
  if (std::find(missing.begin(), missing.end(), name) != missing.end()) return nullptr;
  return FunctionNamed(name);
}

PluginHostInfo HostInfo(int version) {
  PluginHostInfo info{};
  info.hostVersion = version;
  info.registerItem = &RegisterItem;
  info.getApiFunction = &GetApiFunction;
  return info;
}

ISimpleMediaDecoder* DecoderOf(HostSource* source) { return static_cast<Source*>(source)->decoder; }

void FormatTime(double seconds, char* buffer, int size) {
  if (buffer != nullptr && size > 0) std::snprintf(buffer, static_cast<size_t>(size), "%.3f s", seconds);
}

}  // namespace test_host
