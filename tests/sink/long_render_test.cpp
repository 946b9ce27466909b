// Renders past what a container's header can describe: a WAV grows into
// RF64 and reads back whole; the other containers with such a limit stop at
// it with a short write, and what they took reads back whole. Silence keeps
// these renders cheap (sparse files; see sparse_output.h); the first block
// carries a marker so that the audio is checked where it moved.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "sink/sink.h"
#include "tests/sink/sink_fixture.h"
#include "tests/sink/sparse_output.h"

namespace {

constexpr int64_t kMiB = int64_t{1} << 20;
constexpr int64_t k4GiB = int64_t{1} << 32;
constexpr int kBlockFrames = 1 << 16;
constexpr int kMarkerFrames = 64;

// k / 128 for small k: the same integer in every PCM width whichever way a
// writer scales, and exact in floats.
double Marker(int64_t i) { return static_cast<double>(static_cast<int>(i % 101) - 50) / 128.0; }

int64_t BytesPerSample(int formatWord) {
  switch (formatWord & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32: case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 1;
  }
}

class LongRender : public SinkTest {
 protected:
  struct Outcome {
    int64_t framesAccepted = 0;
    bool stoppedShort = false;
    bool laterWriteRefused = false;
  };

  // Renders silence (after the marker) until the writer stops short or
  // frames frames went in; destroys the writer, which closes the file.
  Outcome Render(int formatWord, int channels, int64_t frames, const std::string& name,
                 bool removeBeforeClose = false) {
    Outcome outcome;
    path = Path(name);
    std::vector<unsigned char> block = Block(formatWord, 0.0f);
    // 8 kHz: a rate every limited container's header holds (HTK as a period).
    auto writer = std::make_unique<PCM_sink_libsndfile>(path.c_str(), block.data(), 32, channels, 8000, false);
    EXPECT_TRUE(writer->IsOpen());
    if (!writer->IsOpen()) return outcome;
    std::vector<double> samples(static_cast<size_t>(kBlockFrames) * channels, 0.0);
    for (int64_t i = 0; i < int64_t{kMarkerFrames} * channels; ++i) samples[i] = Marker(i);
    double* buffers[1] = {samples.data()};
    while (outcome.framesAccepted < frames) {
      int count = frames - outcome.framesAccepted < kBlockFrames
                      ? static_cast<int>(frames - outcome.framesAccepted) : kBlockFrames;
      int64_t written = writer->WriteBlock(buffers, count, channels, 0, 0);
      if (outcome.framesAccepted == 0) std::fill(samples.begin(), samples.end(), 0.0);
      outcome.framesAccepted += written / channels;
      if (written != int64_t{count} * channels) {
        outcome.stoppedShort = true;
        outcome.laterWriteRefused = writer->WriteBlock(buffers, count, channels, 0, 0) == 0;
        break;
      }
    }
    EXPECT_DOUBLE_EQ(writer->GetLengthSeconds(), static_cast<double>(outcome.framesAccepted) / 8000.0);
    if (removeBeforeClose) std::remove(path.c_str());
    writer.reset();
    return outcome;
  }

  // Opens the render with libsndfile itself and checks its length, the
  // marker, and that its last frame can be read.
  void ExpectReadsBackWhole(int64_t frames, int channels, int expectedFormat) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(info.format & ~SF_FORMAT_ENDMASK, expectedFormat & ~SF_FORMAT_ENDMASK) << std::hex << info.format;
    EXPECT_EQ(info.channels, channels);
    ASSERT_EQ(info.frames, frames);
    std::vector<double> start(static_cast<size_t>(kMarkerFrames) * channels);
    ASSERT_EQ(sf_readf_double(file, start.data(), kMarkerFrames), kMarkerFrames);
    for (size_t i = 0; i < start.size(); ++i) ASSERT_EQ(start[i], Marker(static_cast<int64_t>(i))) << i;
    // The rest up to the end: read through when short (libsndfile's SDS
    // reader reads nothing after a seek), else the last block after a seek.
    int64_t from = kMarkerFrames;
    if (frames - from > 64 * int64_t{kBlockFrames}) {
      from = frames - kBlockFrames;
      ASSERT_EQ(sf_seek(file, from, SEEK_SET), from);
    }
    std::vector<double> rest(static_cast<size_t>(kBlockFrames) * channels, 1.0);
    int64_t got = 0;
    for (sf_count_t n; (n = sf_readf_double(file, rest.data(), kBlockFrames)) > 0;) {
      got += n;
      for (sf_count_t i = 0; i < n * channels; ++i) ASSERT_EQ(rest[i], 0.0) << from + got;
    }
    EXPECT_EQ(got, frames - from);
    sf_close(file);
  }

