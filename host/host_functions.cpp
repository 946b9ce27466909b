// The host functions handed to the plug-in through getApiFunction.
#include "host/host_functions.h"

#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>

#include "abi/host_interface.h"
#include "host/host_source.h"
#include "host/peak_builder.h"
#include "host/time_format.h"

namespace pexo_host {
namespace {

std::string iniPath;
std::atomic<long long> totalRead{0};
std::atomic<long long> totalWritten{0};

// The folder that holds the host's executable, with a trailing slash.
const char* GetExePath() {
  static const std::string folder = [] {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string("./");
    std::string full(path, static_cast<size_t>(length));
    return full.substr(0, full.rfind('/') + 1);
  }();
  return folder.c_str();
}

void UpdateDiskCounters(int amountRead, int amountWritten) {
  totalRead += amountRead;
  totalWritten += amountWritten;
}

// The host's console is its standard error; the plug-in's own standard
// output is flushed first so that the two appear in the order they came.
void ShowConsoleMsg(const char* text) {
  std::fflush(stdout);
  std::fprintf(stderr, "pexo-host: plug-in: %s\n", text != nullptr ? text : "");
  std::fflush(stderr);
}

const char* GetIniFile() { return iniPath.c_str(); }

// Writes are made straight to the file in blocks of 64 KiB.
void GetPreferredDiskWriteMode(int* mode, int* bufferCount, int* bufferSize) {
  if (mode != nullptr) *mode = 0;
  if (bufferCount != nullptr) *bufferCount = 4;
  if (bufferSize != nullptr) *bufferSize = 65536;
}

template <typename Function>
void* Address(Function function) {
  static_assert(sizeof(Function) == sizeof(void*), "function and data pointers differ in size");
  void* address;
  std::memcpy(&address, &function, sizeof address);
  return address;
}

struct NamedFunction {
  const char* name;
  void* address;
};

}  // namespace

void SetIniPath(const std::string& path) { iniPath = path; }
const std::string& IniPath() { return iniPath; }

DiskCounters DiskCounterTotals() { return {totalRead.load(), totalWritten.load()}; }

void* GetApiFunction(const char* name) {
  if (name == nullptr) return nullptr;
  static const NamedFunction functions[] = {
      {"GetExePath", Address<GetExePathFn>(&GetExePath)},
      {"PCM_Source_CreateFromSimple", Address<PCM_Source_CreateFromSimpleFn>(&CreateSourceFromSimple)},
      {"format_timestr", Address<format_timestrFn>(&FormatTime)},
      {"update_disk_counters", Address<update_disk_countersFn>(&UpdateDiskCounters)},
      {"ShowConsoleMsg", Address<ShowConsoleMsgFn>(&ShowConsoleMsg)},
      {"get_ini_file", Address<get_ini_fileFn>(&GetIniFile)},
      {"GetPreferredDiskWriteMode", Address<GetPreferredDiskWriteModeFn>(&GetPreferredDiskWriteMode)},
      {"PeakBuild_Create", Address<PeakBuild_CreateFn>(&CreatePeakBuilder)},
  };
  for (const NamedFunction& function : functions) {
    if (std::strcmp(function.name, name) == 0) return function.address;
  }
  return nullptr;
}

}  // namespace pexo_host
