// Installs the recording host straight into HostApi, for white-box tests
// that link the plug-in's code instead of loading the plug-in.
#include <cstring>

#include "binding/host_api.h"
#include "tests/common/test_host.h"

namespace test_host {
namespace {

template <typename Function>
void Install(Function& slot, const char* name) {
  void* address = FunctionNamed(name);
  std::memcpy(&slot, &address, sizeof slot);
}

}  // namespace

void InstallIntoHostApi() {
  Install(HostApi.GetExePath, "GetExePath");
  Install(HostApi.PCM_Source_CreateFromSimple, "PCM_Source_CreateFromSimple");
  Install(HostApi.format_timestr, "format_timestr");
  Install(HostApi.update_disk_counters, "update_disk_counters");
  Install(HostApi.ShowConsoleMsg, "ShowConsoleMsg");
  Install(HostApi.get_ini_file, "get_ini_file");
  Install(HostApi.GetPreferredDiskWriteMode, "GetPreferredDiskWriteMode");
  Install(HostApi.PeakBuild_Create, "PeakBuild_Create");
}

}  // namespace test_host
