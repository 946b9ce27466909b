// A conversion that fails (full disk), is interrupted (SIGINT to the process
// group as a terminal sends it, SIGTERM to pexo-host alone) or loses a
// process (SIGKILL to a worker or to pexo-host) leaves no partial output and
// exits as documented.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <sstream>
#include <thread>

#include "tests/host/audio_files.h"

namespace host_test {
namespace {

using SafetyTest = HostTest;

TEST_F(SafetyTest, FullDiskIsReportedAndLeavesNothing) {
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, Tones(44100, 2, 44100));
  ASSERT_EQ(mkdir((folder / "out").c_str(), 0755), 0);
  RunOptions options;
  options.fileSizeLimit = 64 * 1024;  // writes past it fail as on a full disk
  RunResult result = Host({"convert", folder / "in.wav", "-d", folder / "out", "--format", "wav"}, options);
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_NE(result.err.find("in.wav: write failed"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("disk full"), std::string::npos) << result.err;
  EXPECT_EQ(FolderNames(folder / "out"), std::vector<std::string>{});
}

// The first bytes of a WAV file of 16-bit mono at 8 kHz announcing
// dataBytes of samples.
std::string WavHeader(uint32_t dataBytes) {
  std::string header;
  auto put32 = [&header](uint32_t value) { header.append(reinterpret_cast<const char*>(&value), 4); };
  auto put16 = [&header](uint16_t value) { header.append(reinterpret_cast<const char*>(&value), 2); };
  header += "RIFF";
  put32(36 + dataBytes);
  header += "WAVEfmt ";
  put32(16);
  put16(1);      // PCM
  put16(1);      // channels
  put32(8000);   // rate
  put32(16000);  // bytes per second
  put16(2);      // block align
  put16(16);     // bits
  header += "data";
  put32(dataBytes);
  return header;
}

// Opens the pipe for writing once pexo-host reads it; -1 after 10 s.
int OpenFeed(const std::string& pipePath) {
  for (int i = 0; i < 1000; ++i) {
    int feed = open(pipePath.c_str(), O_WRONLY | O_NONBLOCK);
    if (feed >= 0) {
      fcntl(feed, F_SETFL, 0);
      return feed;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

// -f with --peaks: the old output and peaks stay, or the new ones are both in
// place, never neither. The peaks cannot be moved into place here (their
// name became a folder while the input was read), so the old output must
// still be there, unchanged.
TEST_F(SafetyTest, ReplacingWithPeaksKeepsTheOldPairWhenThePeaksCannotFollow) {
  const std::string output = folder / "out.wav", peaks = folder / "out.peaks";
  PutFile(output, "the old output");
  PutFile(peaks, "the old peaks");
  const std::string pipePath = folder / "in.wav";
  ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
  Running running = StartHost({"convert", pipePath, "-o", output, "--peaks", peaks, "-f", "-j", "1"});
  int feed = OpenFeed(pipePath);
  if (feed < 0) kill(running.pid, SIGKILL);
  ASSERT_GE(feed, 0) << Finish(running).err;
  ASSERT_EQ(unlink(peaks.c_str()), 0);
  ASSERT_EQ(mkdir(peaks.c_str(), 0755), 0);
  PutFile(peaks + "/inside", "keeps the folder from being replaced");
  const std::string bytes = WavHeader(16000) + std::string(16000, '\x10');
  ASSERT_EQ(write(feed, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(feed);
  RunResult result = Finish(running);
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_EQ(FileBytes(output), "the old output") << result.err;
  EXPECT_EQ(FolderNames(folder.Path()), (std::vector<std::string>{"in.wav", "out.peaks", "out.wav"}));
}

// Waits up to 10 s for the folder to hold count names.
bool WaitForNames(const std::string& folder, size_t count) {
  for (int i = 0; i < 1000; ++i) {
    if (FolderNames(folder).size() >= count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// The processes whose parent is parent.
std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  for (const std::string& name : FolderNames("/proc")) {
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string stat = FileBytes("/proc/" + name + "/stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat.substr(close + 2));
    char state;
    pid_t parentOf = 0;
    fields >> state >> parentOf;
    if (parentOf == parent) children.push_back(std::stoi(name));
  }
  return children;
}

size_t ThreadCount(pid_t process) { return FolderNames("/proc/" + std::to_string(process) + "/task").size(); }

// True once the process is gone or a zombie (its parent may never reap it).
bool Ended(pid_t process) {
  std::string stat = FileBytes("/proc/" + std::to_string(process) + "/stat");
  size_t close = stat.rfind(')');
  return close == std::string::npos || stat.compare(close + 2, 1, "Z") == 0;
}

// Waits up to 10 s for the folder to be empty and the processes to end.
bool WaitForCleanup(const std::string& folder, const std::vector<pid_t>& processes) {
  for (int i = 0; i < 1000; ++i) {
    bool ended = true;
    for (pid_t process : processes) ended = ended && Ended(process);
    if (ended && FolderNames(folder).empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Each cleanup layer on its own: the worker's handlers (a signal to the
// whole group, as a terminal sends it), the host stopping its workers (a
// signal to pexo-host alone), the host removing what a dead worker left (the
// worker killed outright), and the worker stopping when the host itself is
// killed outright (its parent-death signal). Each with the default jobs and
// where it applies with -j 1 as well.
enum class StopBy { kGroupSignal, kHostSignal, kKillWorker, kKillHost };

struct StopCase {
  const char* what;
  StopBy how;
  int signalNumber;
  std::vector<std::string> jobs;  // arguments added to the convert command
  int exitCode;                   // pexo-host's; -1 where the signal ended it
  const char* message;            // in its standard error, "" where it had none
};

void PrintTo(const StopCase& item, std::ostream* out) { *out << item.what; }

class InterruptedConversion : public HostTest, public testing::WithParamInterface<StopCase> {};

TEST_P(InterruptedConversion, LeavesNothingAndExitsAsDocumented) {
  const StopCase& item = GetParam();
  // The input is a pipe the test feeds, so the conversion waits mid-way for
  // as long as the test likes.
  const std::string pipePath = folder / "input.wav";
  const std::string out = folder / "out";
  ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
  ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
  RunOptions options;
  options.environment = {"XDG_CONFIG_HOME=" + (folder / "config")};
  std::vector<std::string> arguments = {"convert", pipePath, "-d", out, "--format", "flac"};
  arguments.insert(arguments.end(), item.jobs.begin(), item.jobs.end());
  Running running = StartHost(arguments, options);
  int feed = OpenFeed(pipePath);
  if (feed < 0) kill(running.pid, SIGKILL);
  ASSERT_GE(feed, 0) << "pexo-host did not read its input: " << Finish(running).err;
  std::string bytes = WavHeader(16000 * 60) + std::string(32000, '\x10');
  ASSERT_EQ(write(feed, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));

  // The conversion has begun once its temporary output is there.
  if (!WaitForNames(out, 1)) {
    kill(running.pid, SIGKILL);
    close(feed);
    FAIL() << "no output was begun: " << Finish(running).err;
  }
  std::vector<pid_t> workers = ChildrenOf(running.pid);
  switch (item.how) {
    case StopBy::kGroupSignal: kill(-running.pid, item.signalNumber); break;
    case StopBy::kHostSignal:
    case StopBy::kKillHost: kill(running.pid, item.signalNumber); break;
    case StopBy::kKillWorker:
      ASSERT_EQ(workers.size(), 1u);
      kill(workers[0], item.signalNumber);
      break;
  }
  RunResult result = Finish(running);
  // The input stays open until the cleanup is over: an input that ended
  // would let a surviving worker finish and rename its output into place.
  bool cleaned = WaitForCleanup(out, workers);
  close(feed);
  if (item.exitCode >= 0) {
    EXPECT_EQ(result.exitCode, item.exitCode) << result.err;
  } else {
    EXPECT_EQ(result.signal, item.signalNumber) << result.err;
  }
  EXPECT_NE(result.err.find(item.message), std::string::npos) << result.err;
  EXPECT_TRUE(cleaned) << "left: " << testing::PrintToString(FolderNames(out));
  for (pid_t worker : workers) {
    if (!Ended(worker)) kill(worker, SIGKILL);
  }
}

INSTANTIATE_TEST_SUITE_P(
    , InterruptedConversion,
    testing::Values(
        StopCase{"SigintToTheGroup", StopBy::kGroupSignal, SIGINT, {}, 128 + SIGINT, "interrupted"},
        StopCase{"SigtermToPexoHost", StopBy::kHostSignal, SIGTERM, {}, 128 + SIGTERM, "interrupted"},
        StopCase{"SigintToTheGroupOfOneJob", StopBy::kGroupSignal, SIGINT, {"-j", "1"}, 128 + SIGINT,
                 "interrupted"},
        StopCase{"SigtermToPexoHostOfOneJob", StopBy::kHostSignal, SIGTERM, {"-j", "1"}, 128 + SIGTERM,
                 "interrupted"},
        StopCase{"SigkillToTheWorker", StopBy::kKillWorker, SIGKILL, {}, 1, "a worker died of signal 9"},
        StopCase{"SigkillToTheWorkerOfOneJob", StopBy::kKillWorker, SIGKILL, {"-j", "1"}, 1,
                 "a worker died of signal 9"},
        StopCase{"SigkillToPexoHost", StopBy::kKillHost, SIGKILL, {}, -1, ""}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace host_test

namespace host_test {
namespace {

// With -j 2, two files are converted at once, each in a worker process of
// its own that runs a single thread: no two conversions share libsndfile's
// process-wide state. Stopping the run removes both partial outputs.
TEST_F(SafetyTest, ParallelConversionsRunInSingleThreadedWorkers) {
  const std::string out = folder / "out";
  ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
  const std::string pipes[2] = {folder / "first.wav", folder / "second.wav"};
  for (const std::string& pipePath : pipes) ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
  RunOptions options;
  options.environment = {"XDG_CONFIG_HOME=" + (folder / "config")};
  Running running = StartHost({"convert", pipes[0], pipes[1], "-d", out, "--format", "flac", "-j", "2"}, options);
  int feeds[2];
  for (int i = 0; i < 2; ++i) {
    feeds[i] = OpenFeed(pipes[i]);
    if (feeds[i] < 0) kill(running.pid, SIGKILL);
    ASSERT_GE(feeds[i], 0) << "pexo-host did not read " << pipes[i] << ": " << Finish(running).err;
    std::string bytes = WavHeader(16000 * 60) + std::string(32000, '\x10');
    ASSERT_EQ(write(feeds[i], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  bool begun = WaitForNames(out, 2);
  std::vector<pid_t> workers = ChildrenOf(running.pid);
  size_t hostThreads = ThreadCount(running.pid);
  std::vector<size_t> workerThreads;
  for (pid_t worker : workers) workerThreads.push_back(ThreadCount(worker));
  kill(running.pid, SIGTERM);
  RunResult result = Finish(running);
  for (int feed : feeds) close(feed);

  EXPECT_TRUE(begun) << result.err;
  EXPECT_EQ(workers.size(), 2u);
  EXPECT_EQ(hostThreads, 1u);
  EXPECT_EQ(workerThreads, (std::vector<size_t>(workers.size(), 1u)));
  EXPECT_EQ(result.exitCode, 128 + SIGTERM) << result.err;
  EXPECT_EQ(FolderNames(out), std::vector<std::string>{}) << "both partial outputs are gone";
}

}  // namespace
}  // namespace host_test

namespace host_test {
namespace {

// libsndfile reads FLAC only from a file it can seek in: from a pipe the
// message says so, instead of calling good data no audio file.
TEST_F(SafetyTest, AnInputThatNeedsSeekingSaysSoFromAPipe) {
  WriteFile(folder / "in.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 8000, Tones(800, 1, 8000));
  const std::string bytes = FileBytes(folder / "in.flac");
  ASSERT_LT(bytes.size(), 60000u) << "it must fit in the pipe's buffer";
  const std::string pipePath = folder / "pipe.flac";
  ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
  ASSERT_EQ(mkdir((folder / "out").c_str(), 0755), 0);
  Running running = StartHost({"convert", pipePath, "-d", folder / "out", "--format", "wav"});
  int feed = OpenFeed(pipePath);
  if (feed < 0) kill(running.pid, SIGKILL);
  ASSERT_GE(feed, 0) << "pexo-host did not read its input: " << Finish(running).err;
  ASSERT_EQ(write(feed, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(feed);
  RunResult result = Finish(running);
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_NE(result.err.find("needs a seekable file"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("not an audio file"), std::string::npos) << result.err;
  EXPECT_EQ(FolderNames(folder / "out"), std::vector<std::string>{});
}

}  // namespace
}  // namespace host_test
