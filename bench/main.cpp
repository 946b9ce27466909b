// pexo_bench: the plug-in against direct libsndfile, side by side in one
// process run. Generates its input files, runs every case with the plug-in
// and the direct runs alternating, prints one Markdown table and writes it as
// latest.csv and latest.svg into the output folder. Exits 1 when a case
// could not run as meant (the timings themselves never fail it).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "bench/bench_context.h"

namespace {

using namespace bench;

enum class Mode { Full, Smoke, Instructions };

struct Options {
  Mode mode = Mode::Full;
  std::string pluginPath = PEXO_PLUGIN_PATH;
  std::string win32Path = PEXO_WIN32_PATH;
  std::string probePath = PEXO_STARTUP_PROBE_PATH;
  std::string outFolder;
  std::string scratchBase;
  std::string label;
  std::set<std::string> only;  // groups to run; all when empty
};

const char kUsage[] =
    "usage: pexo_bench [--smoke | --instructions] [--wall] [--out DIR] [--tmp DIR] [--label TEXT]\n"
    "                  [--only GROUP,...] [--plugin PATH] [--win32 PATH] [--probe PATH]\n"
    "--wall: time by the wall clock instead of the processor time consumed\n"
    "groups: read, write, seek, allocations, start-up, panel\n";

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    if (word == "--smoke") {
      options.mode = Mode::Smoke;
    } else if (word == "--instructions") {
      options.mode = Mode::Instructions;
    } else if (word == "--wall") {
      SetMeasuringClock(ClockKind::WallTime);
    } else if (word == "--only") {
      std::string list;
      if (!value(list)) return false;
      std::stringstream groups(list);
      for (std::string group; std::getline(groups, group, ',');) options.only.insert(group);
    } else if (!((word == "--out" && value(options.outFolder)) || (word == "--tmp" && value(options.scratchBase)) ||
                 (word == "--label" && value(options.label)) || (word == "--plugin" && value(options.pluginPath)) ||
                 (word == "--win32" && value(options.win32Path)) || (word == "--probe" && value(options.probePath)))) {
      return false;
    }
  }
  return true;
}

Settings SettingsFor(Mode mode) {
  Settings settings;
  settings.smoke = mode == Mode::Smoke;
  settings.blockSizes = {1024, 4096, 16384};
  settings.seekReadFrames = 512;
  switch (mode) {
    case Mode::Full:
      settings.readFrames = 180 * kSampleRate;
      settings.writeFrames = 120 * kSampleRate;
      settings.seeks = 1000;
      settings.codecSeeks = 100;
      settings.codecFrames = 30 * kSampleRate;
      settings.timed = {1, 15, 301, 1.5};
      settings.startUp = {2, 31, 31, 0.0};
      settings.panel = {5, 51, 501, 0.25};
      break;
    case Mode::Smoke:
      settings.readFrames = 2 * kSampleRate;
      settings.writeFrames = 1 * kSampleRate;
      settings.seeks = 50;
      settings.codecSeeks = 10;
      settings.codecFrames = 2 * kSampleRate;
      settings.timed = {0, 1, 1, 0.0};
      settings.startUp = {0, 1, 1, 0.0};
      settings.panel = {0, 1, 1, 0.0};
      break;
    case Mode::Instructions:
      // Under callgrind: one counted run of each side after a warm-up.
      settings.readFrames = 10 * kSampleRate;
      settings.writeFrames = 5 * kSampleRate;
      settings.seeks = 200;
      settings.codecSeeks = 50;
      settings.codecFrames = 10 * kSampleRate;
      settings.timed = {1, 1, 1, 0.0};
      settings.startUp = {0, 1, 1, 0.0};
      settings.panel = {1, 1, 1, 0.0};
      break;
  }
  return settings;
}

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string MachineDescription() {
  std::string model = "unknown processor";
  std::ifstream cpu("/proc/cpuinfo");
  for (std::string line; std::getline(cpu, line);) {
    if (line.rfind("model name", 0) == 0) {
      model = line.substr(line.find(':') + 2);
      break;
    }
  }
  std::string load = FirstLine("/proc/loadavg");
  load = load.substr(0, load.find(' ', load.find(' ', load.find(' ') + 1) + 1));
  return model + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores, load average at start " + load;
}

