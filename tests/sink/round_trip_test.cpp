// Every major format x subtype x byte order that libsndfile accepts for two
// channels at 44100 Hz, written through makeSink as a host does and read
// back with libsndfile directly. Each either comes back right or is refused
// by makeSink; a refusal of what libsndfile writes when asked directly is a
// failure.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "sink/sink.h"
#include "tests/sink/sink_fixture.h"

namespace {

constexpr int kChannels = 2;
constexpr int kRate = 44100;
constexpr int kFrames = 8820;  // 0.2 s
constexpr int kBlockPadding = 4096;  // frames an ADPCM block may add at the end
constexpr int kCodecPadding = 2048;  // frames a lossy codec may add
constexpr int kCodecDelay = 1152;    // frames a decoder without gapless playback may lead by

enum class Fidelity {
  kExact,      // float and double: every value back as written
  kStep,       // integer PCM: within one quantisation step
  kCompanded,  // A-law, u-law: within the largest segment's half step
  kAdpcm,      // ADPCM and GSM: SNR > 25 dB, length up to a block of padding more
  kLossy,      // Vorbis, Opus, MPEG: SNR > 20 dB, length up to the codec's padding more
};

struct Expectation {
  Fidelity fidelity;
  double bound;  // kStep: the step; kCompanded: the largest error; kAdpcm, kLossy: least SNR in dB
};

// What each encoding must bring back. An encoding not listed fails the test,
// so that a new one in libsndfile is looked at.
bool ExpectationFor(int subtype, Expectation* expectation) {
  switch (subtype) {
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
      *expectation = {Fidelity::kExact, 0.0};
      return true;
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_DPCM_8:
      *expectation = {Fidelity::kStep, std::ldexp(1.0, -7)};
      return true;
    case SF_FORMAT_DWVW_12:
      *expectation = {Fidelity::kStep, std::ldexp(1.0, -11)};
      return true;
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_DWVW_16:
    case SF_FORMAT_DPCM_16:
    case SF_FORMAT_ALAC_16:
      *expectation = {Fidelity::kStep, std::ldexp(1.0, -15)};
      return true;
    case SF_FORMAT_ALAC_20:
      *expectation = {Fidelity::kStep, std::ldexp(1.0, -19)};
      return true;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_DWVW_24:
    case SF_FORMAT_ALAC_24:
      *expectation = {Fidelity::kStep, std::ldexp(1.0, -23)};
      return true;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
      *expectation = {Fidelity::kStep, std::ldexp(1.0, -31)};
      return true;
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
      *expectation = {Fidelity::kCompanded, 1.0 / 64};
      return true;
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_VOX_ADPCM:
    case SF_FORMAT_G721_32:
    case SF_FORMAT_G723_24:
    case SF_FORMAT_G723_40:
    case SF_FORMAT_NMS_ADPCM_16:
    case SF_FORMAT_NMS_ADPCM_24:
    case SF_FORMAT_NMS_ADPCM_32:
    case SF_FORMAT_GSM610:
      *expectation = {Fidelity::kAdpcm, 25.0};
      return true;
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_I:
    case SF_FORMAT_MPEG_LAYER_II:
    case SF_FORMAT_MPEG_LAYER_III:
      *expectation = {Fidelity::kLossy, 20.0};
      return true;
    default:
      return false;
  }
}

// Two sines, one per channel, on a grid of 2^-20, which single precision
// holds exactly. (Rounding through a float cast is not used: GCC 12's SLP
// vectorizer drops such a cast at -O2.)
std::vector<double> Signal() {
  std::vector<double> samples(kFrames * kChannels);
  const double grid = std::ldexp(1.0, 20);
  for (int i = 0; i < kFrames; ++i) {
    samples[2 * i] = std::round(grid * 0.45 * std::sin(2 * M_PI * 441.0 * i / kRate)) / grid;
    samples[2 * i + 1] = std::round(grid * 0.3 * std::sin(2 * M_PI * 1000.0 * i / kRate + 1.0)) / grid;
  }
  return samples;
}

// Signal-to-noise ratio in dB of read against written, read shifted by lag
// frames, over the frames from skip to the end less skip.
double Snr(const std::vector<double>& written, const std::vector<double>& read, int lag, int skip) {
  double signal = 0.0, noise = 0.0;
  for (int i = skip; i < kFrames - skip; ++i) {
    int j = i + lag;
    for (int c = 0; c < kChannels; ++c) {
      double w = written[kChannels * i + c];
      double r = j >= 0 && static_cast<size_t>(kChannels * j + c) < read.size() ? read[kChannels * j + c] : 0.0;
      signal += w * w;
      noise += (w - r) * (w - r);
    }
  }
  return noise == 0.0 ? 400.0 : 10.0 * std::log10(signal / noise);
}

struct Combination {
  int format;
  std::string name;
  std::string extension;
};

std::vector<Combination> Writable() {
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
  for (int m = 0; m < majors; ++m) {
    SF_FORMAT_INFO major{};
    major.format = m;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &major, sizeof major);
    for (int s = 0; s < subtypes; ++s) {
      SF_FORMAT_INFO subtype{};
      subtype.format = s;
      sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE, &subtype, sizeof subtype);
      for (const auto& order : orders) {
        SF_INFO info{};
        info.channels = kChannels;
        info.samplerate = kRate;
        info.format = major.format | subtype.format | order.value;
        if (sf_format_check(&info) == 0) continue;
        combinations.push_back({info.format, std::string(major.name) + " / " + subtype.name + " / " + order.name,
                                major.extension});
      }
    }
  }
  return combinations;
}