  // After SinkTest::SetUp has bound libsndfile, so that the binding does
  // not replace the sparse slots.
  void SetUp() override {
    SinkTest::SetUp();
    sparse = std::make_unique<SparseOutput>();
  }
  void TearDown() override {
    sparse.reset();
    SinkTest::TearDown();
  }

  std::unique_ptr<SparseOutput> sparse;
  std::string path;
};

// Containers whose header wraps: render a little past the wrap and expect
// the writer to stop before it.
struct LimitedCase {
  const char* name;
  int formatWord;
  int channels;
  int64_t wrapsAtFrame;  // from here on the file would not read back whole
};

void PrintTo(const LimitedCase& c, std::ostream* out) { *out << c.name; }

class LimitedContainer : public LongRender, public ::testing::WithParamInterface<LimitedCase> {};

TEST_P(LimitedContainer, StopsShortAndReadsBackWhole) {
  const LimitedCase& c = GetParam();
  Outcome outcome = Render(c.formatWord, c.channels, c.wrapsAtFrame + kBlockFrames, c.name);
  EXPECT_TRUE(outcome.stoppedShort);
  EXPECT_TRUE(outcome.laterWriteRefused);
  EXPECT_LT(outcome.framesAccepted, c.wrapsAtFrame);
  // Not far below it either: the limit is the container's, not a guess.
  EXPECT_GT(outcome.framesAccepted, c.wrapsAtFrame - c.wrapsAtFrame / 64);
  ExpectReadsBackWhole(outcome.framesAccepted, c.channels, c.formatWord);
}

INSTANTIATE_TEST_SUITE_P(
    Containers, LimitedContainer,
    ::testing::Values(
        LimitedCase{"aiff_double", SF_FORMAT_AIFF | SF_FORMAT_DOUBLE, 2, k4GiB / 16},
        LimitedCase{"rifx_double", SF_FORMAT_WAV | SF_FORMAT_DOUBLE | SF_ENDIAN_BIG, 2, k4GiB / 16},
        LimitedCase{"htk_16", SF_FORMAT_HTK | SF_FORMAT_PCM_16, 1, k4GiB / 4},
        LimitedCase{"voc_u8", SF_FORMAT_VOC | SF_FORMAT_PCM_U8, 2, (int64_t{1} << 24) / 2},
        LimitedCase{"sds_24", SF_FORMAT_SDS | SF_FORMAT_PCM_24, 1, int64_t{1} << 21}),
    [](const ::testing::TestParamInfo<LimitedCase>& info) { return std::string(info.param.name); });

// WAV and WAVEX past 4 GiB: every frame goes in and the file reads back
// whole as RF64.
struct GrowingCase {
  const char* name;
  int formatWord;
  int channels;
};

// Growing into RF64 moves the whole file up once, which a sparse file does
// not make cheap: these renders go to memory where there is a file system
// in it (about 4 GiB each, one at a time: see CMakeLists.txt).
void PrintTo(const GrowingCase& c, std::ostream* out) { *out << c.name; }

