// RunWorkers: fork, collect, print in order, and stop cleanly on a signal.
// StopSignals holds the run's signal handling; Pool the loop, in its steps.
#include "host/worker_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "host/cleanup.h"
#include "host/command_line.h"

namespace pexo_host {
namespace {

constexpr char kProgressMessage = 'P';
constexpr char kTemporaryMessage = 'T';

int wakeUp[2] = {-1, -1};  // the signal handler's pipe to the main loop
volatile sig_atomic_t interruption = 0;
WorkerLink* currentLink = nullptr;  // in a worker: its link

void NoteSignal(int signalNumber) {
  if (interruption == 0) interruption = signalNumber;
  int saved = errno;
  char byte = 1;
  (void)!write(wakeUp[1], &byte, 1);
  errno = saved;
}

void ReportTemporary(const char* path) {
  if (currentLink != nullptr) currentLink->Temporary(path);
}

bool WriteAll(int descriptor, const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t written = write(descriptor, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

struct Worker {
  size_t index = 0;
  pid_t pid = -1;
  int descriptors[3] = {-1, -1, -1};  // standard output, standard error, link
  std::string output, errors, link;
  std::vector<std::string> temporaries;
  double fraction = 0.0;
};

struct Finished {
  bool done = false;
  int status = 0;
  std::string output, errors;
};

// The link's complete messages, consumed from the front of the buffer.
void ReadLinkMessages(Worker& worker) {
  std::string& data = worker.link;
  size_t at = 0;
  for (;;) {
    if (data.size() - at < 1) break;
    char type = data[at];
    if (type == kProgressMessage) {
      if (data.size() - at < 1 + 16) break;
      int64_t values[2];
      std::memcpy(values, data.data() + at + 1, sizeof values);
      worker.fraction = values[1] > 0 ? static_cast<double>(values[0]) / static_cast<double>(values[1]) : 0.0;
      if (worker.fraction > 1.0) worker.fraction = 1.0;
      at += 1 + 16;
    } else if (type == kTemporaryMessage) {
      if (data.size() - at < 1 + 4) break;
      uint32_t length;
      std::memcpy(&length, data.data() + at + 1, sizeof length);
      if (data.size() - at < 1 + 4 + length) break;
      worker.temporaries.emplace_back(data, at + 5, length);
      at += 5 + length;
    } else {
      at = data.size();  // not a message of ours; drop the rest
    }
  }
  data.erase(0, at);
}

[[noreturn]] void RunChild(pid_t parent, size_t index, const int pipes[3][2], const std::vector<Worker>& workers,
                           const std::function<int(size_t, WorkerLink&)>& task) {
  // Back to default handling, then the cleanup that removes this worker's
  // temporary files on a signal, which includes the parent's death.
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) signal(signalNumber, SIG_DFL);
  InstallCleanupHandlers();
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) raise(SIGTERM);
  // A stop request that came during the fork is taken now.
  sigset_t stops;
  sigemptyset(&stops);
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signalNumber);
  sigprocmask(SIG_UNBLOCK, &stops, nullptr);
  close(wakeUp[0]);
  close(wakeUp[1]);
  for (const Worker& other : workers) {
    for (int descriptor : other.descriptors) {
      if (descriptor >= 0) close(descriptor);
    }
  }
  dup2(pipes[0][1], STDOUT_FILENO);
  dup2(pipes[1][1], STDERR_FILENO);
  for (int i = 0; i < 3; ++i) {
    close(pipes[i][0]);
    if (i < 2) close(pipes[i][1]);
  }
  WorkerLink link(pipes[2][1]);
  currentLink = &link;
  ObserveTemporaries(&ReportTemporary);
  int status = task(index, link);
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(status);
}

bool StartWorker(size_t index, std::vector<Worker>& workers, const std::function<int(size_t, WorkerLink&)>& task,
                 std::string* error) {
  int pipes[3][2];
  int made = 0;
  for (; made < 3; ++made) {
    if (pipe2(pipes[made], O_CLOEXEC) != 0) break;
  }
  if (made < 3) {
    *error = std::string("cannot start a worker: ") + std::strerror(errno);
    for (int i = 0; i < made; ++i) {
      close(pipes[i][0]);
      close(pipes[i][1]);
    }
    return false;
  }
  std::fflush(stdout);  // nothing buffered may be printed twice
  std::fflush(stderr);
  pid_t parent = getpid();
  // The worker starts with the stop signals held, until it can clean up.
  sigset_t stops, before;
  sigemptyset(&stops);
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signalNumber);
  sigprocmask(SIG_BLOCK, &stops, &before);
  pid_t pid = fork();
  if (pid != 0) sigprocmask(SIG_SETMASK, &before, nullptr);
  if (pid < 0) {
    *error = std::string("cannot start a worker: ") + std::strerror(errno);
    for (auto& end : pipes) {
      close(end[0]);
      close(end[1]);
    }
    return false;
  }
  if (pid == 0) RunChild(parent, index, pipes, workers, task);
  Worker worker;
  worker.index = index;
  worker.pid = pid;
  for (int i = 0; i < 3; ++i) {
    close(pipes[i][1]);
    worker.descriptors[i] = pipes[i][0];
  }
  workers.push_back(std::move(worker));
  return true;
}

