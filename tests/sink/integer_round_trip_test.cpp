// Integer encodings bit for bit. For every major format x integer subtype x
// byte order that libsndfile accepts at one and at two channels, integer
// samples over the whole range (both extremes, white noise at full scale,
// silence, a quiet sine) go from a file through the plug-in's decoder into
// the writer, and libsndfile, reading the result directly, must give back
// exactly those integers and the format word asked for. Host values at and
// past full scale and NaN must store the extremes and 0, and the host's
// block must stay as it was. Float and double go the same way and must come
// back as written. A combination makeSink refuses must say why, and only
// libsndfile's known faults are refused (shown below the table).
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "decoder/decoder.h"
#include "sink/sink.h"
#include "tests/sink/sink_fixture.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSegmentFrames = 4096;  // one ALAC packet, a few FLAC blocks
const char* const kSegments[] = {"extremes", "white noise", "silence", "quiet sine"};
constexpr int kSegmentCount = 4;
constexpr int kSourceFrames = kSegmentFrames * kSegmentCount;

// Bits of the integers an encoding stores; 24 for float (the integers it
// holds exactly), 32 for double; 0 for the lossy ones, which are not here.
int StoredBits(int subtype, bool* isFloat) {
  *isFloat = false;
  switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_DPCM_8:
      return 8;
    case SF_FORMAT_DWVW_12:
      return 12;
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_DPCM_16:
    case SF_FORMAT_DWVW_16:
    case SF_FORMAT_ALAC_16:
      return 16;
    case SF_FORMAT_ALAC_20:
      return 20;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_DWVW_24:
    case SF_FORMAT_ALAC_24:
      return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
      return 32;
    case SF_FORMAT_FLOAT:
      *isFloat = true;
      return 24;
    case SF_FORMAT_DOUBLE:
      *isFloat = true;
      return 32;
    default:
      return 0;
  }
}

// Combinations with a fault of libsndfile's own, shown below the table.
bool KnownLibsndfileFault(int format) {
  const int subtype = format & SF_FORMAT_SUBMASK;
  return subtype == SF_FORMAT_ALAC_16 || subtype == SF_FORMAT_ALAC_20 || subtype == SF_FORMAT_ALAC_24 ||
         subtype == SF_FORMAT_ALAC_32 ||
         (subtype == SF_FORMAT_DWVW_12 && (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_AIFF) ||
         // At this test's rate: periods HTK and 8-bit mono VOC cannot hold.
         (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_HTK ||
         (subtype == SF_FORMAT_PCM_U8 && (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_VOC);
}

// The integers of the four segments, interleaved, for n bits and c channels.
std::vector<int64_t> SourceIntegers(int bits, int channels) {
  const int64_t lowest = -(int64_t{1} << (bits - 1)), highest = (int64_t{1} << (bits - 1)) - 1;
  std::vector<int64_t> values;
  values.reserve(static_cast<size_t>(kSourceFrames) * channels);
  uint64_t state = 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(bits * 8 + channels);
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    for (int frame = 0; frame < kSegmentFrames; ++frame) {
      for (int channel = 0; channel < channels; ++channel) {
        int64_t value = 0;
        const int k = frame * channels + channel;
        switch (segment) {
          case 0: {  // both extremes, their neighbours, runs of each
            const int64_t pattern[] = {lowest, highest, lowest, lowest, highest, highest, lowest + 1, highest - 1};
            value = pattern[(k + frame / 64) % 8];
            break;
          }
          case 1:  // uniform over all 2^n values
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            value = lowest + static_cast<int64_t>(state >> (64 - bits));
            break;
          case 2:
            value = 0;
            break;
          default:  // about -60 dB
            value = std::llround(std::ldexp(1.0, bits - 11) * std::sin(2 * M_PI * 441.0 * frame / kRate + channel));
            break;
        }
        values.push_back(value);
      }
    }
  }
  return values;
}

double AsSample(int64_t value, int bits) { return std::ldexp(static_cast<double>(value), 1 - bits); }

struct Combination {
  int format;
  int channels;
  std::string name;
  std::string extension;
};

std::vector<Combination> IntegerAndFloatCombinations() {
  std::vector<Combination> combinations;
  int majors = 0, subtypes = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &majors, sizeof majors);
  sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE_COUNT, &subtypes, sizeof subtypes);
  const struct {
    int value;
    const char* name;
  } orders[] = {{SF_ENDIAN_FILE, "file order"},
                {SF_ENDIAN_LITTLE, "little-endian"},
                {SF_ENDIAN_BIG, "big-endian"},
                {SF_ENDIAN_CPU, "processor order"}};
  for (int channels : {1, 2}) {
    for (int m = 0; m < majors; ++m) {
      SF_FORMAT_INFO major{};
      major.format = m;
      sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &major, sizeof major);
      for (int s = 0; s < subtypes; ++s) {
        SF_FORMAT_INFO subtype{};
        subtype.format = s;
        sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE, &subtype, sizeof subtype);
        bool isFloat = false;
        if (StoredBits(subtype.format, &isFloat) == 0) continue;
        for (const auto& order : orders) {
          SF_INFO info{};
          info.channels = channels;
          info.samplerate = kRate;
          info.format = major.format | subtype.format | order.value;
          if (sf_format_check(&info) == 0) continue;
          combinations.push_back({info.format, channels,
                                  std::string(major.name) + " / " + subtype.name + " / " + order.name + " / " +
                                      std::to_string(channels) + " ch",
                                  major.extension});
        }
      }
    }
  }
  return combinations;
}

