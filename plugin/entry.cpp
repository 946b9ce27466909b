// SarnicPluginEntry: the plug-in's only export and its whole start-up.
#include <cstring>

#include "abi/host_interface.h"
#include "binding/host_api.h"
#include "binding/sndfile_api.h"
#include "plugin/registration_records.h"

namespace {

const char kImportFailureMessage[] =
    "Errors importing Sarnic API functions, aborting loading Dovrekin Pexo";

// Asks the host for one function and stores it; returns 1 when it is missing.
template <typename Function>
int Import(PluginHostInfo* hostInfo, Function& slot, const char* name) {
  void* address = hostInfo->getApiFunction(name);
  static_assert(sizeof(slot) == sizeof(address), "function and data pointers differ in size");
  std::memcpy(&slot, &address, sizeof(slot));
  return address == nullptr ? 1 : 0;
}

}  // namespace

// The one symbol the library exports (on Windows undecorated, as the
// extern "C" name of a 64-bit DLL is).
#if defined(_WIN32)
#define PEXO_ENTRY_EXPORT __declspec(dllexport)
#else
#define PEXO_ENTRY_EXPORT __attribute__((visibility("default")))
#endif

extern "C" PEXO_ENTRY_EXPORT int SarnicPluginEntry(HINSTANCE instance, PluginHostInfo* hostInfo) {
  pluginInstance = instance;
  if (hostInfo == nullptr) return 0;
  if (hostInfo->hostVersion != kHostInterfaceVersion) return 0;
  if (hostInfo->getApiFunction == nullptr) return 0;

  int missing = 0;
  missing += Import(hostInfo, HostApi.GetExePath, "GetExePath");
  missing += Import(hostInfo, HostApi.PCM_Source_CreateFromSimple, "PCM_Source_CreateFromSimple");
  missing += Import(hostInfo, HostApi.format_timestr, "format_timestr");
  missing += Import(hostInfo, HostApi.update_disk_counters, "update_disk_counters");
  missing += Import(hostInfo, HostApi.ShowConsoleMsg, "ShowConsoleMsg");
  missing += Import(hostInfo, HostApi.get_ini_file, "get_ini_file");
  missing += Import(hostInfo, HostApi.GetPreferredDiskWriteMode, "GetPreferredDiskWriteMode");
  missing += Import(hostInfo, HostApi.PeakBuild_Create, "PeakBuild_Create");
  if (missing != 0) {
    if (HostApi.ShowConsoleMsg != nullptr) HostApi.ShowConsoleMsg(kImportFailureMessage);
    return 0;
  }

  if (LoadSndfile() != 0) return 0;

  // A record without a registration function cannot take the services.
  if (hostInfo->registerItem == nullptr) return 0;
  hostInfo->registerItem("pcmsrc", const_cast<SourceRegistration*>(&kSourceRegistration));
  hostInfo->registerItem("pcmsink", const_cast<SinkRegistration*>(&kSinkRegistration));
  return 1;
}
