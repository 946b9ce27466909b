// The eight functions this host offers the plug-in by name, and the state
// behind them: the ini path, the executable's folder and the disk counters.
#pragma once

#include <string>

namespace pexo_host {

// What get_ini_file answers; set once at start-up, before the plug-in runs.
void SetIniPath(const std::string& path);
const std::string& IniPath();

// Totals of what the plug-in reported through update_disk_counters.
struct DiskCounters {
  long long amountRead;
  long long amountWritten;
};
DiskCounters DiskCounterTotals();

// The host's getApiFunction: a function's address by name, or null.
void* GetApiFunction(const char* name);

}  // namespace pexo_host
