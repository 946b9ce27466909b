// pexo-host info: the plug-in's properties text for each file.
#include <cstdint>
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

// The time alone hides short lengths (one sample shows as 0:00.000): the
// frame count goes beside it, on the length line, in place of its stray
// colon. A length of 0 from a decoder that cannot count (a pipe) shows as
// unknown.
std::string WithFrameCount(std::string lines, int64_t frames) {
  const std::string key = "  Length: ";
  if (lines.compare(0, key.size(), key) != 0) return lines;
  size_t end = lines.find('\n');
  if (end == std::string::npos) end = lines.size();
  size_t timeEnd = end > key.size() && lines[end - 1] == ':' ? end - 1 : end;
  std::string count = frames == 1 ? "1 frame" : std::to_string(frames) + " frames";
  if (frames == 0) count = "0 frames, or unknown";
  return lines.substr(0, timeEnd) + " (" + count + ")" + lines.substr(end);
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
    ISimpleMediaDecoder* decoder = DecoderOf(source.get());
    decoder->PropertiesText(text, sizeof text - 1, title, sizeof title - 1);
    std::printf("%s: %s\n%s", path.c_str(), title, WithFrameCount(Indented(text), decoder->LengthFrames()).c_str());
    std::fflush(stdout);
  }
  return status;
}

}  // namespace pexo_host
