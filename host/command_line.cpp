// The shared parts of the commands: option reading, messages, start-up and
// the strict value parsers.
#include "host/command_line.h"

#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/host_functions.h"
#include "host/ini_path.h"

namespace pexo_host {

std::vector<option> WithCommonOptions(std::vector<option> options) {
  options.push_back({"plugin", required_argument, nullptr, kOptionPlugin});
  options.push_back({"ini", required_argument, nullptr, kOptionIni});
  options.push_back({"help", no_argument, nullptr, kOptionHelp});
  options.push_back({nullptr, 0, nullptr, 0});
  return options;
}

bool TakeCommonOption(int code, HostOptions* options) {
  if (code == kOptionPlugin) {
    options->plugin = optarg;
    return true;
  }
  if (code == kOptionIni) {
    options->ini = optarg;
    return true;
  }
  return false;
}

int ReadOptions(int argc, char** argv, const CommandSyntax& syntax, HostOptions* options, const OptionTaker& take) {
  std::vector<option> longOptions = WithCommonOptions(syntax.longOptions);
  const std::string shortOptions = std::string(":") + syntax.shortOptions + "h";
  optind = 0;  // a fresh scan, with GNU's reinitialisation
  opterr = 0;  // problems are reported here, as usage errors
  int code;
  while ((code = getopt_long(argc, argv, shortOptions.c_str(), longOptions.data(), nullptr)) != -1) {
    if (TakeCommonOption(code, options)) continue;
    if (code == kOptionHelp || code == 'h') {
      std::fputs(syntax.usage, stdout);
      return 0;
    }
    std::string problem;
    if (code == '?' || code == ':' || !take || !take(code, optarg, &problem)) {
      return UsageError(syntax.name, OptionProblem(code, argv));
    }
    if (!problem.empty()) return UsageError(syntax.name, problem);
  }
  return kReadOn;
}

int UsageError(const std::string& command, const std::string& message) {
  std::fflush(stdout);
  std::string name = command.empty() ? "pexo-host" : "pexo-host " + command;
  std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", name.c_str(), message.c_str(), name.c_str());
  return kExitUsage;
}

std::string OptionProblem(int code, char** argv) {
  const char* given = optind > 0 ? argv[optind - 1] : "";
  if (code == ':') return std::string("option '") + given + "' needs a value";
  if (optopt != 0) return std::string("unknown option '-") + static_cast<char>(optopt) + "'";
  return std::string("unknown option '") + given + "'";
}

void PrintError(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "pexo-host: %s\n", message.c_str());
  std::fflush(stderr);
}

bool StartHost(const HostOptions& options, unsigned needs, LoadedPlugin* plugin) {
  SetIniPath(options.ini.empty() ? DefaultIniPath() : options.ini);
  std::string error;
  if (!LoadPlugin(options.plugin.empty() ? DefaultPluginPath() : options.plugin, plugin, &error) ||
      ((needs & kNeedSource) != 0 && !plugin->RequireSource(&error)) ||
      ((needs & kNeedSink) != 0 && !plugin->RequireSink(&error))) {
    PrintError(error);
    return false;
  }
  return true;
}

std::string NameForPlugin(const std::string& path) {
  constexpr size_t kShortestName = 5;  // the plug-in's minimum
  if (path.empty() || path.size() >= kShortestName) return path;
  std::string name = path;
  char folder[PATH_MAX];
  if (name[0] != '/' && getcwd(folder, sizeof folder) != nullptr) name = std::string(folder) + "/" + name;
  // Still short ("/x", or the current folder is "/"): "/./x" means the same,
  // as "././x" does for a relative name.
  while (name.size() < kShortestName) name.insert(0, name[0] == '/' ? "/." : "./");
  return name;
}

bool ParseQuality(const char* text, double* quality) {
  char* end = nullptr;
  errno = 0;
  double value = std::strtod(text, &end);
  if (end == text || *end != '\0' || errno != 0 || !(value >= 0.0 && value <= 1.0)) return false;
  *quality = value;
  return true;
}

bool ParseCount(const char* text, int* count) {
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno != 0 || value < 1 || value > kMaxJobs) return false;
  *count = static_cast<int>(value);
  return true;
}

int CoreCount() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    int count = CPU_COUNT(&set);
    if (count > 0) return count;
  }
  return 1;
}

}  // namespace pexo_host