class RoundTrip : public SinkTest {
 protected:
  // Writes through makeSink; false when makeSink refused, with what it
  // printed in reason (a refusal for a fault of libsndfile's names it).
  bool WriteThroughSink(const Combination& combination, const std::string& path,
                        const std::vector<double>& samples, std::string* reason) {
    std::vector<unsigned char> block = Block(combination.format, 0.5f);
    PCM_sink* sink = nullptr;
    *reason = Printed([&] { sink = makeSink(path.c_str(), block.data(), 32, kChannels, kRate, false); });
    if (sink == nullptr) return false;
    EXPECT_EQ(*reason, "") << combination.name;
    // Blocks of uneven sizes, as a host's are.
    const int blocks[] = {1000, 4410, kFrames - 5410};
    int done = 0;
    for (int frames : blocks) {
      double* buffers[1] = {const_cast<double*>(samples.data()) + kChannels * done};
      EXPECT_EQ(sink->WriteBlock(buffers, frames, kChannels, 0, 0), frames * kChannels) << combination.name;
      done += frames;
    }
    EXPECT_DOUBLE_EQ(sink->GetLengthSeconds(), static_cast<double>(kFrames) / kRate) << combination.name;
    DestroyThroughTable(sink);
    return true;
  }

  // True when libsndfile, asked directly, opens the combination for writing.
  bool LibsndfileWrites(const Combination& combination, const std::string& path) {
    SF_INFO info{};
    info.channels = kChannels;
    info.samplerate = kRate;
    info.format = combination.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    sf_close(file);
    return true;
  }

