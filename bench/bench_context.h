// What every benchmark case is given: the loaded plug-in, the generated
// input files, the scratch folder and the sizes and repetitions of this
// mode (full or smoke); and the clock the cases time themselves with.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/alternating_runs.h"
#include "bench/audio_files.h"
#include "bench/clocks.h"
#include "bench/plugin_under_test.h"
#include "bench/results.h"

namespace bench {

struct Settings {
  bool smoke = false;
  int64_t readFrames = 0;   // length of each input file
  int64_t writeFrames = 0;  // length of each written file
  std::vector<int> blockSizes;
  int seeks = 0;            // seeks per seek run
  int codecSeeks = 0;       // seeks per run in the seek-only formats
  int64_t codecFrames = 0;  // length of each seek-only input (at 44.1 kHz; scaled to its rate)
  int seekReadFrames = 0;   // frames read after each seek
  Repetitions timed;        // reads, writes, seeks
  Repetitions startUp;      // fresh processes
  Repetitions panel;
  double ratioGoal = 0.99;
  double startUpGoal = 2e-3;
  double panelGoal = 5e-3;
};

struct InputFile {
  AudioFormat format;
  std::string path;
  int64_t frames = 0;
};

struct BenchContext {
  Settings settings;
  LoadedPlugin plugin;
  std::string pluginPath;
  std::string win32Path;
  std::string startUpProbePath;
  std::string scratchPath;
  std::vector<InputFile> inputs;
  std::vector<InputFile> seekInputs;  // the seek-only formats
};

// Seconds on the clock this run measures with.
inline double Seconds() { return ClockSeconds(MeasuringClock()); }

// A case that cannot run as meant stops the whole benchmark: a figure from a
// broken path would mislead.
[[noreturn]] inline void Fail(const std::string& message) { throw std::runtime_error(message); }

void RunReadCases(const BenchContext& context, std::vector<ResultRow>& rows);
void RunWriteCases(const BenchContext& context, std::vector<ResultRow>& rows);
void RunSeekCases(const BenchContext& context, std::vector<ResultRow>& rows);
void RunAllocationCases(const BenchContext& context, std::vector<ResultRow>& rows);
void RunStartUpCase(const BenchContext& context, std::vector<ResultRow>& rows);
void RunPanelCase(const BenchContext& context, std::vector<ResultRow>& rows);

// A ratio row from paired times.
ResultRow RatioRow(const std::string& group, const std::string& name, const PairedTimes& times, double goal);
// One line on standard error as each case finishes.
void ReportProgress(const ResultRow& row);

}  // namespace bench
