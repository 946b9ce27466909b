// A conversion that fails (full disk) or is interrupted (SIGINT to the
// process group as a terminal sends it, SIGTERM to pexo-host alone) leaves
// no partial output and exits non-zero.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
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

TEST_F(SafetyTest, InterruptedConversionLeavesNothing) {
  struct Case {
    int signalNumber;
    bool toGroup;
  };
  for (Case item : {Case{SIGINT, true}, Case{SIGTERM, false}}) {
    SCOPED_TRACE(strsignal(item.signalNumber));
    // The input is a pipe the test feeds, so the conversion waits mid-way
    // for as long as the test likes.
    const std::string pipePath = folder / "input.wav";
    const std::string out = folder / "out";
    ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
    ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
    RunOptions options;
    options.environment = {"XDG_CONFIG_HOME=" + (folder / "config")};
    Running running = StartHost({"convert", pipePath, "-d", out, "--format", "flac"}, options);
    // Opens once pexo-host reads the pipe; gives up should it have ended.
    int feed = -1;
    for (int i = 0; i < 1000 && feed < 0; ++i) {
      feed = open(pipePath.c_str(), O_WRONLY | O_NONBLOCK);
      if (feed < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (feed < 0) kill(running.pid, SIGKILL);
    ASSERT_GE(feed, 0) << "pexo-host did not read its input: " << Finish(running).err;
    fcntl(feed, F_SETFL, 0);
    std::string bytes = WavHeader(16000 * 60) + std::string(32000, '\x10');
    ASSERT_EQ(write(feed, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));

    // Wait for the conversion to have its temporary output.
    bool started = false;
    for (int i = 0; i < 1000 && !started; ++i) {
      std::vector<std::string> names = FolderNames(out);
      started = !names.empty();
      if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!started) {
      kill(running.pid, SIGKILL);
      close(feed);
      FAIL() << "no output was begun: " << Finish(running).err;
    }
    kill(item.toGroup ? -running.pid : running.pid, item.signalNumber);
    RunResult result = Finish(running);
    close(feed);
    EXPECT_EQ(result.exitCode, 128 + item.signalNumber) << result.err;
    EXPECT_NE(result.err.find("interrupted"), std::string::npos) << result.err;
    EXPECT_EQ(FolderNames(out), std::vector<std::string>{}) << "the partial output is gone";
    unlink(pipePath.c_str());
    rmdir(out.c_str());
  }
}

}  // namespace
}  // namespace host_test
