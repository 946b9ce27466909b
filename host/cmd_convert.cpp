// pexo-host convert: files read by the plug-in's decoder and written by its
// writer, with the settings chosen on its panel, in worker processes.
#include <unistd.h>

#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "host/audio_writer.h"
#include "host/cleanup.h"
#include "host/commands.h"
#include "host/config_choice.h"
#include "host/host_functions.h"
#include "host/host_source.h"
#include "host/input_file.h"
#include "host/output_file.h"
#include "host/panel_driver.h"
#include "host/panel_options.h"
#include "host/sample_format.h"
#include "host/stored_defaults.h"
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
    "      --quality Q         0.0 to 1.0; what it means depends on the encoding:\n"
    "                            FLAC: compression, backwards: 1.0 is the fastest\n"
    "                              and largest file, 0.0 the smallest and slowest\n"
    "                              (libsndfile sets the level to 1 - quality)\n"
    "                            Vorbis: sound quality, 1.0 the best and largest\n"
    "                            Opus: bit rate, 1.0 the highest\n"
    "                            MP3: sound quality, 1.0 the best (0.0 is refused)\n"
    "                            any other encoding: not used\n"
    "      --peaks FILE        also write the output's min/max peaks to FILE (one input)\n"
    "  -j, --jobs N            convert N files at once (default: the number of cores)\n"
    "  -f, --force             replace existing outputs (never an input); the new\n"
    "                          file keeps the old one's permission bits, and a\n"
    "                          symbolic link is replaced by the file itself (what\n"
    "                          the link pointed to is left alone); with --peaks,\n"
    "                          the old output and peaks stay unless both new\n"
    "                          ones can take their place\n"
    "  -q, --quiet             no progress bar\n"
    "      --plugin FILE, --ini FILE, -h, --help\n"
    "\n"
    "Outputs are written under a temporary name and moved into place only when\n"
    "complete, after reading them back through the plug-in's decoder: a file\n"
    "that does not read back whole (a disk that filled up, a file-size limit)\n"
    "is a failure. A failed or interrupted conversion leaves nothing behind.\n"
    "\n"
    "Exit status: 0 when every file was converted; 3 when every file was\n"
    "converted but an input ended before its header said (a truncated file:\n"
    "its output holds what was there, and a warning names both lengths); 1\n"
    "when a file failed; 2 for a usage error; 128+N when stopped by signal N.\n";

enum ConvertOption { kPeaks = 1 };

// What the command line asks for.
struct ConvertArguments {
  std::vector<std::string> inputs;
  std::string output, folder, peaks;  // output for -o, folder for -d
  bool haveOutput = false, haveFolder = false, force = false, quiet = false;
  int jobs = CoreCount();
  ConfigRequest request;
};

// One conversion, checked and ready to run.
struct Job {
  std::string input;
  std::string output;
  ConfigRequest request;  // the encoding is chosen for the input when it is opened
};

// Reads the options and operands. Returns kReadOn to go on, else the exit
// status (help printed, or a usage error reported).
int ParseConvert(int argc, char** argv, HostOptions* options, ConvertArguments* arguments) {
  CommandSyntax syntax{"convert", kConvertUsage, "o:d:j:fq",
                       {{"output", required_argument, nullptr, 'o'},
                        {"directory", required_argument, nullptr, 'd'},
                        {"peaks", required_argument, nullptr, kPeaks},
                        {"jobs", required_argument, nullptr, 'j'},
                        {"force", no_argument, nullptr, 'f'},
                        {"quiet", no_argument, nullptr, 'q'}}};
  AddPanelOptions(&syntax.longOptions);
  ConvertArguments& a = *arguments;
  int read = ReadOptions(argc, argv, syntax, options, [&a](int code, const char* value, std::string* problem) {
    switch (code) {
      case 'o':
        a.output = value;
        a.haveOutput = true;
        return true;
      case 'd':
        a.folder = value;
        a.haveFolder = true;
        return true;
      case kPeaks:
        a.peaks = value;
        return true;
      case 'j':
        if (!ParseCount(value, &a.jobs)) {
          *problem = "-j takes a count from 1 to " + std::to_string(kMaxJobs) + ", not '" + value + "'";
        }
        return true;
      case 'f':
        a.force = true;
        return true;
      case 'q':
        a.quiet = true;
        return true;
      default:
        return TakePanelOption(code, value, &a.request, problem);
    }
  });
  if (read != kReadOn) return read;
  a.inputs.assign(argv + optind, argv + argc);
  if (a.inputs.empty()) return UsageError("convert", "no input file given");
  if (a.haveOutput == a.haveFolder) return UsageError("convert", "give either -o OUT or -d DIR");
  if (a.haveOutput && a.output.empty()) return UsageError("convert", "-o needs a file name");
  if (a.haveOutput && a.output == "-") {
    return UsageError("convert", "-o - (standard output) is not offered: the writer needs a file it can seek in");
  }
  if (a.haveFolder && a.folder.empty()) return UsageError("convert", "-d needs a folder");
  if (a.haveOutput && a.inputs.size() > 1) return UsageError("convert", "-o takes one input; use -d DIR for several");
  if (!a.peaks.empty() && a.inputs.size() > 1) return UsageError("convert", "--peaks takes one input");
  return kReadOn;
}

