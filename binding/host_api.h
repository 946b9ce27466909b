// Process-wide state written by the entry: the host functions the plug-in
// imports by name and the plug-in's own module handle.
#pragma once

#include "abi/host_interface.h"

// The eight host functions, in the order the entry asks for them.
struct HostFunctions {
  GetExePathFn GetExePath;
  PCM_Source_CreateFromSimpleFn PCM_Source_CreateFromSimple;
  format_timestrFn format_timestr;
  update_disk_countersFn update_disk_counters;
  ShowConsoleMsgFn ShowConsoleMsg;
  get_ini_fileFn get_ini_file;
  GetPreferredDiskWriteModeFn GetPreferredDiskWriteMode;
  PeakBuild_CreateFn PeakBuild_Create;
};

extern HostFunctions HostApi;

// The module handle the host gave the entry; the panel creates its dialog
// from this module's resources.
extern HINSTANCE pluginInstance;
