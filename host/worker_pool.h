// Running tasks in worker processes, one process per task and at most N at
// once. Each worker is a fork of this process, so it has the plug-in loaded
// already and loads nothing new; libsndfile's process-wide error state is
// then never shared between two conversions. A worker's standard output and
// error are collected and printed whole, in task order, so that parallel
// runs print what a serial run prints. Temporary files that a worker
// registers are removed by the parent if the worker dies before it can.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/progress.h"

namespace pexo_host {

// A worker's line to its parent.
class WorkerLink {
 public:
  explicit WorkerLink(int descriptor) : descriptor(descriptor) {}
  void Progress(int64_t done, int64_t total);
  void Temporary(const char* path);

 private:
  int descriptor;
};

// Runs task(index, link) for every index below count; the task's result is
// the worker's exit status. Returns 0 when every worker exited with 0,
// kExitShortInput when the others did, 1 when one exited with anything
// else, and 128 + the signal number when SIGINT, SIGTERM or
// SIGHUP interrupted the run (the workers are stopped and cleaned up).
int RunWorkers(size_t count, int parallel, const std::function<int(size_t index, WorkerLink& link)>& task,
               ProgressBar& bar);

}  // namespace pexo_host