class GrowingWav : public LongRender, public ::testing::WithParamInterface<GrowingCase> {
 protected:
  void SetUp() override {
    LongRender::SetUp();
    char pattern[] = "/dev/shm/pexo-long-XXXXXX";
    if (mkdtemp(pattern) != nullptr) {
      std::system(("rm -rf '" + folder + "'").c_str());
      folder = pattern;
    }
  }
};

TEST_P(GrowingWav, BecomesRf64AndReadsBackWhole) {
  const GrowingCase& c = GetParam();
  const int64_t frames = (k4GiB + kMiB) / (BytesPerSample(c.formatWord) * c.channels);
  Outcome outcome = Render(c.formatWord, c.channels, frames, c.name);
  EXPECT_FALSE(outcome.stoppedShort);
  ASSERT_EQ(outcome.framesAccepted, frames);
  ExpectReadsBackWhole(frames, c.channels, SF_FORMAT_RF64 | (c.formatWord & SF_FORMAT_SUBMASK));
}

// When the file cannot be rewritten (here it is gone before the writer
// closes it), the writer says so: the WAV left would read back short.
TEST_F(LongRender, WavThatCannotGrowIsReported) {
  const int formatWord = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
  const int64_t frames = (k4GiB + kMiB) / (8 * 2);
  std::string printed = Printed([&] { Render(formatWord, 2, frames, "gone.wav", true); });
  EXPECT_EQ(printed, "can't rewrite " + path + " as RF64: its WAV header cannot describe its length\n");
}

INSTANTIATE_TEST_SUITE_P(
    Formats, GrowingWav,
    ::testing::Values(GrowingCase{"wav_16_stereo", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2},
                      GrowingCase{"wavex_double_stereo", SF_FORMAT_WAVEX | SF_FORMAT_DOUBLE, 2}),
    [](const ::testing::TestParamInfo<GrowingCase>& info) { return std::string(info.param.name); });

// Below 4 GiB nothing changes: every WAV and WAVEX combination the writer
// opens gives the bytes libsndfile writes for plain WAV itself.
class SmallWav : public SinkTest {};

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(SmallWav, IsByteForByteWhatLibsndfileWrites) {
  const int channels = 2;
  const int frames = 4410;
  std::vector<double> samples(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = Marker(static_cast<int64_t>(i * 7));
  int subtypeCount = 0;
  sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE_COUNT, &subtypeCount, sizeof subtypeCount);
  int compared = 0;
  for (int major : {int{SF_FORMAT_WAV}, int{SF_FORMAT_WAVEX}, SF_FORMAT_WAV | SF_ENDIAN_BIG}) {
    for (int s = 0; s < subtypeCount; ++s) {
      SF_FORMAT_INFO subtype{};
      subtype.format = s;
      sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE, &subtype, sizeof subtype);
      const int formatWord = major | subtype.format;
      SF_INFO info{};
      info.channels = channels;
      info.samplerate = 48000;
      info.format = formatWord;
      if (sf_format_check(&info) == 0) continue;
      const std::string direct = Path("direct.wav");
      SNDFILE* file = sf_open(direct.c_str(), SFM_WRITE, &info);
      if (file == nullptr) continue;  // libsndfile lists it but cannot write it
      sf_write_double(file, samples.data(), static_cast<sf_count_t>(samples.size()));
      sf_close(file);

      const std::string through = Path("writer.wav");
      std::vector<unsigned char> block = Block(formatWord, 0.0f);
      {
        PCM_sink_libsndfile writer(through.c_str(), block.data(), 32, channels, 48000, false);
        ASSERT_TRUE(writer.IsOpen()) << std::hex << formatWord;
        double* buffers[1] = {samples.data()};
        ASSERT_EQ(writer.WriteBlock(buffers, frames, channels, 0, 0), frames * channels);
      }
      EXPECT_EQ(Contents(through), Contents(direct)) << subtype.name << " 0x" << std::hex << formatWord;
      ++compared;
    }
  }
  EXPECT_GT(compared, 0);
}

}  // namespace
