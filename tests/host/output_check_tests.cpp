// A conversion succeeds only with a complete file: under every file-size
// limit, and on a small file system that fills up, each run either exits 0
// with an output that reads back whole or fails and leaves nothing. Empty
// inputs give a file that reads back or a clear refusal; inputs cut short
// convert what they hold, with a warning and exit status 3.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sched.h>

#include <cerrno>
#include <cstring>

#include "tests/host/audio_files.h"

namespace host_test {
namespace {

using OutputCheckTest = HostTest;

struct Target {
  const char* name;
  const char* format;    // --format
  const char* encoding;  // --encoding, or "" for the format's first
  const char* extension;
};
void PrintTo(const Target& t, std::ostream* out) { *out << t.name; }

const Target kTargets[] = {
    {"flac", "flac", "Signed 16 bit PCM", "flac"},
    {"vorbis", "oga", "Vorbis", "oga"},
    {"opus", "oga", "Opus", "oga"},
    {"caf_alac16", "caf", "16 bit ALAC", "caf"},
    {"wav", "wav", "Signed 16 bit PCM", "wav"},
};

constexpr int kRate = 48000;  // one Opus takes
constexpr int kFrames = kRate;

std::vector<std::string> Convert(const std::string& input, const std::string& out, const Target& target) {
  return {"convert", input, "-d", out, "--format", target.format, "--encoding", target.encoding, "-q", "-f"};
}

// What a run may end in: exit 0 with the whole file, or a failure with
// nothing left in the folder (besides the names it held before).
void ExpectWholeOrNothing(const RunResult& result, const std::string& out, const std::string& output,
                          const std::vector<std::string>& before, int64_t frames) {
  if (result.exitCode == 0) {
    Audio audio;
    ASSERT_TRUE(ReadFile(output, &audio)) << "exit 0 with an output libsndfile cannot read\n" << result.err;
    EXPECT_EQ(audio.Frames(), frames) << "exit 0 with an incomplete output";
    EXPECT_EQ(audio.channels, 1);
    EXPECT_EQ(audio.rate, kRate);
    return;
  }
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_EQ(FolderNames(out), before) << "a failure left something behind\n" << result.err;
}

class LimitedOutput : public OutputCheckTest, public testing::WithParamInterface<Target> {};

TEST_P(LimitedOutput, EveryFileSizeLimitGivesAWholeFileOrNothing) {
  const Target& target = GetParam();
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate, Tones(kFrames, 1, kRate));
  const std::string out = folder / "out";
  ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
  const std::string output = out + "/in." + target.extension;
  RunResult whole = Host(Convert(folder / "in.wav", out, target));
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  const long size = static_cast<long>(FileBytes(output).size());
  ASSERT_EQ(unlink(output.c_str()), 0);

