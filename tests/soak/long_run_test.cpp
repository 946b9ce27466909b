// A host keeps the plug-in loaded for a whole session and opens and writes
// files all day: cycle after cycle of decoder and writer must leave the
// process's open file descriptors and resident memory where they were. The
// host records nothing, so what grows is the plug-in's.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "binding/sndfile_api.h"
#include "decoder/decoder.h"
#include "sink/sink.h"
#include "tests/common/quiet_host.h"

namespace {

bool LongRun() { return std::getenv("PEXO_LONG_RUN") != nullptr; }

int OpenDescriptors() {
  int count = 0;
  DIR* folder = opendir("/proc/self/fd");
  if (folder == nullptr) return -1;
  while (readdir(folder) != nullptr) ++count;
  closedir(folder);
  return count;
}

long ResidentKiB() {
  long pages = 0, resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return -1;
  if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = -1;
  std::fclose(statm);
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

class LongRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadSndfile(), 0);
    quiet_host::InstallIntoHostApi();
    char pattern[] = "/tmp/pexo-soak-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override {
    std::system(("rm -rf '" + folder + "'").c_str());
  }

  // A short stereo file of the format, written with libsndfile directly.
  std::string Input(int format, const char* name) {
    std::string path = folder + "/" + name;
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << name;
    std::vector<double> samples(2 * 2000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<double>(i % 200) / 400.0 - 0.25;
    sf_write_double(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return path;
  }

  // Runs cycles after a warm-up and checks that descriptors and resident
  // memory stay where the warm-up left them.
  template <typename Cycle>
  void ExpectFlat(const char* what, int cycles, Cycle cycle) {
    for (int i = 0; i < 100; ++i) cycle(i);
    const int descriptors = OpenDescriptors();
    [[maybe_unused]] const long resident = ResidentKiB();
    for (int i = 0; i < cycles; ++i) cycle(i);
    EXPECT_EQ(OpenDescriptors(), descriptors) << what;
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's quarantine keeps freed memory resident
    EXPECT_LT(ResidentKiB() - resident, 2048) << what << ": resident memory grew over " << cycles << " cycles";
#endif
  }

  std::string folder;
};

TEST_F(LongRuns, OpenReadCloseCyclesLeaveNothingBehind) {
  const std::vector<std::string> inputs = {Input(SF_FORMAT_WAV | SF_FORMAT_PCM_16, "a.wav"),
                                           Input(SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "b.flac"),
                                           Input(SF_FORMAT_OGG | SF_FORMAT_VORBIS, "c.ogg")};
  std::vector<double> buffer(2 * 1024);
  int failures = 0;
  ExpectFlat("decoders", LongRun() ? 100000 : 4000, [&](int i) {
    HostSource* source = makeFromFile(inputs[static_cast<size_t>(i) % inputs.size()].c_str(), 7);
    if (source == nullptr) {
      ++failures;
      return;
    }
    ISimpleMediaDecoder* decoder = quiet_host::DecoderOf(source);
    decoder->SeekToFrame(i % 1000);
    while (decoder->ReadFrames(buffer.data(), 1024) > 0) {
    }
    delete source;
  });
  EXPECT_EQ(failures, 0);
}

TEST_F(LongRuns, WriterCyclesLeaveNothingBehind) {
  const int formats[] = {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_FLAC | SF_FORMAT_PCM_16};
  std::vector<double> samples(2 * 1024, 0.25);
  double* buffers[1] = {samples.data()};
  const std::string output = folder + "/out";
  int failures = 0;
  ExpectFlat("writers", LongRun() ? 10000 : 1000, [&](int i) {
    SinkConfigBlock settings{kSinkTypeTag, formats[i % 2], 0.5f, {}};
    PCM_sink* sink = makeSink(output.c_str(), &settings, sizeof settings, 2, 44100, false);
    if (sink == nullptr) {
      ++failures;
      return;
    }
    if (sink->WriteBlock(buffers, 1024, 2, 0, 0) != 2048) ++failures;
    delete sink;
  });
  EXPECT_EQ(failures, 0);
}

}  // namespace