class IntegerRoundTrip : public SinkTest {
 protected:
  // A 32-bit WAV holding the integers shifted to the top: the decoder reads
  // it as exactly the values an n-bit file gives, s / 2^(n-1).
  const std::string& SourceFile(int bits, int channels) {
    std::string& path = sources[bits * 10 + channels];
    if (!path.empty()) return path;
    path = Path("source" + std::to_string(bits) + "-" + std::to_string(channels) + ".wav");
    std::vector<int64_t> values = SourceIntegers(bits, channels);
    std::vector<int> shifted(values.size());
    for (size_t i = 0; i < values.size(); ++i) shifted[i] = static_cast<int>(values[i] * (int64_t{1} << (32 - bits)));
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = kRate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_32;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr);
    if (file != nullptr) {
      EXPECT_EQ(sf_write_int(file, shifted.data(), static_cast<sf_count_t>(shifted.size())),
                static_cast<sf_count_t>(shifted.size()));
      sf_close(file);
    }
    return path;
  }

  void CheckCombination(const Combination& combination, size_t index, bool* exact,
                        std::vector<std::string>* refused);

  std::map<int, std::string> sources;
};

// Host values beyond the integers, and what each must store (in units of the
// smallest step; the extremes stand for themselves).
struct Special {
  double value;
  int64_t stepsOrExtreme;  // INT64_MIN: lowest; INT64_MAX: highest
};
const Special kSpecials[] = {
    {1.0, INT64_MAX},       {1.5, INT64_MAX},      {HUGE_VAL, INT64_MAX}, {-1.0, INT64_MIN},
    {-1.5, INT64_MIN},      {-HUGE_VAL, INT64_MIN}, {std::nan(""), 0},     {-std::nan(""), 0},
    {0.0, 0},               {-0.0, 0},             {1e-300, 0},           {-1e-300, 0},
};
// Values between two integers, as steps: each must store the nearer one.
const double kBetween[][2] = {{2.25, 2}, {2.75, 3}, {-2.25, -2}, {-2.75, -3}};
// The block of both is written 11 times, so that the whole file is a
// multiple of 120 frames, clear of libsndfile's own length quirks: PAF's
// 24-bit blocks of 10 frames, and SDS, whose last partial packet (60, 40 or
// 30 frames) can come back short or as zeros.
constexpr int kSpecialRepeats = 11;