std::string DefaultScratchBase() {
  if (const char* tmp = std::getenv("TMPDIR")) return tmp;
  struct stat folder;
  // Memory-backed when available: written files then cost no disk traffic.
  if (stat("/dev/shm", &folder) == 0 && S_ISDIR(folder.st_mode) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return "/tmp";
}

bool Wanted(const Options& options, const std::string& group) {
  // Instructions are counted in this process only, and per call for the
  // timed stretches: start-up (child processes) and allocations are not.
  if (options.mode == Mode::Instructions && (group == "start-up" || group == "allocations")) return false;
  return options.only.empty() || options.only.count(group) != 0;
}

int Run(const Options& options) {
  BenchContext context;
  context.settings = SettingsFor(options.mode);
  context.pluginPath = options.pluginPath;
  context.win32Path = options.win32Path;
  context.startUpProbePath = options.probePath;

  std::string error;
  if (!LoadPlugin(options.pluginPath, context.plugin, error)) Fail(error);

  RunDescription description;
  description.mode = options.mode == Mode::Full ? "full" : options.mode == Mode::Smoke ? "smoke" : "instructions";
  description.label = options.label;
  description.machine = MachineDescription() + ", timed by " +
                        (MeasuringClock() == ClockKind::ProcessorTime ? "processor time" : "wall clock");
  std::fprintf(stderr, "pexo_bench, %s run: %s\n", description.mode.c_str(), description.machine.c_str());

  ScratchFolder scratch(options.scratchBase.empty() ? DefaultScratchBase() : options.scratchBase);
  context.scratchPath = scratch.Path();
  const SourceRegistration& sources = *context.plugin.sources;
  const SinkRegistration& sinks = *context.plugin.sinks;
  const bool reading = sources.makeFromFile != nullptr;
  const bool writing = sinks.makeSink != nullptr;
  if (reading && (Wanted(options, "read") || Wanted(options, "seek") || Wanted(options, "allocations"))) {
    std::fprintf(stderr, "writing the input files into %s\n", scratch.Path().c_str());
    for (const AudioFormat& format : ReadFormats()) {
      InputFile input{format, scratch.File(std::string("input-") + std::to_string(context.inputs.size()) + "." +
                                           format.extension),
                      context.settings.readFrames};
      if (!WriteSignalFile(input.path, format, input.frames, error)) Fail(error);
      context.inputs.push_back(input);
    }
  }
  if (reading && Wanted(options, "seek")) {
    for (const AudioFormat& format : SeekFormats()) {
      InputFile input{format, scratch.File(std::string("seek-input-") + std::to_string(context.seekInputs.size()) +
                                           "." + format.extension),
                      context.settings.codecFrames * format.sampleRate / kSampleRate};
      if (!WriteSignalFile(input.path, format, input.frames, error)) Fail(error);
      context.seekInputs.push_back(input);
    }
  }

  std::vector<ResultRow> rows;
  auto group = [&](const char* name, bool available, void (*run)(const BenchContext&, std::vector<ResultRow>&)) {
    if (!Wanted(options, name)) return;
    if (!available) {
      std::fprintf(stderr, "%s: skipped, this plug-in build does not offer it\n", name);
      return;
    }
    std::fprintf(stderr, "%s\n", name);
    run(context, rows);
  };
  group("read", reading, RunReadCases);
  group("write", writing, RunWriteCases);
  group("seek", reading, RunSeekCases);
  group("allocations", reading || writing, RunAllocationCases);
  group("start-up", true, RunStartUpCase);
  group("panel", sinks.openConfigPanel != nullptr, RunPanelCase);
  std::fprintf(stderr, "load average at the end: %s\n", FirstLine("/proc/loadavg").c_str());

  std::printf("\n");
  PrintTable(rows, stdout);
  if (!options.outFolder.empty()) {
    const std::string csv = options.outFolder + "/latest.csv";
    const std::string svg = options.outFolder + "/latest.svg";
    if (!WriteCsv(rows, csv)) Fail("cannot write " + csv);
    if (!WriteSvgChart(rows, description, svg)) Fail("cannot write " + svg);
    std::fprintf(stderr, "wrote %s and %s\n", csv.c_str(), svg.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    return Run(options);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "pexo_bench: %s\n", failure.what());
    return 1;
  }
}
