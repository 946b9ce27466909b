// A host reads many files at once (playback, peaks, previews) and writes
// while it reads. Eight threads each open, seek and read decoders of their
// own on different files and formats while two threads write; every sample
// read and every byte written must be what the same work gives on one
// thread. The host records nothing and shares nothing, so that any race
// found is the plug-in's.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "abi/sink_config.h"
#include "binding/sndfile_api.h"
#include "decoder/decoder.h"
#include "sink/sink.h"
#include "tests/common/quiet_host.h"

namespace {

struct Input {
  const char* name;
  int format;
};
const Input kInputs[] = {
    {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},   {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
    {"pcm24.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24}, {"pcm24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
    {"vorbis.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},  {"alac16.caf", SF_FORMAT_CAF | SF_FORMAT_ALAC_16},
};
constexpr int kFrames = 20000;
constexpr int kChannels = 2;

class ConcurrentUse : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadSndfile(), 0);
    quiet_host::InstallIntoHostApi();
    char pattern[] = "/tmp/pexo-threads-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    for (const Input& input : kInputs) {
      SF_INFO info{};
      info.samplerate = 44100;
      info.channels = kChannels;
      info.format = input.format;
      SNDFILE* file = sf_open(Path(input.name).c_str(), SFM_WRITE, &info);
      ASSERT_NE(file, nullptr) << input.name;
      std::vector<double> samples = Signal(static_cast<unsigned>(input.format));
      sf_write_double(file, samples.data(), static_cast<sf_count_t>(samples.size()));
      sf_close(file);
    }
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  std::string Path(const std::string& name) const { return folder + "/" + name; }

  // A sweep with a little noise, different per seed.
  static std::vector<double> Signal(unsigned seed) {
    std::vector<double> samples(static_cast<size_t>(kFrames) * kChannels);
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < samples.size(); ++i) {
      state = state * 1664525u + 1013904223u;
      double noise = static_cast<double>(state >> 8) / 16777216.0 - 0.5;
      samples[i] = 0.6 * ((i % 400) / 200.0 - 1.0) + 0.1 * noise;
    }
    return samples;
  }

  // What one reader gets for a file: a fixed script of seeks and reads.
  static std::vector<double> ReadScript(const std::string& path, unsigned seed) {
    std::vector<double> got;
    HostSource* source = makeFromFile(path.c_str(), 7);
    if (source == nullptr) return got;
    ISimpleMediaDecoder* decoder = quiet_host::DecoderOf(source);
    std::vector<double> buffer(1024 * kChannels);
    uint32_t state = seed + 7;
    for (int step = 0; step < 24; ++step) {
      state = state * 1664525u + 1013904223u;
      if (step % 3 == 0) decoder->SeekToFrame(static_cast<int64_t>(state % kFrames));
      int frames = decoder->ReadFrames(buffer.data(), 1024);
      got.insert(got.end(), buffer.begin(), buffer.begin() + frames * kChannels);
    }
    delete source;
    return got;
  }

  // The bytes of a file the writer makes of a signal.
  std::string WriteScript(const std::string& path, int format, unsigned seed) {
    SinkConfigBlock settings{kSinkTypeTag, format, 0.5f, {}};
    PCM_sink* sink = makeSink(path.c_str(), &settings, sizeof settings, kChannels, 44100, false);
    if (sink == nullptr) return "";
    std::vector<double> samples = Signal(seed);
    for (int frame = 0; frame < kFrames; frame += 1000) {
      double* buffers[1] = {samples.data() + static_cast<size_t>(frame) * kChannels};
      sink->WriteBlock(buffers, 1000, kChannels, 0, 0);
    }
    delete sink;
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  std::string folder;
};

TEST_F(ConcurrentUse, EightReadersAndTwoWritersGetWhatOneThreadGets) {
  constexpr int kReaders = 8;
  constexpr int kRounds = 6;
  const int writerFormats[2] = {SF_FORMAT_WAV | SF_FORMAT_PCM_24, SF_FORMAT_FLAC | SF_FORMAT_PCM_16};
  constexpr size_t kInputCount = sizeof kInputs / sizeof kInputs[0];

  // One thread first: what every reader and writer must get.
  std::vector<std::vector<double>> expectedReads;
  for (int reader = 0; reader < kReaders; ++reader) {
    expectedReads.push_back(ReadScript(Path(kInputs[reader % kInputCount].name), static_cast<unsigned>(reader)));
    ASSERT_FALSE(expectedReads.back().empty()) << kInputs[reader % kInputCount].name;
  }
  std::string expectedWrites[2];
  for (int writer = 0; writer < 2; ++writer) {
    expectedWrites[writer] = WriteScript(Path("alone" + std::to_string(writer)), writerFormats[writer],
                                         static_cast<unsigned>(100 + writer));
    ASSERT_FALSE(expectedWrites[writer].empty());
  }

  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int reader = 0; reader < kReaders; ++reader) {
    threads.emplace_back([&, reader] {
      for (int round = 0; round < kRounds; ++round) {
        if (ReadScript(Path(kInputs[reader % kInputCount].name), static_cast<unsigned>(reader)) !=
            expectedReads[static_cast<size_t>(reader)]) {
          ++mismatches;
        }
      }
    });
  }
  for (int writer = 0; writer < 2; ++writer) {
    threads.emplace_back([&, writer] {
      for (int round = 0; round < kRounds; ++round) {
        std::string path = Path("together" + std::to_string(writer) + "-" + std::to_string(round));
        if (WriteScript(path, writerFormats[writer], static_cast<unsigned>(100 + writer)) !=
            expectedWrites[writer]) {
          ++mismatches;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
