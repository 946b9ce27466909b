// Start-up in fresh processes: the probe child loads the plug-in and runs
// its entry, or loads libsndfile and binds it directly, and reports its own
// time; the children alternate as the other cases' runs do.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_context.h"

extern char** environ;

namespace bench {
namespace {

// Runs the probe with those arguments and returns the seconds it printed.
double RunProbe(const std::string& probe, const std::vector<std::string>& arguments) {
  int output[2];
  if (pipe(output) != 0) Fail("cannot create a pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, output[0]);
  posix_spawn_file_actions_addclose(&actions, output[1]);
  std::vector<std::string> words = {probe};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child;
  const int spawned = posix_spawn(&child, probe.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  if (spawned != 0) {
    close(output[0]);
    Fail("cannot start " + probe);
  }
  std::string printed;
  char chunk[128];
  for (ssize_t got; (got = read(output[0], chunk, sizeof chunk)) > 0;) printed.append(chunk, static_cast<size_t>(got));
  close(output[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || printed.empty()) {
    Fail("the start-up probe failed: " + probe + " " + arguments[1]);
  }
  return std::strtod(printed.c_str(), nullptr);
}

}  // namespace

void RunStartUpCase(const BenchContext& context, std::vector<ResultRow>& rows) {
  const std::string clock = ClockName(MeasuringClock());
  const PairedTimes times =
      RunAlternating([&] { return RunProbe(context.startUpProbePath, {clock, "plugin", context.pluginPath}); },
                     [&] { return RunProbe(context.startUpProbePath, {clock, "direct"}); }, context.settings.startUp);
  ResultRow row = RatioRow("start-up", "dlopen + SarnicPluginEntry, fresh process", times,
                           context.settings.startUpGoal);
  row.kind = RowKind::Time;
  rows.push_back(row);
  ReportProgress(rows.back());
}

}  // namespace bench