  // The header, spread over the body, and each of the last bytes' steps.
  std::vector<long> limits = {0, 1, 12, 44, 100, 1000, 4096};
  for (int eighth = 1; eighth < 8; ++eighth) limits.push_back(size * eighth / 8);
  for (long back : {4096L, 1024L, 100L, 10L, 1L}) limits.push_back(size - back);
  limits.push_back(size);
  for (long limit : limits) {
    if (limit < 0) continue;
    SCOPED_TRACE("file-size limit " + std::to_string(limit) + " of " + std::to_string(size));
    RunOptions options;
    options.fileSizeLimit = limit;
    RunResult result = Host(Convert(folder / "in.wav", out, target), options);
    ExpectWholeOrNothing(result, out, output, {}, kFrames);
    if (limit == size) {
      EXPECT_EQ(result.exitCode, 0) << result.err;
    }
    unlink(output.c_str());
  }
}

INSTANTIATE_TEST_SUITE_P(, LimitedOutput, testing::ValuesIn(kTargets),
                         [](const testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

// A small file system of its own (tmpfs; it needs the right to mount, as
// root has in CI): filled to leave less and less room, each run gives a
// whole file or nothing.
TEST_F(OutputCheckTest, FullFileSystemGivesAWholeFileOrNothing) {
  const std::string small = folder / "small";
  ASSERT_EQ(mkdir(small.c_str(), 0755), 0);
  // A mount namespace of this test process alone, so nothing else sees it.
  if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("pexo-test", small.c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here (needs root): " << std::strerror(errno);
  }
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate, Tones(kFrames, 1, kRate));
  for (const Target& target : kTargets) {
    SCOPED_TRACE(target.name);
    const std::string output = small + "/in." + target.extension;
    for (long room : {0L, 4096L, 16384L, 65536L, 131072L, 262144L, 524288L}) {
      SCOPED_TRACE("room " + std::to_string(room));
      const std::string filler = small + "/filler";
      unlink(filler.c_str());
      // The filler takes all but room bytes (tmpfs counts in pages).
      PutFile(filler, std::string(static_cast<size_t>(1024 * 1024 - room), 'x'));
      RunResult result = Host(Convert(folder / "in.wav", small, target));
      ExpectWholeOrNothing(result, small, output, {"filler"}, kFrames);
      if (result.exitCode != 0 && room == 0) {
        EXPECT_NE(result.err.find("no space left on the file system of " + small), std::string::npos) << result.err;
      }
      unlink(output.c_str());
    }
    unlink((small + "/filler").c_str());
  }
  umount(small.c_str());
}

// An empty input: a file that reads back with no frames, or a refusal that
// says why, never an unreadable file and exit 0. (libsndfile writes an
// empty FLAC as 0 bytes and an empty Opus stream it cannot open again.)
TEST_F(OutputCheckTest, EmptyInputGivesAReadableFileOrARefusal) {
  WriteFile(folder / "empty.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate, {});
  const std::string out = folder / "out";
  ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
  for (const Target& target : kTargets) {
    SCOPED_TRACE(target.name);
    RunResult result = Host(Convert(folder / "empty.wav", out, target));
    const std::string output = out + "/empty." + target.extension;
    if (result.exitCode == 0) {
      Audio audio;
      EXPECT_TRUE(ReadFile(output, &audio)) << "exit 0 with an output that does not read back";
      EXPECT_EQ(audio.Frames(), 0);
    } else {
      EXPECT_EQ(result.exitCode, 1) << result.err;
      EXPECT_NE(result.err.find("no frames"), std::string::npos) << result.err;
      EXPECT_EQ(FolderNames(out), std::vector<std::string>{});
    }
    if (std::string(target.name) == "flac") {
      EXPECT_EQ(result.exitCode, 1) << "libsndfile cannot read its empty FLAC";
    }
    if (std::string(target.name) == "wav") {
      EXPECT_EQ(result.exitCode, 0) << result.err;
    }
    unlink(output.c_str());
  }
}

// An input that ends before its header says: what is there is converted,
// a warning names both lengths, and the exit status is 3.
TEST_F(OutputCheckTest, InputCutShortConvertsWhatItHoldsWithAWarning) {
  struct Cut {
    const char* name;
    int format;
  };
  for (Cut cut : {Cut{"cut.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16}, Cut{"cut.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}}) {
    SCOPED_TRACE(cut.name);
    const std::string whole = folder / (std::string("whole-") + cut.name);
    WriteFile(whole, cut.format, 2, 44100, Tones(4 * 44100, 2, 44100));
    std::string bytes = FileBytes(whole);
    const std::string input = folder / cut.name;
    PutFile(input, bytes.substr(0, bytes.size() / 2));
    Audio held;
    ASSERT_TRUE(ReadFile(input, &held));

    const std::string output = folder / (std::string(cut.name) + ".wav");
    RunResult result = Host({"convert", input, "-o", output, "--encoding", "Signed 16 bit PCM", "-q"});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_NE(result.err.find("warning: the input ended after " + std::to_string(held.Frames()) +
                              " frames; its header says " + std::to_string(4 * 44100)),
              std::string::npos)
        << result.err;
    Audio written;
    ASSERT_TRUE(ReadFile(output, &written)) << "the output is kept";
    EXPECT_EQ(written.Frames(), held.Frames());
  }
}

}  // namespace
}  // namespace host_test