  // Reads back and checks; returns an empty text when the file came back right.
  std::string Check(const Combination& combination, const std::string& path, const std::vector<double>& written) {
    SF_INFO info{};
    if ((combination.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW) {  // a headerless file says nothing
      info.format = combination.format;
      info.channels = kChannels;
      info.samplerate = kRate;
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return std::string("does not open: ") + sf_strerror(nullptr);
    char text0[64];
    std::vector<double> read;
    std::vector<double> chunk(1024 * kChannels);
    for (;;) {  // count what the reads return, not what the header says
      sf_count_t got = info.channels == kChannels ? sf_readf_double(file, chunk.data(), 1024) : 0;
      if (got <= 0 || read.size() > static_cast<size_t>(4 * kFrames * kChannels)) break;
      read.insert(read.end(), chunk.begin(), chunk.begin() + got * kChannels);
    }
    sf_close(file);
    if (info.channels != kChannels) return "channels " + std::to_string(info.channels);
    // VOC keeps the rate as a time constant: the nearest rate it can hold.
    bool voc = (combination.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_VOC;
    if (info.samplerate != kRate && !(voc && std::abs(info.samplerate - kRate) <= kRate / 1000)) {
      return "rate " + std::to_string(info.samplerate);
    }
    const int64_t frames = static_cast<int64_t>(read.size()) / kChannels;
    // The container and encoding asked for (a headerless file only echoes them).
    if ((info.format & ~SF_FORMAT_ENDMASK) != (combination.format & ~SF_FORMAT_ENDMASK)) {
      std::snprintf(text0, sizeof text0, "format word 0x%08x read back", static_cast<unsigned>(info.format));
      return text0;
    }

    Expectation expectation{};
    if (!ExpectationFor(combination.format & SF_FORMAT_SUBMASK, &expectation)) return "unclassified encoding";
    char text[200];
    switch (expectation.fidelity) {
      case Fidelity::kExact:
      case Fidelity::kStep:
      case Fidelity::kCompanded: {
        if (frames != kFrames) return "length " + std::to_string(frames);
        double worst = 0.0;
        for (size_t i = 0; i < written.size(); ++i) worst = std::max(worst, std::fabs(read[i] - written[i]));
        if (worst > expectation.bound) {
          std::snprintf(text, sizeof text, "error %.3g above %.3g", worst, expectation.bound);
          return text;
        }
        return "";
      }
      case Fidelity::kAdpcm: {
        if (frames < kFrames || frames > kFrames + kBlockPadding) return "length " + std::to_string(frames);
        double snr = Snr(written, read, 0, 0);
        if (snr < expectation.bound) {
          std::snprintf(text, sizeof text, "SNR %.1f dB below %.1f", snr, expectation.bound);
          return text;
        }
        return "";
      }
      case Fidelity::kLossy: {
        if (frames < kFrames || frames > kFrames + kCodecPadding) return "length " + std::to_string(frames);
        double best = -400.0;
        int bestLag = 0;
        for (int lag = 0; lag <= kCodecDelay; ++lag) {
          double snr = Snr(written, read, lag, kCodecPadding);
          if (snr > best) {
            best = snr;
            bestLag = lag;
          }
        }
        if (best < expectation.bound) {
          std::snprintf(text, sizeof text, "SNR %.1f dB below %.1f (lag %d)", best, expectation.bound, bestLag);
          return text;
        }
        return "";
      }
    }
    return "";
  }
};

TEST_F(RoundTrip, EveryWritableFormatComesBackRightOrIsRefused) {
  const std::vector<Combination> combinations = Writable();
  ASSERT_FALSE(combinations.empty());
  const std::vector<double> samples = Signal();
  int right = 0;
  std::vector<std::string> refused;
  for (size_t i = 0; i < combinations.size(); ++i) {
    const Combination& combination = combinations[i];
    std::string path = Path("rt" + std::to_string(i) + "." + combination.extension);
    std::string reason;
    if (!WriteThroughSink(combination, path, samples, &reason)) {
      // A silent refusal is for what libsndfile cannot open; one with a
      // reason (checked in integer_round_trip_test.cpp) for a fault of its own.
      if (reason.empty()) {
        EXPECT_FALSE(LibsndfileWrites(combination, Path("direct" + std::to_string(i) + "." + combination.extension)))
            << "makeSink refused what libsndfile writes: " << combination.name;
      }
      refused.push_back(combination.name + (reason.empty() ? "" : ": " + reason.substr(0, reason.size() - 1)));
      continue;
    }
    std::string fault = Check(combination, path, samples);
    EXPECT_EQ(fault, "") << combination.name;
    if (fault.empty()) ++right;
    std::remove(path.c_str());
  }
  std::printf("%zu combinations: %d came back right, %zu refused by makeSink\n", combinations.size(), right,
              refused.size());
  for (const std::string& name : refused) std::printf("  refused: %s\n", name.c_str());
  EXPECT_EQ(right + refused.size(), combinations.size());
}

}  // namespace
