// pexo-host info: the plug-in's properties text for each file.
#include <cstdio>
#include <string>

#include "host/commands.h"
#include "host/host_source.h"
#include "host/input_file.h"

namespace pexo_host {
namespace {

const char kInfoUsage[] =
    "Usage: pexo-host info [--plugin FILE] [--ini FILE] FILE...\n"
    "\n"
    "Prints, for each file, what the plug-in's decoder tells about it: length,\n"
    "sample rate, channels, bits per sample, format, encoding and libsndfile's\n"
    "version. A file that cannot be read gets a one-line error on standard\n"
    "error; the exit status is 0 only when every file could be read.\n";

// The properties text uses CR LF line ends; a shell wants LF.
std::string Indented(const char* text) {
  std::string lines = "  ";
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\r') continue;
    lines += *c;
    if (*c == '\n' && c[1] != '\0') lines += "  ";
  }
  if (lines.empty() || lines.back() != '\n') lines += '\n';
  return lines;
}

}  // namespace

int RunInfo(int argc, char** argv, HostOptions options) {
  const CommandSyntax syntax{"info", kInfoUsage, "", {}};
  int read = ReadOptions(argc, argv, syntax, &options);
  if (read != kReadOn) return read;
  if (optind >= argc) return UsageError("info", "no file given");
  LoadedPlugin plugin;
  if (!StartHost(options, kNeedSource, &plugin)) return 1;
  std::string error;
  int status = 0;
  for (int i = optind; i < argc; ++i) {
    const std::string path = argv[i];
    SourcePointer source = OpenInput(plugin.source, path, &error);
    if (source == nullptr) {
      PrintError(path + ": " + error);
      status = 1;
      continue;
    }
    char text[4096] = {};
    char title[256] = {};
    DecoderOf(source.get())->PropertiesText(text, sizeof text - 1, title, sizeof title - 1);
    std::printf("%s: %s\n%s", path.c_str(), title, Indented(text).c_str());
    std::fflush(stdout);
  }
  return status;
}

}  // namespace pexo_host
