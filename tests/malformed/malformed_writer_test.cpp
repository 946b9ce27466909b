// Write targets a writer cannot use, given to the plug-in's makeSink the way
// a host gives them: each gets no writer, with the writer's message where
// it has one and silence elsewhere, and a disk that fills up while a
// writer writes ends in short writes, not in a crash.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "tests/common/test_host.h"
#include "tests/malformed/child_process.h"
#include "tests/malformed/plugin_under_test.h"

namespace {

constexpr int32_t kWave16 = 0x010002;  // WAV, 16-bit PCM

SinkConfigBlock Block(int32_t formatWord) {
  SinkConfigBlock block{};
  block.typeTag = kSinkTypeTag;
  block.formatWord = formatWord;
  block.quality = 0.5f;
  return block;
}

struct WriterCase {
  const char* name;
  std::function<std::string()> path;
  int channels;
  const char* message;  // what standard output must show; "" for nothing
};

const std::vector<WriterCase>& Cases() {
  static const std::vector<WriterCase> cases = {
      {"FullDevice", [] { return std::string("/dev/full"); }, 2, ""},
      {"NotEvenRootMayCreateHere", [] { return std::string("/proc/pexo-output.wav"); }, 2, ""},
      {"Directory", [] { return ScratchFolder(); }, 2, ""},
      {"MissingFolder", [] { return ScratchFolder() + "/missing/output.wav"; }, 2, ""},
      {"PathThroughAFile", [] { return ScratchFile("plain-file", "x") + "/output.wav"; }, 2, ""},
      {"PathOf5000Characters", [] { return ScratchFolder() + "/" + std::string(5000, 'a') + ".wav"; }, 2, ""},
      {"ZeroChannels", [] { return ScratchFolder() + "/zero-channels.wav"; }, 0,
       "Something might have gone wrong... Format not available: 0x00010002 for 0 channels \n"},
  };
  return cases;
}

class UnusableWriteTarget : public testing::TestWithParam<WriterCase> {
 protected:
  void SetUp() override {
    ASSERT_NE(SinkRecord(), nullptr) << "the plug-in did not start";
    test_host::Reset();
  }
};

TEST_P(UnusableWriteTarget, GivesNoWriter) {
  std::string path = GetParam().path();
  SinkConfigBlock block = Block(kWave16);
  testing::internal::CaptureStdout();
  PCM_sink* sink = SinkRecord()->makeSink(path.c_str(), &block, sizeof block, GetParam().channels, 44100, true);
  std::fflush(stdout);
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(sink, nullptr);
  delete sink;
  EXPECT_EQ(printed, GetParam().message);
  EXPECT_EQ(test_host::Recorded().peakBuildersAlive, 0);  // made for the file, and gone with the writer
}

INSTANTIATE_TEST_SUITE_P(, UnusableWriteTarget, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<WriterCase>& info) { return std::string(info.param.name); });

TEST(ReadOnlyFolder, GivesNoWriter) {
  ASSERT_NE(SinkRecord(), nullptr) << "the plug-in did not start";
  std::string folder = ScratchFolder() + "/read-only";
  ASSERT_EQ(mkdir(folder.c_str(), 0555), 0);
  std::string path = folder + "/output.wav";
  auto check = [&] {
    if (access(folder.c_str(), W_OK) == 0) return false;  // permissions do not apply after all
    SinkConfigBlock block = Block(kWave16);
    PCM_sink* sink = SinkRecord()->makeSink(path.c_str(), &block, sizeof block, 2, 44100, false);
    delete sink;
    return sink == nullptr && access(path.c_str(), F_OK) != 0;
  };
  ChildOutcome outcome = RunWherePermissionsApply(check);
  if (outcome == ChildOutcome::kCannotDropPrivileges)
    GTEST_SKIP() << "running as root without a way to drop privileges; permissions deny root nothing";
  EXPECT_EQ(outcome, ChildOutcome::kPassed);
}

// A file-size limit stands in for a disk that fills while the writer writes:
// the header fits, the samples soon do not.
TEST(DiskFillsWhileWriting, WritesComeBackShortAndTheWriterCloses) {
  ASSERT_NE(SinkRecord(), nullptr) << "the plug-in did not start";
  std::string path = ScratchFolder() + "/filling.wav";
  ChildOutcome outcome = RunInChild([&] {
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the process
    struct rlimit limit = {8192, 8192};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
    SinkConfigBlock block = Block(kWave16);
    PCM_sink* sink = SinkRecord()->makeSink(path.c_str(), &block, sizeof block, 2, 44100, true);
    if (sink == nullptr) return false;
    std::vector<double> samples(2 * 1024, 0.25);
    double* buffers[1] = {samples.data()};
    bool cameBackShort = false;
    for (int i = 0; i < 16; ++i) {
      int64_t written = sink->WriteBlock(buffers, 1024, 2, 0, 0);
      if (written < 0 || written > 2 * 1024) return false;
      if (written < 2 * 1024) cameBackShort = true;
    }
    delete sink;  // closing the file fails to complete its header: not reported
    return cameBackShort;
  });
  EXPECT_EQ(outcome, ChildOutcome::kPassed);
}

}  // namespace
