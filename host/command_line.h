// What every command shares: reading its options (with --plugin, --ini and
// --help), usage errors (exit status 2), error lines on standard error, and
// starting the host with the records the command needs.
#pragma once

#include <getopt.h>

#include <functional>
#include <string>
#include <vector>

#include "host/plugin_loader.h"

namespace pexo_host {

constexpr int kExitUsage = 2;
// Every file converted, but an input held fewer frames than its header said.
constexpr int kExitShortInput = 3;
// The most worker processes -j takes.
constexpr int kMaxJobs = 1024;

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

// A command's own options, for ReadOptions.
struct CommandSyntax {
  const char* name;                 // "convert"
  const char* usage;                // printed for -h and --help
  const char* shortOptions;         // getopt's letters, without ':' and 'h'
  std::vector<option> longOptions;  // without the common ones
};
// Takes one of the command's own options: false for a code it does not
// know; a value it refuses sets problem to the usage message. A command
// without options of its own gives none.
using OptionTaker = std::function<bool(int code, const char* value, std::string* problem)>;
// ReadOptions' answer when the command goes on with its operands.
constexpr int kReadOn = -1;
// Reads the command's options with getopt_long: the common ones into
// options, -h and --help print the usage, every other one goes to take.
// Returns kReadOn with optind at the first operand, else the exit status
// (0 after the usage was printed, 2 after a usage error, already reported).
int ReadOptions(int argc, char** argv, const CommandSyntax& syntax, HostOptions* options,
                const OptionTaker& take = nullptr);

// "pexo-host COMMAND: message" and a pointer to --help; returns 2.
int UsageError(const std::string& command, const std::string& message);
// The message for an unknown option or a missing value at getopt's place.
std::string OptionProblem(int code, char** argv);

// "pexo-host: message" on standard error, after what standard output holds.
void PrintError(const std::string& message);

// The records a command needs, for StartHost.
enum RecordNeed : unsigned { kNeedSource = 1, kNeedSink = 2 };
// Sets the ini path, loads the plug-in and checks that it registered the
// records in needs; prints the reason on failure.
bool StartHost(const HostOptions& options, unsigned needs, LoadedPlugin* plugin);

// The name the plug-in is given for path: the plug-in takes no name shorter
// than five characters, so a short name is given as an absolute path (the
// current folder in front of a relative one, "/." in front of "/x").
std::string NameForPlugin(const std::string& path);

// Strict parsers for option values.
bool ParseQuality(const char* text, double* quality);
bool ParseCount(const char* text, int* count);

// The number of processor cores this process may use.
int CoreCount();

}  // namespace pexo_host