// One combination of the table: sets *exact when every sample came back;
// adds a refusal with its reason to refused.
void IntegerRoundTrip::CheckCombination(const Combination& combination, size_t index, bool* exact,
                                        std::vector<std::string>* refused) {
  const int subtype = combination.format & SF_FORMAT_SUBMASK;
  bool isFloat = false;
  const int bits = StoredBits(subtype, &isFloat);
  const int channels = combination.channels;
  SCOPED_TRACE(combination.name);

  // Decoder, as a host reads a file.
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(SourceFile(bits, channels).c_str());
  ASSERT_TRUE(decoder.IsReady());
  ASSERT_EQ(decoder.LengthFrames(), kSourceFrames);

  const std::string path = Path("out" + std::to_string(index) + "." + combination.extension);
  std::vector<unsigned char> block = Block(combination.format, 1.0f);
  PCM_sink* sink = nullptr;
  const std::string printed =
      Printed([&] { sink = makeSink(path.c_str(), block.data(), 32, channels, kRate, false); });
  if (sink == nullptr) {
    // Refused: with one line naming the reason, and only for a fault of
    // libsndfile's own.
    EXPECT_EQ(printed.rfind("libsndfile", 0), 0u) << printed;
    EXPECT_EQ(printed.find('\n'), printed.size() - 1) << printed;
    EXPECT_TRUE(KnownLibsndfileFault(combination.format)) << "refused: " << printed;
    refused->push_back(combination.name + ": " + printed.substr(0, printed.size() - 1));
    return;
  }
  EXPECT_EQ(printed, "");

  // Blocks of uneven sizes, as the decoder gives them.
  std::vector<double> buffer(static_cast<size_t>(3000) * channels);
  const int sizes[] = {1000, 3000, 77};
  int64_t fed = 0;
  for (int call = 0;; ++call) {
    const int got = decoder.ReadFrames(buffer.data(), sizes[call % 3]);
    if (got <= 0) break;
    double* buffers[1] = {buffer.data()};
    ASSERT_EQ(sink->WriteBlock(buffers, got, channels, 0, 0), int64_t{got} * channels);
    fed += got;
  }
  ASSERT_EQ(fed, kSourceFrames);

  // Values no file holds, straight from a host; the block must stay as given.
  std::vector<double> specials;
  const double step = std::ldexp(1.0, 1 - bits);
  if (!isFloat) {
    for (const Special& special : kSpecials) specials.insert(specials.end(), channels, special.value);
    for (const auto& between : kBetween) specials.insert(specials.end(), channels, between[0] * step);
    std::vector<double> copy = specials;
    double* buffers[1] = {specials.data()};
    const int frames = static_cast<int>(specials.size()) / channels;
    for (int repeat = 0; repeat < kSpecialRepeats; ++repeat) {
      ASSERT_EQ(sink->WriteBlock(buffers, frames, channels, 0, 0), static_cast<int64_t>(specials.size()));
    }
    EXPECT_EQ(std::memcmp(copy.data(), specials.data(), specials.size() * sizeof(double)), 0)
        << "the host's block was changed";
  }
  DestroyThroughTable(sink);

  // libsndfile, directly.
  SF_INFO info{};
  if ((combination.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW) {  // a headerless file says nothing
    info.format = combination.format;
    info.channels = channels;
    info.samplerate = kRate;
  }
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  const int64_t expectedFrames = kSourceFrames + kSpecialRepeats * static_cast<int64_t>(specials.size()) / channels;
  std::vector<double> read(static_cast<size_t>(expectedFrames + 16) * channels);
  const sf_count_t frames = sf_readf_double(file, read.data(), expectedFrames + 16);
  sf_close(file);
  // The format word as asked for; a byte order given as the file's or the
  // processor's reads back as the one it stands for.
  EXPECT_EQ(info.format & ~SF_FORMAT_ENDMASK, combination.format & ~SF_FORMAT_ENDMASK);
  const int askedOrder = combination.format & SF_FORMAT_ENDMASK;
  if (askedOrder == SF_ENDIAN_LITTLE || askedOrder == SF_ENDIAN_BIG) {
    const int readOrder = info.format & SF_FORMAT_ENDMASK;
    EXPECT_TRUE(readOrder == askedOrder || readOrder == SF_ENDIAN_FILE)
        << std::hex << "asked 0x" << combination.format << ", read 0x" << info.format;
  }
  EXPECT_EQ(info.channels, channels);
  if ((combination.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW) {
    // A headerless file ends with its last byte: the bits DWVW pads it
    // with may read as a few more frames.
    ASSERT_GE(frames, expectedFrames);
    ASSERT_LE(frames, expectedFrames + 16);
  } else {
    ASSERT_EQ(frames, expectedFrames);
  }

  const std::vector<int64_t> values = SourceIntegers(bits, channels);
  size_t wrong = 0, first = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    if (read[i] != AsSample(values[i], bits) && wrong++ == 0) first = i;
  }
  EXPECT_EQ(wrong, 0u) << "first in the " << kSegments[first / channels / kSegmentFrames] << " at sample " << first
                       << ": wrote " << values[first] << ", read " << std::ldexp(read[first], bits - 1);
  const int64_t lowest = -(int64_t{1} << (bits - 1)), highest = (int64_t{1} << (bits - 1)) - 1;
  size_t at = values.size();
  for (int repeat = 0; repeat < (isFloat ? 0 : kSpecialRepeats); ++repeat) {
    for (const Special& special : kSpecials) {
      const int64_t want = special.stepsOrExtreme == INT64_MAX   ? highest
                           : special.stepsOrExtreme == INT64_MIN ? lowest
                                                                 : special.stepsOrExtreme;
      for (int c = 0; c < channels; ++c, ++at) {
        EXPECT_EQ(read[at], AsSample(want, bits)) << "host value " << special.value;
      }
    }
    for (const auto& between : kBetween) {
      for (int c = 0; c < channels; ++c, ++at) {
        EXPECT_EQ(read[at], AsSample(static_cast<int64_t>(between[1]), bits)) << between[0] << " steps";
      }
    }
  }
  *exact = wrong == 0;
  std::remove(path.c_str());
}

TEST_F(IntegerRoundTrip, WhatTheDecoderReadsIsWrittenBackBitForBit) {
  const std::vector<Combination> combinations = IntegerAndFloatCombinations();
  ASSERT_FALSE(combinations.empty());
  int exact = 0;
  std::vector<std::string> refused;
  for (size_t index = 0; index < combinations.size(); ++index) {
    bool exactHere = false;
    CheckCombination(combinations[index], index, &exactHere, &refused);
    if (exactHere) ++exact;
  }
  std::printf("%zu integer and float combinations: %d bit-exact, %zu refused by makeSink\n", combinations.size(),
              exact, refused.size());
  for (const std::string& name : refused) std::printf("  refused: %s\n", name.c_str());
}

// The faults behind the refusals, on the libsndfile at hand: each written
// with libsndfile directly, in the form that is exact for its other depths
// (normalised, clipping on). When one of these starts to pass, libsndfile
// was mended and the refusal can go.
std::vector<double> DirectAlacRoundTrip(const std::string& path, int subtype, int channels, int frames,
                                        std::vector<double>* written) {
  bool isFloat = false;
  const int bits = StoredBits(subtype, &isFloat);
  std::vector<int64_t> values = SourceIntegers(bits, channels);
  values.resize(static_cast<size_t>(frames) * channels);
  written->clear();
  for (int64_t value : values) written->push_back(AsSample(value, bits));
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = kRate;
  info.format = SF_FORMAT_CAF | subtype;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return {};
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  sf_write_double(file, written->data(), static_cast<sf_count_t>(written->size()));
  sf_close(file);
  SF_INFO readInfo{};
  file = sf_open(path.c_str(), SFM_READ, &readInfo);
  if (file == nullptr) return {};
  std::vector<double> read(written->size());
  read.resize(static_cast<size_t>(sf_read_double(file, read.data(), static_cast<sf_count_t>(read.size()))));
  sf_close(file);
  return read;
}

TEST_F(IntegerRoundTrip, LibsndfileAlacFaultsBehindTheRefusals) {
  struct Case {
    int subtype;
    int channels;
    bool comesBackRight;
  };
  const Case cases[] = {
      {SF_FORMAT_ALAC_16, 1, true},  {SF_FORMAT_ALAC_20, 1, true},  {SF_FORMAT_ALAC_24, 1, true},
      {SF_FORMAT_ALAC_16, 2, true},  // right, but see the packet table below
      {SF_FORMAT_ALAC_20, 2, false}, {SF_FORMAT_ALAC_24, 2, false}, {SF_FORMAT_ALAC_32, 1, false},
  };
  for (const Case& item : cases) {
    std::vector<double> written;
    // Extremes and noise: the first two segments.
    std::vector<double> read =
        DirectAlacRoundTrip(Path("direct.caf"), item.subtype, item.channels, 2 * kSegmentFrames, &written);
    EXPECT_EQ(read == written, item.comesBackRight) << std::hex << "subtype 0x" << item.subtype << std::dec << ", "
                                                    << item.channels << " ch";
  }
}

TEST_F(IntegerRoundTrip, LibsndfileTakesNoSamplesAsTwelveBitDwvwInAiff) {
  SF_INFO info{};
  info.channels = 1;
  info.samplerate = kRate;
  info.format = SF_FORMAT_AIFF | SF_FORMAT_DWVW_12;
  SNDFILE* file = sf_open(Path("dwvw12.aiff").c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr);
  std::vector<double> samples(1000, 0.25);
  EXPECT_EQ(sf_write_double(file, samples.data(), 1000), 0) << "libsndfile now writes it: the refusal may go";
  sf_close(file);
}

}  // namespace