// Reads what is there; closes a descriptor at its end.
void Drain(Worker& worker, int which) {
  char buffer[65536];
  ssize_t got = read(worker.descriptors[which], buffer, sizeof buffer);
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (got <= 0) {
    close(worker.descriptors[which]);
    worker.descriptors[which] = -1;
    return;
  }
  std::string& target = which == 0 ? worker.output : which == 1 ? worker.errors : worker.link;
  target.append(buffer, static_cast<size_t>(got));
  if (which == 2) ReadLinkMessages(worker);
}

int Reap(Worker& worker) {
  int status = 0;
  while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
  }
  int result;
  if (WIFEXITED(status)) {
    result = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result = kExitSignalBase + WTERMSIG(status);
    if (WTERMSIG(status) != SIGTERM && WTERMSIG(status) != SIGINT && WTERMSIG(status) != SIGHUP) {
      worker.errors += "pexo-host: a worker died of signal " + std::to_string(WTERMSIG(status)) + " (" +
                       strsignal(WTERMSIG(status)) + ")\n";
    }
  } else {
    result = 1;
  }
  // What a failed worker left is not a finished output.
  if (result != 0) {
    for (const std::string& path : worker.temporaries) unlink(path.c_str());
  }
  return result;
}

}  // namespace

void WorkerLink::Progress(int64_t done, int64_t total) {
  char message[1 + 16];
  message[0] = kProgressMessage;
  int64_t values[2] = {done, total};
  std::memcpy(message + 1, values, sizeof values);
  WriteAll(descriptor, message, sizeof message);
}

void WorkerLink::Temporary(const char* path) {
  uint32_t length = static_cast<uint32_t>(std::strlen(path));
  std::string message(1, kTemporaryMessage);
  message.append(reinterpret_cast<const char*>(&length), sizeof length);
  message.append(path, length);
  WriteAll(descriptor, message.data(), message.size());
}

namespace {

// For the length of a run: SIGINT, SIGTERM and SIGHUP note the signal and
// wake the loop through a pipe; SIGPIPE is ignored, so that a reader that
// went away makes writes fail instead of stopping a conversion half-way, in
// the parent and in the workers. The previous handling comes back after.
class StopSignals {
 public:
  StopSignals() = default;
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  bool Install(std::string* error);

 private:
  static constexpr int kStops[3] = {SIGINT, SIGTERM, SIGHUP};
  bool installed = false;
  struct sigaction previous[3];
  struct sigaction previousPipe;
};

bool StopSignals::Install(std::string* error) {
  if (pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0) {
    *error = std::string("cannot start workers: ") + std::strerror(errno);
    return false;
  }
  interruption = 0;
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = &NoteSignal;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < 3; ++i) sigaction(kStops[i], &action, &previous[i]);
  struct sigaction ignore;
  std::memset(&ignore, 0, sizeof ignore);
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &previousPipe);
  installed = true;
  return true;
}

StopSignals::~StopSignals() {
  if (!installed) return;
  for (int i = 0; i < 3; ++i) sigaction(kStops[i], &previous[i], nullptr);
  sigaction(SIGPIPE, &previousPipe, nullptr);
  close(wakeUp[0]);
  close(wakeUp[1]);
  wakeUp[0] = wakeUp[1] = -1;
}

// One run: start workers up to the limit, wait for any of their streams,
// reap those whose streams ended, print results in task order.
class Pool {
 public:
  Pool(size_t count, int parallel, const std::function<int(size_t, WorkerLink&)>& task, ProgressBar& bar)
      : count(count), parallel(parallel < 1 ? 1 : parallel), task(task), bar(bar), finished(count) {}
  // 0 when every task succeeded, 1 when one did not, 128 + N after signal N.
  int Run();

 private:
  void StopOnInterruption();
  void StartMore();
  // Waits until a stream or the wake-up pipe has something; false when the
  // wait itself failed.
  bool WaitForActivity();
  void ReapFinished();
  void PrintInOrder();
  void ShowProgress();
  // At the end of a run cut short: what finished but was not printed.
  void PrintTheRest();
  static void Print(const Finished& result);

