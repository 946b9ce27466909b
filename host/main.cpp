// pexo-host: try the plug-in from a shell. Options before the command
// (--plugin, --ini) apply to it; the command does the rest.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/commands.h"

namespace {

const char kUsage[] =
    "Usage: pexo-host [--plugin FILE] [--ini FILE] COMMAND [ARGS...]\n"
    "\n"
    "A small host for the libsndfile plug-in: it loads the plug-in, reads\n"
    "files through its decoder and writes them through its writer, with the\n"
    "settings of its configuration panel.\n"
    "\n"
    "Commands:\n"
    "  info FILE...          what the plug-in tells about each file\n"
    "  convert IN... -o OUT | -d DIR   convert files through the plug-in\n"
    "  formats               the formats, encodings and byte orders on offer\n"
    "  defaults [...] | --show         set or show the stored writer defaults\n"
    "  demo                  write a test signal in several formats, read it back\n"
    "\n"
    "Options:\n"
    "  --plugin FILE   the plug-in to load (default: sarnic_pexo.so beside pexo-host)\n"
    "  --ini FILE      the host's ini file (default: $XDG_CONFIG_HOME/pexo-host/host.ini,\n"
    "                  else ~/.config/pexo-host/host.ini)\n"
    "  -h, --help      this help; 'pexo-host COMMAND --help' for a command's\n"
    "\n"
    "Exit status: 0 when everything succeeded, 1 when something failed,\n"
    "2 for a usage error, 128+N when stopped by signal N.\n";

// Takes "--name VALUE" or "--name=VALUE" at argv[*at]; false for another word.
bool TakeValue(int argc, char** argv, int* at, const char* name, std::string* value, bool* missing) {
  const char* word = argv[*at];
  size_t length = std::strlen(name);
  if (std::strncmp(word, name, length) != 0) return false;
  if (word[length] == '=') {
    *value = word + length + 1;
    return true;
  }
  if (word[length] != '\0') return false;
  if (*at + 1 >= argc) {
    *missing = true;
    return true;
  }
  *value = argv[++*at];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  pexo_host::HostOptions options;
  int at = 1;
  for (; at < argc && argv[at][0] == '-'; ++at) {
    std::string word = argv[at];
    bool missing = false;
    if (word == "-h" || word == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (TakeValue(argc, argv, &at, "--plugin", &options.plugin, &missing) ||
        TakeValue(argc, argv, &at, "--ini", &options.ini, &missing)) {
      if (missing) return pexo_host::UsageError("", "option '" + word + "' needs a value");
      continue;
    }
    return pexo_host::UsageError("", "unknown option '" + word + "'");
  }
  if (at >= argc) return pexo_host::UsageError("", "no command given");
  std::string command = argv[at];
  int count = argc - at;
  char** words = argv + at;
  if (command == "info") return pexo_host::RunInfo(count, words, options);
  if (command == "convert") return pexo_host::RunConvert(count, words, options);
  if (command == "formats") return pexo_host::RunFormats(count, words, options);
  if (command == "defaults") return pexo_host::RunDefaults(count, words, options);
  if (command == "demo") return pexo_host::RunDemo(count, words, options);
  if (command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  return pexo_host::UsageError("", "unknown command '" + command + "'");
}
