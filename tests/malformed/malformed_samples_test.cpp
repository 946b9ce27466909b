// Samples no encoder should see, written through the plug-in's writer: NaN,
// infinities and values far beyond full scale into the encodings that have
// nothing beyond it. The writer survives, leaves the host's block as it was,
// and the file holds saturated samples where the values were out of range.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "tests/common/test_host.h"
#include "tests/malformed/plugin_under_test.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Each value, and what a file must give back for it (NaN: anything).
struct Sample {
  double written;
  double readBack;
};
const Sample kSamples[] = {{kNaN, 0.0},    {kInfinity, 1.0}, {-kInfinity, -1.0}, {1e300, 1.0},  {-1e300, -1.0},
                           {1e10, 1.0},    {100.0, 1.0},     {-100.0, -1.0},     {1.5, 1.0},    {-1.0005, -1.0},
                           {0.5, 0.5},     {-0.25, -0.25},   {0.0, 0.0},         {4.9e-324, 0.0}};

struct Encoding {
  const char* name;
  int32_t formatWord;
  bool exact;  // whether each sample's value survives encoding, to a step
};

class OutOfRangeSamples : public testing::TestWithParam<Encoding> {};

TEST_P(OutOfRangeSamples, AreBoundedAndTheBlockIsLeftAlone) {
  ASSERT_NE(SinkRecord(), nullptr) << "the plug-in did not start";
  test_host::Reset();
  std::string path = ScratchFolder() + "/bounded-" + GetParam().name;
  SinkConfigBlock block{};
  block.typeTag = kSinkTypeTag;
  block.formatWord = GetParam().formatWord;
  block.quality = 0.5f;
  PCM_sink* sink = SinkRecord()->makeSink(path.c_str(), &block, sizeof block, 1, 48000, false);
  ASSERT_NE(sink, nullptr);

  // Enough frames for the MPEG encoder to run its model on them.
  std::vector<double> samples;
  while (samples.size() < 8 * 1152)
    for (const Sample& sample : kSamples) samples.push_back(sample.written);
  std::vector<double> original = samples;
  double* buffers[1] = {samples.data()};
  int frames = static_cast<int>(samples.size());
  EXPECT_EQ(sink->WriteBlock(buffers, frames, 1, 0, 0), frames);
  EXPECT_EQ(std::memcmp(samples.data(), original.data(), samples.size() * sizeof(double)), 0);
  delete sink;

  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  std::vector<double> read(samples.size());
  sf_count_t count = sf_readf_double(file, read.data(), static_cast<sf_count_t>(read.size()));
  sf_close(file);
  EXPECT_GT(count, 0);
  if (!GetParam().exact) return;
  ASSERT_EQ(count, frames);
  for (size_t i = 0; i < std::size(kSamples); ++i)
    EXPECT_NEAR(read[i], kSamples[i].readBack, 0.04) << "sample " << kSamples[i].written;
}

const Encoding kEncodings[] = {{"ULaw", SF_FORMAT_WAV | SF_FORMAT_ULAW, true},
                               {"ALaw", SF_FORMAT_AU | SF_FORMAT_ALAW, true},
                               {"MpegLayerIII", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, false}};

INSTANTIATE_TEST_SUITE_P(, OutOfRangeSamples, testing::ValuesIn(kEncodings),
                         [](const testing::TestParamInfo<Encoding>& info) { return std::string(info.param.name); });

}  // namespace