// The settings of a request, chosen on the panel: it opens on the stored
// defaults or the built-in default, as for a writer without settings.
// With an input, and no encoding asked for, the encoding that keeps what
// the input holds (see KeepingEncoding). Returns kReadOn with the settings,
// else the exit status: 2 for a choice the panel does not offer, 1 for a
// panel that fails; the reason is in error.
int SettingsFor(const LoadedPlugin& plugin, const ConfigRequest& request, const InputFormat* input,
                WriterSettings* settings, std::string* error) {
  PanelDriver panel;
  if (!panel.OpenOnDefaults(plugin.sink, error)) return 1;
  std::vector<ListEntry> encodings = panel.Entries(kEncodingListId);
  int selected = panel.Selection(kEncodingListId);
  const std::string defaultEncoding =
      selected >= 0 && static_cast<size_t>(selected) < encodings.size() ? encodings[static_cast<size_t>(selected)].text : "";
  if (!ApplyRequest(panel, request, error)) return kExitUsage;
  // The built-in default's encoding is no one's choice; a stored one is.
  const bool stored = ReadStoredDefaults(IniPath()).valid;
  if (input != nullptr && request.encoding.empty()) {
    encodings = panel.Entries(kEncodingListId);
    selected = panel.Selection(kEncodingListId);
    bool isDefault = stored && selected >= 0 && static_cast<size_t>(selected) < encodings.size() &&
                     encodings[static_cast<size_t>(selected)].text == defaultEncoding;
    int keeping = KeepingEncoding(encodings, isDefault, *input);
    if (keeping >= 0 && keeping != selected && !CannotWrite(encodings[static_cast<size_t>(keeping)].formatWord)) {
      panel.Choose(kEncodingListId, keeping);
    }
  }
  // A format whose chosen encoding cannot be written (MPEG's first, Layer
  // I) takes its first one that can, unless the user named the encoding.
  encodings = panel.Entries(kEncodingListId);
  selected = panel.Selection(kEncodingListId);
  if (request.encoding.empty() && selected >= 0 && static_cast<size_t>(selected) < encodings.size() &&
      CannotWrite(encodings[static_cast<size_t>(selected)].formatWord)) {
    for (size_t i = 0; i < encodings.size(); ++i) {
      if (!CannotWrite(encodings[i].formatWord)) {
        panel.Choose(kEncodingListId, static_cast<int>(i));
        break;
      }
    }
  }
  if (!ReadSettings(panel, plugin.sink, settings, error)) return 1;
  const int32_t formatWord = BlockFormatWord(settings->block.data());
  if (CannotWrite(formatWord)) {
    *error = settings->choice + ": " + WhyCannotWrite(formatWord);
    return kExitUsage;
  }
  return kReadOn;
}

// What the decoder tells of the input's container and encoding.
InputFormat FormatOfInput(ISimpleMediaDecoder* decoder) {
  char text[4096] = {};
  char title[256] = {};
  decoder->PropertiesText(text, sizeof text - 1, title, sizeof title - 1);
  InputFormat input;
  input.container = PropertyLine(text, "Format");
  input.encoding = PropertyLine(text, "Encoding");
  input.bits = decoder->SampleBits();
  return input;
}