  const size_t count;
  const int parallel;
  const std::function<int(size_t, WorkerLink&)>& task;
  ProgressBar& bar;
  std::vector<Worker> workers;
  std::vector<Finished> finished;
  size_t next = 0, printed = 0, completed = 0;
  bool failed = false, shortInput = false, stopping = false;
};

int Pool::Run() {
  while (printed < count) {
    StopOnInterruption();
    StartMore();
    if (stopping && workers.empty()) break;
    if (!WaitForActivity()) break;
    ReapFinished();
    PrintInOrder();
    if (!stopping) ShowProgress();
  }
  bar.Clear();
  PrintTheRest();
  if (interruption != 0) return kExitSignalBase + interruption;
  if (failed) return 1;
  return shortInput ? kExitShortInput : 0;
}

void Pool::StopOnInterruption() {
  if (interruption == 0 || stopping) return;
  stopping = true;
  for (Worker& worker : workers) kill(worker.pid, SIGTERM);
}

void Pool::StartMore() {
  while (!stopping && next < count && workers.size() < static_cast<size_t>(parallel)) {
    std::string error;
    if (!StartWorker(next, workers, task, &error)) {
      finished[next] = {true, 1, "", "pexo-host: " + error + "\n"};
      ++completed;
    }
    ++next;
  }
}

bool Pool::WaitForActivity() {
  std::vector<pollfd> waits;
  std::vector<std::pair<size_t, int>> owners;  // worker and stream; -1 for the wake-up pipe
  waits.push_back({wakeUp[0], POLLIN, 0});
  owners.emplace_back(0, -1);
  for (size_t w = 0; w < workers.size(); ++w) {
    for (int which = 0; which < 3; ++which) {
      if (workers[w].descriptors[which] >= 0) {
        waits.push_back({workers[w].descriptors[which], POLLIN, 0});
        owners.emplace_back(w, which);
      }
    }
  }
  if (!workers.empty() || waits.size() > 1) {
    if (poll(waits.data(), waits.size(), -1) < 0 && errno != EINTR) return false;
  }
  for (size_t i = 0; i < waits.size(); ++i) {
    if (waits[i].revents == 0) continue;
    if (owners[i].second < 0) {
      char bytes[64];
      while (read(wakeUp[0], bytes, sizeof bytes) > 0) {
      }
      continue;
    }
    Drain(workers[owners[i].first], owners[i].second);
  }
  return true;
}

void Pool::ReapFinished() {
  // Workers whose three streams ended have exited or are about to.
  for (size_t w = 0; w < workers.size();) {
    Worker& worker = workers[w];
    if (worker.descriptors[0] >= 0 || worker.descriptors[1] >= 0 || worker.descriptors[2] >= 0) {
      ++w;
      continue;
    }
    int status = Reap(worker);
    finished[worker.index] = {true, status, std::move(worker.output), std::move(worker.errors)};
    ++completed;
    workers.erase(workers.begin() + static_cast<long>(w));
  }
}

void Pool::Print(const Finished& result) {
  std::fwrite(result.output.data(), 1, result.output.size(), stdout);
  std::fflush(stdout);
  std::fwrite(result.errors.data(), 1, result.errors.size(), stderr);
  std::fflush(stderr);
}

void Pool::PrintInOrder() {
  while (printed < count && finished[printed].done) {
    Finished& result = finished[printed];
    bar.Clear();
    Print(result);
    if (result.status == kExitShortInput) {
      shortInput = true;
    } else if (result.status != 0) {
      failed = true;
    }
    result = Finished{true, result.status, "", ""};
    ++printed;
  }
}

void Pool::ShowProgress() {
  double sum = static_cast<double>(completed);
  for (const Worker& worker : workers) sum += worker.fraction;
  bar.Show(count > 0 ? sum / static_cast<double>(count) : 1.0,
           std::to_string(completed) + "/" + std::to_string(count) + " files");
}

void Pool::PrintTheRest() {
  // A task not seen to finish counts as failed, whatever ended the wait.
  for (; printed < count; ++printed) {
    if (finished[printed].done) {
      Print(finished[printed]);
      if (finished[printed].status != 0) failed = true;
    } else {
      failed = true;
    }
  }
}

}  // namespace

int RunWorkers(size_t count, int parallel, const std::function<int(size_t, WorkerLink&)>& task,
               ProgressBar& bar) {
  StopSignals signals;
  std::string error;
  if (!signals.Install(&error)) {
    std::fprintf(stderr, "pexo-host: %s\n", error.c_str());
    return 1;
  }
  return Pool(count, parallel, task, bar).Run();
}

}  // namespace pexo_host
