// pexo-host demo: a test signal written through the plug-in in several
// formats, read back through its decoder, and compared with the original.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "host/audio_writer.h"
#include "host/cleanup.h"
#include "host/commands.h"
#include "host/config_choice.h"
#include "host/host_source.h"
#include "host/input_file.h"
#include "host/output_file.h"
#include "host/panel_driver.h"
#include "host/test_signal.h"
#include "host/time_format.h"

namespace pexo_host {
namespace {

const char kDemoUsage[] =
    "Usage: pexo-host demo [-d DIR] [-f] [--plugin FILE] [--ini FILE]\n"
    "\n"
    "Makes a two-second stereo test signal (440 Hz left, 1 kHz right, 48 kHz),\n"
    "writes it through the plug-in as WAV 24-bit, FLAC, Ogg Vorbis, Ogg Opus and\n"
    "CAF, reads each file back through the plug-in's decoder and prints the\n"
    "format, encoding, size, length and largest sample error against the signal.\n"
    "The files go to a new temporary folder, or to DIR (-f replaces files of the\n"
    "same names there).\n";

struct Target {
  const char* format;
  const char* encoding;
  const char* name;
};
const Target kTargets[] = {
    {"wav", "Signed 24 bit PCM", "demo-wav24"},
    {"flac", "Signed 16 bit PCM", "demo-flac16"},
    {"ogg", "Vorbis", "demo-vorbis"},
    {"ogg", "Opus", "demo-opus"},
    {"caf", "32 bit float", "demo-caf-float"},
};

constexpr int kReadFrames = 4096;  // frames a read-back call asks for

struct Row {
  std::string format, encoding, file, size, length, error;
  bool kept = false;  // not written: a file of its name was there already
};

std::string ErrorText(double error) {
  if (error == 0.0) return "0 (exact)";
  char text[64];
  std::snprintf(text, sizeof text, "%.1e (%.1f dB)", error, 20.0 * std::log10(error));
  return text;
}

// Writes one target; fills the row or returns false with a reason.
bool RunTarget(const LoadedPlugin& plugin, const Target& target, const std::vector<double>& signal,
               const std::string& folder, bool force, Row* row, std::string* error) {
  PanelDriver panel;
  if (!panel.OpenOnDefaults(plugin.sink, error)) return false;
  ConfigRequest request;
  request.format = target.format;
  request.encoding = target.encoding;
  WriterSettings settings;
  if (!ApplyRequest(panel, request, error) || !ReadSettings(panel, plugin.sink, &settings, error)) return false;
  row->format = settings.choice.substr(0, settings.choice.find(' '));
  row->encoding = target.encoding;
  std::string output = folder + "/" + target.name + "." + settings.extension;
  row->file = BaseName(output);
  std::string problem = CheckOutput(output, {}, force);
  if (!problem.empty()) {
    struct stat status;
    row->kept = !force && lstat(output.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
    *error = problem;
    return false;
  }

  MemoryFrames frames(signal, kSignalChannels, kSignalRate);
  WriteRequest write;
  write.output = output;
  write.block = settings.block;
  write.choice = settings.choice;
  write.replace = force;
  WriteResult written;
  if (!WriteAudio(plugin.sink, frames, write, &written, error)) return false;

  struct stat status;
  row->size = stat(output.c_str(), &status) == 0 ? std::to_string(status.st_size) : "?";
  SourcePointer source = OpenInput(plugin.source, output, error);
  if (source == nullptr) {
    *error = "cannot read it back: " + *error;
    return false;
  }
  ISimpleMediaDecoder* decoder = DecoderOf(source.get());
  char length[128];
  FormatTime(static_cast<double>(decoder->LengthFrames()) / decoder->SampleRateHz(), length, sizeof length);
  row->length = length;
  if (decoder->ChannelCount() != kSignalChannels) {
    *error = "it reads back with " + std::to_string(decoder->ChannelCount()) + " channels";
    return false;
  }
  std::vector<double> buffer(static_cast<size_t>(kReadFrames) * kSignalChannels);
  size_t at = 0;
  double largest = 0.0;
  for (;;) {
    int got = decoder->ReadFrames(buffer.data(), kReadFrames);
    if (got <= 0) break;
    for (size_t i = 0; i < static_cast<size_t>(got) * kSignalChannels; ++i, ++at) {
      double expected = at < signal.size() ? signal[at] : 0.0;
      largest = std::fmax(largest, std::fabs(buffer[i] - expected));
    }
  }
  if (at < signal.size()) {
    *error = "it reads back " + std::to_string(at / kSignalChannels) + " of " + std::to_string(kSignalFrames) +
             " frames";
    return false;
  }
  row->error = ErrorText(largest);
  return true;
}

}  // namespace

int RunDemo(int argc, char** argv, HostOptions options) {
  const CommandSyntax syntax{"demo", kDemoUsage, "d:f",
                             {{"directory", required_argument, nullptr, 'd'}, {"force", no_argument, nullptr, 'f'}}};
  std::string folder;
  bool force = false;
  int read = ReadOptions(argc, argv, syntax, &options, [&](int code, const char* value, std::string* problem) {
    if (code == 'd') {
      folder = value;
      if (folder.empty()) *problem = "-d needs a folder";
      return true;
    }
    if (code == 'f') force = true;
    return code == 'f';
  });
  if (read != kReadOn) return read;
  if (optind < argc) return UsageError("demo", std::string("unexpected argument '") + argv[optind] + "'");

  LoadedPlugin plugin;
  if (!StartHost(options, kNeedSource | kNeedSink, &plugin)) return 1;
  std::string error;
  InstallCleanupHandlers();
  if (folder.empty()) {
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary != nullptr && temporary[0] != '\0' ? temporary : "/tmp") +
                          "/pexo-demo-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) {
      PrintError("cannot create a temporary folder: " + pattern);
      return 1;
    }
    folder = pattern;
  } else {
    std::string problem = CheckFolder(folder);
    if (!problem.empty()) {
      PrintError(problem);
      return 1;
    }
  }