// The container of a regular input file, or "" when it is not one or the
// decoder cannot open it (the worker reports that). A pipe is not opened
// here: its data would be gone.
std::string ContainerOf(const LoadedPlugin& plugin, const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return "";
  std::string error;
  SourcePointer source = OpenInput(plugin.source, path, &error);
  return source != nullptr ? FormatOfInput(DecoderOf(source.get())).container : "";
}

// The request of each input. --format names the format; else -o's
// extension does (an extension that names none is a usage error); else,
// with -d and nothing stored, each input keeps its container; else the
// stored default's format. Returns kReadOn, else the exit status (reported).
int RequestsFor(const LoadedPlugin& plugin, const ConvertArguments& arguments, std::vector<ConfigRequest>* requests) {
  std::string error;
  PanelDriver panel;
  if (!panel.OpenOnDefaults(plugin.sink, &error)) {
    PrintError(error);
    return 1;
  }
  const std::vector<FormatEntry> formats = FormatEntries(panel);
  ConfigRequest base = arguments.request;
  const bool keepContainers =
      base.format.empty() && arguments.haveFolder && !ReadStoredDefaults(IniPath()).valid;
  if (base.format.empty() && arguments.haveOutput && !ExtensionOf(arguments.output).empty()) {
    InferredFormat inferred;
    if (!FormatForExtension(formats, ExtensionOf(arguments.output), &inferred)) {
      std::string known;
      for (const std::string& extension : KnownExtensions(formats)) known += (known.empty() ? "" : ", ") + extension;
      return UsageError("convert", "no format for the extension of " + arguments.output +
                                       "; give --format, or one of the extensions: " + known);
    }
    base.format = inferred.format;
    if (base.encoding.empty()) base.encoding = inferred.encoding;
  }
  for (const std::string& input : arguments.inputs) {
    ConfigRequest request = base;
    if (keepContainers) {
      std::string container = ContainerOf(plugin, input);
      if (FindFormat(formats, container) >= 0) request.format = container;
    }
    requests->push_back(request);
  }
  return kReadOn;
}

// Every output is checked before anything is written: a job for each input
// whose output may be written; the others are reported and set *failed.
// The extension of a -d output is the writer's for the input's request.
int PlanJobs(const LoadedPlugin& plugin, const ConvertArguments& arguments, const std::vector<ConfigRequest>& requests,
             std::vector<Job>* planned, bool* failed) {
  std::set<std::string> outputs;
  std::map<std::string, std::string> extensions;  // by format asked for
  for (size_t i = 0; i < arguments.inputs.size(); ++i) {
    const std::string& input = arguments.inputs[i];
    std::string error;
    auto known = extensions.find(requests[i].format);
    if (known == extensions.end()) {
      WriterSettings settings;
      int chosen = SettingsFor(plugin, requests[i], nullptr, &settings, &error);
      if (chosen == kExitUsage) return UsageError("convert", error);
      if (chosen != kReadOn) {
        PrintError(error);
        return chosen;
      }
      known = extensions.emplace(requests[i].format, settings.extension).first;
    }
    Job job{input, arguments.haveOutput ? arguments.output : arguments.folder + "/" + StemOf(input) + "." + known->second,
            requests[i]};
    std::string problem = CheckOutput(job.output, arguments.inputs, arguments.force);
    if (problem.empty() && !outputs.insert(job.output).second) problem = "another input is written to " + job.output;
    if (problem.empty() && !arguments.peaks.empty()) {
      problem = CheckOutput(arguments.peaks, arguments.inputs, arguments.force);
      if (problem.empty() && arguments.peaks == job.output) problem = "the peaks file cannot be the output";
    }
    if (!problem.empty()) {
      PrintError(input + ": " + problem);
      *failed = true;
      continue;
    }
    planned->push_back(job);
  }
  return kReadOn;
}

