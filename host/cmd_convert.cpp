// pexo-host convert: files read by the plug-in's decoder and written by its
// writer, with the settings chosen on its panel, in worker processes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "host/audio_writer.h"
#include "host/commands.h"
#include "host/config_choice.h"
#include "host/host_source.h"
#include "host/input_file.h"
#include "host/output_file.h"
#include "host/panel_driver.h"
#include "host/time_format.h"
#include "host/worker_pool.h"

namespace pexo_host {
namespace {

const char kConvertUsage[] =
    "Usage: pexo-host convert IN... (-o OUT | -d DIR) [OPTIONS]\n"
    "\n"
    "Reads each IN through the plug-in's decoder and writes it through its\n"
    "writer, to OUT (one input) or into the folder DIR under the input's name\n"
    "with the format's extension. The settings are those of the plug-in's\n"
    "configuration panel: the stored defaults ('pexo-host defaults'), else the\n"
    "built-in default, changed by the options below; 'pexo-host formats' lists\n"
    "what the panel offers. With -o and no --format, OUT's extension picks the\n"
    "format when it names one.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT        the output file (one input only)\n"
    "  -d, --directory DIR     the folder for the outputs (it must exist)\n"
    "      --format EXT        the container, by extension or name (wav, flac, oga, ...)\n"
    "      --encoding NAME     the encoding, by its name (\"Signed 24 bit PCM\";\n"
    "                          case, spaces and dashes do not matter)\n"
    "      --byte-order ORDER  default, little or big\n"
    "      --quality Q         VBR/FLAC quality, 0.0 to 1.0\n"
    "      --peaks FILE        also write the output's min/max peaks to FILE (one input)\n"
    "  -j, --jobs N            convert N files at once (default: the number of cores)\n"
    "  -f, --force             replace existing outputs (never an input)\n"
    "  -q, --quiet             no progress bar\n"
    "      --plugin FILE, --ini FILE, -h, --help\n"
    "\n"
    "Outputs are written under a temporary name and moved into place only when\n"
    "complete; a failed or interrupted conversion leaves nothing behind. The\n"
    "exit status is 0 only when every file was converted.\n";

enum ConvertOption { kFormat = 1, kEncoding, kByteOrder, kQuality, kPeaks };

struct Job {
  std::string input;
  std::string output;
};

}  // namespace

int RunConvert(int argc, char** argv, HostOptions options) {
  std::vector<option> longOptions = WithCommonOptions({
      {"output", required_argument, nullptr, 'o'},
      {"directory", required_argument, nullptr, 'd'},
      {"format", required_argument, nullptr, kFormat},
      {"encoding", required_argument, nullptr, kEncoding},
      {"byte-order", required_argument, nullptr, kByteOrder},
      {"quality", required_argument, nullptr, kQuality},
      {"peaks", required_argument, nullptr, kPeaks},
      {"jobs", required_argument, nullptr, 'j'},
      {"force", no_argument, nullptr, 'f'},
      {"quiet", no_argument, nullptr, 'q'},
  });
  ConfigRequest request;
  std::string output, folder, peaks;
  bool haveOutput = false, haveFolder = false, force = false, quiet = false;
  int jobs = CoreCount();
  optind = 0;
  opterr = 0;
  int code;
  while ((code = getopt_long(argc, argv, ":o:d:j:fqh", longOptions.data(), nullptr)) != -1) {
    if (TakeCommonOption(code, &options)) continue;
    switch (code) {
      case kOptionHelp:
      case 'h':
        std::fputs(kConvertUsage, stdout);
        return 0;
      case 'o':
        output = optarg;
        haveOutput = true;
        break;
      case 'd':
        folder = optarg;
        haveFolder = true;
        break;
      case kFormat:
        request.format = optarg;
        break;
      case kEncoding:
        request.encoding = optarg;
        break;
      case kByteOrder:
        request.byteOrder = optarg;
        if (request.byteOrder != "default" && request.byteOrder != "little" && request.byteOrder != "big") {
          return UsageError("convert", "--byte-order takes default, little or big, not '" + request.byteOrder + "'");
        }
        break;
      case kQuality:
        if (!ParseQuality(optarg, &request.quality)) {
          return UsageError("convert", std::string("--quality takes a number from 0.0 to 1.0, not '") + optarg + "'");
        }
        request.haveQuality = true;
        break;
      case kPeaks:
        peaks = optarg;
        break;
      case 'j':
        if (!ParseCount(optarg, &jobs)) {
          return UsageError("convert", std::string("-j takes a count from 1 to 1024, not '") + optarg + "'");
        }
        break;
      case 'f':
        force = true;
        break;
      case 'q':
        quiet = true;
        break;
      default:
        return UsageError("convert", OptionProblem(code, argv));
    }
  }
  std::vector<std::string> inputs(argv + optind, argv + argc);
  if (inputs.empty()) return UsageError("convert", "no input file given");
  if (haveOutput == haveFolder) return UsageError("convert", "give either -o OUT or -d DIR");
  if (haveOutput && output.empty()) return UsageError("convert", "-o needs a file name");
  if (haveFolder && folder.empty()) return UsageError("convert", "-d needs a folder");
  if (haveOutput && inputs.size() > 1) return UsageError("convert", "-o takes one input; use -d DIR for several");
  if (!peaks.empty() && inputs.size() > 1) return UsageError("convert", "--peaks takes one input");

  LoadedPlugin plugin;
  if (!StartHost(options, &plugin)) return 1;
  std::string error;
  if (!plugin.RequireSource(&error) || !plugin.RequireSink(&error)) {
    PrintError(error);
    return 1;
  }

  // The settings, chosen on the panel. It opens on the stored defaults or
  // the built-in default, as for a writer without settings.
  std::vector<unsigned char> block;
  std::string choice;
  {
    PanelDriver panel;
    uint32_t tag = kSinkTypeTag;
    if (!panel.Open(plugin.sink, &tag, sizeof tag, &error)) {
      PrintError(error);
      return 1;
    }
    if (request.format.empty() && haveOutput && FindFormat(FormatEntries(panel), ExtensionOf(output)) >= 0) {
      request.format = ExtensionOf(output);
    }
    if (!ApplyRequest(panel, request, &error)) return UsageError("convert", error);
    if (!QueryBlock(panel, &block, &error)) {
      PrintError(error);
      return 1;
    }
    choice = DescribeChoice(panel);
  }
  const char* extension = plugin.sink->extensionFor(block.data(), static_cast<int>(block.size()));
  if (extension == nullptr) extension = "var";

  struct stat folderStatus;
  if (haveFolder && (stat(folder.c_str(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))) {
    PrintError(folder + ": no such folder");
    return 1;
  }

  // Every output is checked before anything is written.
  std::vector<Job> planned;
  std::set<std::string> outputs;
  int status = 0;
  for (const std::string& input : inputs) {
    Job job{input, haveOutput ? output : folder + "/" + StemOf(input) + "." + extension};
    std::string problem = CheckOutput(job.output, inputs, force);
    if (problem.empty() && !outputs.insert(job.output).second) problem = "another input is written to " + job.output;
    if (problem.empty() && !peaks.empty()) {
      problem = CheckOutput(peaks, inputs, force);
      if (problem.empty() && peaks == job.output) problem = "the peaks file cannot be the output";
    }
    if (!problem.empty()) {
      PrintError(input + ": " + problem);
      status = 1;
      continue;
    }
    planned.push_back(job);
  }

  ProgressBar bar(!quiet && isatty(STDERR_FILENO));
  auto convert = [&](size_t index, WorkerLink& link) -> int {
    const Job& job = planned[index];
    std::string failure;
    SourcePointer source = OpenInput(plugin.source, job.input, &failure);
    if (source == nullptr) {
      PrintError(job.input + ": " + failure);
      return 1;
    }
    DecoderFrames frames(DecoderOf(source.get()));
    WriteRequest write;
    write.output = job.output;
    write.block = block;
    write.choice = choice;
    write.replace = force;
    write.peaksPath = peaks;
    write.progress = [&link](int64_t done, int64_t total) { link.Progress(done, total); };
    WriteResult result;
    if (!WriteAudio(plugin.sink, frames, write, &result, &failure)) {
      PrintError(job.input + ": " + failure);
      return 1;
    }
    char length[128];
    FormatTime(static_cast<double>(result.frames) / frames.SampleRate(), length, sizeof length);
    std::printf("%s -> %s: %s, %s (%lld frames)\n", job.input.c_str(), job.output.c_str(),
                result.description.c_str(), length, static_cast<long long>(result.frames));
    return 0;
  };
  int run = RunWorkers(planned.size(), jobs, convert, bar);
  if (run >= 128) {
    PrintError("interrupted; no partial output was left");
    return run;
  }
  return run != 0 ? 1 : status;
}

}  // namespace pexo_host