  const std::vector<double> signal = MakeTestSignal();
  std::vector<Row> rows;
  int exitStatus = 0;
  size_t kept = 0;
  for (const Target& target : kTargets) {
    Row row;
    if (!RunTarget(plugin, target, signal, folder, force, &row, &error)) {
      PrintError(std::string(target.format) + " / " + target.encoding + ": " + error);
      exitStatus = 1;
      if (row.kept) ++kept;
      continue;
    }
    rows.push_back(row);
  }
  std::fflush(stdout);
  std::printf("test signal: 2 s stereo at 48000 Hz (440 Hz left, 1 kHz right), files in %s\n\n", folder.c_str());
  Row heading{"FORMAT", "ENCODING", "FILE", "SIZE", "LENGTH", "MAX ERROR"};
  rows.insert(rows.begin(), heading);
  size_t widths[5] = {};
  for (const Row& row : rows) {
    const std::string* cells[5] = {&row.format, &row.encoding, &row.file, &row.size, &row.length};
    for (int i = 0; i < 5; ++i) widths[i] = std::max(widths[i], cells[i]->size());
  }
  for (const Row& row : rows) {
    std::printf("%-*s  %-*s  %-*s  %*s  %-*s  %s\n", static_cast<int>(widths[0]), row.format.c_str(),
                static_cast<int>(widths[1]), row.encoding.c_str(), static_cast<int>(widths[2]), row.file.c_str(),
                static_cast<int>(widths[3]), row.size.c_str(), static_cast<int>(widths[4]), row.length.c_str(),
                row.error.c_str());
  }
  if (kept > 0) {
    std::printf("\n%zu of the %zu files were in %s already and were kept, so they are not in the table;"
                " -f replaces them\n",
                kept, sizeof kTargets / sizeof kTargets[0], folder.c_str());
  }
  return exitStatus;
}

}  // namespace pexo_host
