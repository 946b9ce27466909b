// Combinations libsndfile writes into files that read back otherwise: 24-bit
// PAF at channel counts that are not powers of two (samples wrong, file
// short), XI at any rate but 44100 Hz, WVE at any but 8000 Hz, HTK and 8-bit mono VOC at rates their
// periods cannot hold. makeSink refuses exactly these with a reason; their
// neighbours are written and read back at their rate. A second table shows
// the faults in libsndfile itself, so that a refusal can go once they do.
// Samples are compared within A-law's largest step, 1/32.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

#include "sink/sink.h"
#include "tests/sink/sink_fixture.h"

namespace {

struct Case {
  int format;
  int channels;
  int rate;
  const char* refusal;  // the start of the reason, or null: written
};

const Case kCases[] = {
    {SF_FORMAT_PAF | SF_FORMAT_PCM_24, 3, 48000, "libsndfile cannot write 24 bit PAF with a channel count"},
    {SF_FORMAT_PAF | SF_FORMAT_PCM_24, 6, 48000, "libsndfile cannot write 24 bit PAF with a channel count"},
    {SF_FORMAT_PAF | SF_FORMAT_PCM_24, 4, 48000, nullptr},
    {SF_FORMAT_PAF | SF_FORMAT_PCM_24, 8, 48000, nullptr},
    {SF_FORMAT_PAF | SF_FORMAT_PCM_16, 6, 48000, nullptr},
    {SF_FORMAT_XI | SF_FORMAT_DPCM_16, 1, 48000, "libsndfile writes XI at 44100 Hz only"},
    {SF_FORMAT_XI | SF_FORMAT_DPCM_8, 1, 22050, "libsndfile writes XI at 44100 Hz only"},
    {SF_FORMAT_XI | SF_FORMAT_DPCM_16, 1, 44100, nullptr},
    {SF_FORMAT_WVE | SF_FORMAT_ALAW, 1, 48000, "libsndfile writes WVE at 8000 Hz only"},
    {SF_FORMAT_WVE | SF_FORMAT_ALAW, 1, 8000, nullptr},
    {SF_FORMAT_HTK | SF_FORMAT_PCM_16, 1, 44100, "libsndfile cannot write HTK at this rate"},
    {SF_FORMAT_HTK | SF_FORMAT_PCM_16, 1, 48000, "libsndfile cannot write HTK at this rate"},
    {SF_FORMAT_HTK | SF_FORMAT_PCM_16, 1, 16000, nullptr},
    {SF_FORMAT_HTK | SF_FORMAT_PCM_16, 1, 8000, nullptr},
    // A period shorter than 100 ns is none at all.
    {SF_FORMAT_HTK | SF_FORMAT_PCM_16, 1, 20000000, "libsndfile cannot write HTK at this rate"},
    {SF_FORMAT_VOC | SF_FORMAT_PCM_U8, 1, 48000, "libsndfile cannot write 8 bit mono VOC at this rate"},
    {SF_FORMAT_VOC | SF_FORMAT_PCM_U8, 1, 44100, "libsndfile cannot write 8 bit mono VOC at this rate"},
    {SF_FORMAT_VOC | SF_FORMAT_PCM_U8, 1, 8000, nullptr},
    {SF_FORMAT_VOC | SF_FORMAT_PCM_16, 1, 44100, nullptr},
};

class HeaderFaults : public SinkTest {};

TEST_F(HeaderFaults, MakeSinkRefusesWhatWouldReadBackAtAnotherRateOrShort) {
  for (const Case& item : kCases) {
    const std::string label = "format 0x" + std::to_string(item.format) + ", " + std::to_string(item.channels) +
                              " ch, " + std::to_string(item.rate) + " Hz";
    const std::string path = Path("out");
    std::vector<unsigned char> block = Block(item.format, 0.5f);
    PCM_sink* sink = nullptr;
    const std::string printed =
        Printed([&] { sink = makeSink(path.c_str(), block.data(), 32, item.channels, item.rate, false); });
    if (item.refusal != nullptr) {
      EXPECT_EQ(sink, nullptr) << label;
      EXPECT_EQ(printed.rfind(item.refusal, 0), 0u) << label << ": " << printed;
      EXPECT_EQ(printed.find('\n'), printed.size() - 1) << label << ": one line";
      DestroyThroughTable(sink);
      continue;
    }
    ASSERT_NE(sink, nullptr) << label << ": " << printed;
    std::vector<double> samples(static_cast<size_t>(item.channels) * 1000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = std::ldexp(static_cast<double>(i % 200) - 100.0, -7);
    double* buffers[1] = {samples.data()};
    EXPECT_EQ(sink->WriteBlock(buffers, 1000, item.channels, 0, 0), static_cast<int64_t>(samples.size())) << label;
    DestroyThroughTable(sink);
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << label;
    EXPECT_EQ(info.samplerate, item.rate) << label;
    EXPECT_EQ(info.channels, item.channels) << label;
    std::vector<double> read(samples.size() + 64 * static_cast<size_t>(item.channels));
    const sf_count_t frames = sf_readf_double(file, read.data(), 1000 + 64);
    sf_close(file);
    EXPECT_GE(frames, 1000) << label;
    read.resize(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) ASSERT_NEAR(read[i], samples[i], 1.0 / 32) << label << ", value " << i;
  }
}

// What libsndfile itself does with the refused combinations.
TEST_F(HeaderFaults, LibsndfileReadsThemBackOtherwise) {
  struct Direct {
    int format;
    int channels;
    int rate;
    int rateReadBack;  // the rate the file reads back at
    bool whole;        // every frame back, and right
  };
  const Direct cases[] = {
      {SF_FORMAT_PAF | SF_FORMAT_PCM_24, 3, 48000, 48000, false},
      {SF_FORMAT_PAF | SF_FORMAT_PCM_24, 2, 48000, 48000, true},
      {SF_FORMAT_XI | SF_FORMAT_DPCM_16, 1, 48000, 44100, true},
      {SF_FORMAT_WVE | SF_FORMAT_ALAW, 1, 48000, 8000, true},
      {SF_FORMAT_HTK | SF_FORMAT_PCM_16, 1, 44100, 44247, true},
      {SF_FORMAT_VOC | SF_FORMAT_PCM_U8, 1, 48000, 50000, true},
  };
  for (const Direct& item : cases) {
    const std::string label = "format 0x" + std::to_string(item.format) + ", " + std::to_string(item.channels) + " ch";
    SF_INFO info{};
    info.format = item.format;
    info.channels = item.channels;
    info.samplerate = item.rate;
    SNDFILE* file = sf_open(Path("direct").c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << label;
    const sf_count_t frames = 9600;
    std::vector<double> samples(static_cast<size_t>(frames * item.channels));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = std::ldexp(static_cast<double>(i * 37 % 200) - 100.0, -7);
    sf_writef_double(file, samples.data(), frames);
    sf_close(file);
    SF_INFO back{};
    file = sf_open(Path("direct").c_str(), SFM_READ, &back);
    ASSERT_NE(file, nullptr) << label;
    std::vector<double> read(samples.size() + 64 * static_cast<size_t>(item.channels));
    const sf_count_t got = sf_readf_double(file, read.data(), frames + 64);
    sf_close(file);
    bool whole = got >= frames;
    for (size_t i = 0; whole && i < samples.size(); ++i) whole = std::fabs(read[i] - samples[i]) <= 1.0 / 32;
    EXPECT_EQ(back.samplerate, item.rateReadBack) << label << ": libsndfile changed; the refusal may go";
    EXPECT_EQ(whole, item.whole) << label << ": libsndfile changed; the refusal may go";
  }
}

}  // namespace
