// The process-wide tables the entry fills: the imported host functions and
// the plug-in's own module handle.
#include "binding/host_api.h"

HostFunctions HostApi;
HINSTANCE pluginInstance;
