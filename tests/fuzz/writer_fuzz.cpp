// The writer through makeSink and WriteBlock: fuzzer-chosen format words,
// qualities, channel counts, rates and sample blocks (NaN, infinities,
// huge, denormal and in-range values, counts that do not fit the channels)
// for every encoding libsndfile lists, then the writer's queries.
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "abi/sink_config.h"
#include "tests/common/test_host.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_files.h"
#include "tests/fuzz/fuzz_formats.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/fuzz_plugin.h"
#include "tests/fuzz/fuzz_targets.h"

namespace fuzz_writer {
namespace {

double Sample(FuzzInput& in) {
  switch (in.InRange(0, 15)) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return in.Bool() ? HUGE_VAL : -HUGE_VAL;
    case 2: return in.Bool() ? DBL_MAX : -DBL_MAX;
    case 3: return in.Bool() ? 4.9e-324 : -2.2250738585072009e-308;  // denormals
    case 4: return std::ldexp(static_cast<double>(in.Take<int16_t>()), static_cast<int>(in.InRange(-40, 40)));
    case 5: return in.Take<double>();  // any bit pattern
    case 6: return in.Bool() ? 1.0 + 1e-9 : -1.0 - 1e-9;
    default: return static_cast<double>(in.Take<int16_t>()) / 32768.0;
  }
}

int Channels(FuzzInput& in) {
  switch (in.InRange(0, 7)) {
    case 0: return static_cast<int>(in.InRange(-2, 0));
    case 1: return static_cast<int>(in.InRange(9, 1100));
    case 2: return in.Take<int>();
    default: return static_cast<int>(in.InRange(1, 8));
  }
}

int Rate(FuzzInput& in) {
  const int common[] = {8000, 11025, 16000, 22050, 44100, 48000, 96000, 192000};
  switch (in.InRange(0, 5)) {
    case 0: return static_cast<int>(in.InRange(-10, 1000000));
    case 1: return in.Take<int>();
    default: return common[in.InRange(0, 7)];
  }
}

float Quality(FuzzInput& in) {
  if (in.InRange(0, 7) == 0) return in.Take<float>();  // NaN, infinities, anything
  return static_cast<float>(in.InRange(0, 100)) / 100.0f;
}

void WriteBlocks(PCM_sink* sink, int channels, FuzzInput& in) {
  for (int block = 0; block < 8 && !in.Empty(); ++block) {
    // Mostly the writer's channel count; sometimes a count that does not fit.
    int blockChannels = in.InRange(0, 5) == 0 ? static_cast<int>(in.InRange(-1, 9)) : channels;
    int maxFrames = blockChannels > 8 ? 4 : 300;
    int frames = static_cast<int>(in.InRange(-2, maxFrames));
    int64_t product = static_cast<int64_t>(frames) * blockChannels;
    size_t values = product > 0 ? static_cast<size_t>(product) : 0;
    std::unique_ptr<double[]> samples(new double[values]);
    for (size_t i = 0; i < values; ++i) samples[i] = in.Bool() ? Sample(in) : (i > 0 ? samples[i - 1] : 0.0);
    std::unique_ptr<double[]> original(new double[values]);
    if (values != 0) std::memcpy(original.get(), samples.get(), values * sizeof(double));

    double* buffers[2] = {samples.get(), nullptr};
    int64_t written = sink->WriteBlock(buffers, frames, blockChannels, 0, 0);
    FUZZ_CHECK(written >= 0 && written <= static_cast<int64_t>(values));
    // The host's block goes to libsndfile untouched.
    if (values != 0) FUZZ_CHECK(std::memcmp(original.get(), samples.get(), values * sizeof(double)) == 0);
  }
}

void Query(PCM_sink* sink, const std::string& path, int channels, FuzzInput& in) {
  FUZZ_CHECK(std::strcmp(sink->GetOutputFileName(), path.c_str()) == 0);
  FUZZ_CHECK(sink->GetChannelCount() == channels);
  int capacity = static_cast<int>(in.InRange(-4, 120));
  // Exactly the capacity, nothing for one below 1.
  std::unique_ptr<char[]> description(new char[capacity > 0 ? static_cast<size_t>(capacity) : 0]);
  sink->DescribeOutput(description.get(), capacity);
  sink->GetLengthSeconds();
  sink->GetOutputCount();
  unsigned char record[36];
  std::memset(record, 0xAB, sizeof record);
  sink->PeakRecordQuery(record, 0, 0);
}

}  // namespace

int FuzzOne(const uint8_t* data, size_t size) {
  const StartedPlugin& plugin = StartPlugin();
  test_host::Reset();
  FuzzInput in(data, size);

  SinkConfigBlock block{};
  block.typeTag = kSinkTypeTag;
  block.formatWord = ChooseFormatWord(in);
  block.quality = Quality(in);
  int channels = Channels(in);
  int rate = Rate(in);
  bool peaks = in.Bool();
  std::string path = ScratchPath("output");

  PCM_sink* sink = plugin.sink->makeSink(path.c_str(), &block, sizeof block, channels, rate, peaks);
  if (sink == nullptr) {
    FUZZ_CHECK(test_host::Recorded().peakBuildersAlive == 0);
  } else {
    WriteBlocks(sink, channels, in);
    Query(sink, path, channels, in);
    delete sink;
    FUZZ_CHECK(test_host::Recorded().peakBuildersAlive == 0);
  }
  std::remove(path.c_str());
  return 0;
}

}  // namespace fuzz_writer

PEXO_FUZZ_TARGET("writer", fuzz_writer::FuzzOne);
