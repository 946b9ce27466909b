// What every command shares: the options --plugin and --ini, usage errors
// (exit status 2), error lines on standard error, and starting the host.
#pragma once

#include <getopt.h>

#include <string>
#include <vector>

#include "host/plugin_loader.h"

namespace pexo_host {

constexpr int kExitUsage = 2;

// The options every command takes, and their getopt_long codes.
struct HostOptions {
  std::string plugin;  // "" for the default
  std::string ini;     // "" for the default
};
enum CommonOption { kOptionPlugin = 1000, kOptionIni, kOptionHelp };
// Appends --plugin, --ini and --help to a command's long options, then the
// terminating entry.
std::vector<option> WithCommonOptions(std::vector<option> options);
// Handles a common option's code; false for any other.
bool TakeCommonOption(int code, HostOptions* options);

// "pexo-host COMMAND: message" and a pointer to --help; returns 2.
int UsageError(const std::string& command, const std::string& message);
// The message for an unknown option or a missing value at getopt's place.
std::string OptionProblem(int code, char** argv);

// "pexo-host: message" on standard error, after what standard output holds.
void PrintError(const std::string& message);

// Sets the ini path and loads the plug-in; prints the reason on failure.
bool StartHost(const HostOptions& options, LoadedPlugin* plugin);

// The name the plug-in is given for path: the plug-in takes no name shorter
// than five characters, so short relative names get "./" in front.
std::string NameForPlugin(const std::string& path);

// Strict parsers for option values.
bool ParseQuality(const char* text, double* quality);
bool ParseCount(const char* text, int* count);

// The number of processor cores this process may use.
int CoreCount();

}  // namespace pexo_host
