// Running the pexo-host binary from a test: arguments, environment, limits,
// and what it printed and how it ended.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace host_test {

struct RunResult {
  int exitCode = -1;   // when it exited
  int signal = 0;      // when a signal ended it
  std::string out, err;
};

struct RunOptions {
  std::vector<std::string> environment;  // NAME=VALUE added to the test's own
  long fileSizeLimit = -1;               // RLIMIT_FSIZE in bytes, -1 for none
  std::string workingDirectory;          // "" for the test's own
};

// Runs pexo-host with the arguments and waits for it.
RunResult RunHost(const std::vector<std::string>& arguments, const RunOptions& options = {});
// Runs any program (found on PATH) and waits for it.
RunResult RunProgram(const std::vector<std::string>& arguments);
bool HaveProgram(const std::string& name);

// A pexo-host still running.
struct Running {
  pid_t pid = -1;
  std::string outPath, errPath;
};
Running StartHost(const std::vector<std::string>& arguments, const RunOptions& options = {});
RunResult Finish(const Running& running);

}  // namespace host_test