// One job, in its worker: read, choose the encoding for the input, write,
// and a line that tells what was made.
int ConvertOne(const LoadedPlugin& plugin, const ConvertArguments& arguments, const Job& job, WorkerLink& link) {
  std::string failure;
  SourcePointer source = OpenInput(plugin.source, job.input, &failure);
  if (source == nullptr) {
    PrintError(job.input + ": " + failure);
    return 1;
  }
  ISimpleMediaDecoder* decoder = DecoderOf(source.get());
  const InputFormat input = FormatOfInput(decoder);
  WriterSettings settings;
  if (SettingsFor(plugin, job.request, &input, &settings, &failure) != kReadOn) {
    PrintError(job.input + ": " + failure);
    return 1;
  }
  const std::string writtenEncoding = settings.choice.substr(settings.choice.rfind(", ") + 2);
  const SampleFormat written = SampleFormatOf(writtenEncoding);
  if (written.kind != SampleFormat::kUnknown && written.bits < input.HeldBits()) {
    PrintError(job.input + ": the output holds " + std::to_string(written.bits) + " bits per sample, the input " +
               std::to_string(input.HeldBits()) + " (" + input.encoding + "); --encoding chooses another");
  } else if (written.kind == SampleFormat::kUnknown && SampleFormatOf(input.encoding).kind != SampleFormat::kUnknown) {
    // A lossy (or companded) encoding holds less than a plain one, too.
    PrintError(job.input + ": the output's encoding (" + writtenEncoding + ") does not keep the input's samples (" +
               input.encoding + ") exactly; --encoding chooses another");
  }
  DecoderFrames frames(decoder);
  WriteRequest write;
  write.output = job.output;
  write.block = settings.block;
  write.choice = settings.choice;
  write.replace = arguments.force;
  write.peaksPath = arguments.peaks;
  write.readBack = plugin.source;
  write.progress = [&link](int64_t done, int64_t total) { link.Progress(done, total); };
  WriteResult result;
  if (!WriteAudio(plugin.sink, frames, write, &result, &failure)) {
    PrintError(job.input + ": " + failure);
    return 1;
  }
  char length[128];
  FormatTime(static_cast<double>(result.frames) / frames.SampleRate(), length, sizeof length);
  std::printf("%s -> %s: %s, %s (%lld frames)\n", job.input.c_str(), job.output.c_str(), result.description.c_str(),
              length, static_cast<long long>(result.frames));
  // An input cut short (a truncated download, a disk error) gives what it
  // holds; say so, and let the exit status tell it. 0 is a length the
  // decoder does not know.
  const int64_t announced = frames.TotalFrames();
  if (announced > 0 && result.frames < announced) {
    std::fflush(stdout);
    PrintError(job.input + ": warning: the input ended after " + std::to_string(result.frames) +
               " frames; its header says " + std::to_string(announced) + " (the output holds what was there)");
    return kExitShortInput;
  }
  return 0;
}

}  // namespace

int RunConvert(int argc, char** argv, HostOptions options) {
  ConvertArguments arguments;
  int parsed = ParseConvert(argc, argv, &options, &arguments);
  if (parsed != kReadOn) return parsed;

  LoadedPlugin plugin;
  if (!StartHost(options, kNeedSource | kNeedSink, &plugin)) return 1;
  std::vector<ConfigRequest> requests;
  int asked = RequestsFor(plugin, arguments, &requests);
  if (asked != kReadOn) return asked;
  if (arguments.haveFolder) {
    std::string problem = CheckFolder(arguments.folder);
    if (!problem.empty()) {
      PrintError(problem);
      return 1;
    }
  }
  bool failed = false;
  std::vector<Job> planned;
  int plan = PlanJobs(plugin, arguments, requests, &planned, &failed);
  if (plan != kReadOn) return plan;

  ProgressBar bar(!arguments.quiet && isatty(STDERR_FILENO));
  int run = RunWorkers(
      planned.size(), arguments.jobs,
      [&](size_t index, WorkerLink& link) { return ConvertOne(plugin, arguments, planned[index], link); },
      bar);
  if (run >= kExitSignalBase) {
    PrintError("interrupted; no partial output was left");
    return run;
  }
  if (failed) return 1;
  return run;
}

}  // namespace pexo_host
