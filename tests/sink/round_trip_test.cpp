// Every major format x subtype x byte order that libsndfile accepts, written
// through makeSink as a host does and read back with libsndfile directly,
// for a table of renders: two sines, full-scale white noise (incompressible,
// so every codec's escape or verbatim path) at 1, 2, 6 and 8 channels, and
// long noise (a few hundred encoder packets) for the encodings that write
// packets. Each comes back right or is refused by makeSink; a refusal of
// what libsndfile writes when asked directly is a failure.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "sink/sink.h"
#include "tests/sink/sink_fixture.h"

namespace {

constexpr int kBlockPadding = 4096;  // frames an ADPCM block may add at the end
constexpr int kCodecPadding = 2048;  // frames a lossy codec may add
constexpr int kCodecDelay = 1152;    // frames a decoder without gapless playback may lead by
constexpr double kNoiseLevel = 3.0;       // dB a lossy codec may move white noise's level by
constexpr double kAdpcmNoiseLevel = 12.0;  // and an ADPCM one (2-bit NMS ADPCM keeps it 10 dB down)
constexpr int kBitPackedTail = 16;         // frames a headerless DWVW file may read back longer

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
      // The largest segment's half step, 1/64; past the largest code (u-law's
      // lies 0.0196 below full scale) up to twice that.
      *expectation = {Fidelity::kCompanded, 1.0 / 32};
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

enum class Signal {
  kSines,  // a sine per channel, on a grid single precision holds
  kNoise,  // uniform white noise over the full scale
};

struct Render {
  const char* name;
  Signal signal;
  int channels;
  int rate;
  int frames;
  bool packetsOnly;  // only the encodings that write packets (long renders)
};

void PrintTo(const Render& render, std::ostream* out) { *out << render.name; }

// Short renders over every combination; long ones where packets add up.
// The noise is at 48 kHz so that Opus, which refuses 44.1 kHz, is written.
const Render kRenders[] = {
    {"two sines", Signal::kSines, 2, 44100, 8820, false},
    {"white noise, mono", Signal::kNoise, 1, 48000, 9600, false},
    {"white noise, stereo", Signal::kNoise, 2, 48000, 9600, false},
    {"white noise, 6 channels", Signal::kNoise, 6, 48000, 9600, false},
    {"white noise, 8 channels", Signal::kNoise, 8, 48000, 9600, false},
    {"long white noise, mono", Signal::kNoise, 1, 48000, 300 * 4096, true},
    {"long white noise, stereo", Signal::kNoise, 2, 48000, 300 * 4096, true},
};

// Sines on a grid of 2^-20, which single precision holds exactly (rounding
// through a float cast is not used: GCC 12's SLP vectorizer drops such a
// cast at -O2); noise from a fixed generator, on the same grid.
std::vector<double> Samples(const Render& render) {
  const size_t values = static_cast<size_t>(render.frames) * static_cast<size_t>(render.channels);
  std::vector<double> samples(values);
  const double grid = std::ldexp(1.0, 20);
  uint64_t state = 0x2545F4914F6CDD1Dull;
  for (size_t v = 0; v < values; ++v) {
    const int frame = static_cast<int>(v / static_cast<size_t>(render.channels));
    const int channel = static_cast<int>(v % static_cast<size_t>(render.channels));
    double x;
    if (render.signal == Signal::kSines) {
      const double amplitude = channel % 2 == 0 ? 0.45 : 0.3;
      const double frequency = 441.0 + 559.0 * channel;
      x = amplitude * std::sin(2 * M_PI * frequency * frame / render.rate + channel);
    } else {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      x = static_cast<double>(state >> 11) * std::ldexp(1.0, -52) - 1.0;  // [-1, 1)
    }
    samples[v] = std::round(grid * x) / grid;
  }
  return samples;
}

// Signal-to-noise ratio in dB of read against written, read shifted by lag
// frames, over the frames from begin to end.
double Snr(const std::vector<double>& written, const std::vector<double>& read, int channels, int lag, int begin,
           int end) {
  double signal = 0.0, noise = 0.0;
  for (int i = begin; i < end; ++i) {
    int64_t j = i + lag;
    for (int c = 0; c < channels; ++c) {
      double w = written[static_cast<size_t>(channels) * i + c];
      size_t at = static_cast<size_t>(channels * j + c);
      double r = j >= 0 && at < read.size() ? read[at] : 0.0;
      signal += w * w;
      noise += (w - r) * (w - r);
    }
  }
  return noise == 0.0 ? 400.0 : 10.0 * std::log10(signal / noise);
}

// Power in dB of read against written over the frames from begin to end,
// where the codec keeps no waveform of noise worth comparing.
double Level(const std::vector<double>& written, const std::vector<double>& read, int channels, int begin, int end) {
  double w = 0.0, r = 0.0;
  for (size_t v = static_cast<size_t>(begin) * channels; v < static_cast<size_t>(end) * channels; ++v) {
    w += written[v] * written[v];
    r += v < read.size() ? read[v] * read[v] : 0.0;
  }
  return w == 0.0 || r == 0.0 ? -400.0 : 10.0 * std::log10(r / w);
}

// Encodings that write packets or blocks: the long renders' subjects, one
// container each (FLAC's integer widths count as encodings of their own).
bool WritesPackets(int format) {
  const int subtype = format & SF_FORMAT_SUBMASK;
  if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC) return true;
  switch (subtype) {
    case SF_FORMAT_ALAC_16: case SF_FORMAT_ALAC_20: case SF_FORMAT_ALAC_24: case SF_FORMAT_ALAC_32:
    case SF_FORMAT_VORBIS: case SF_FORMAT_OPUS: case SF_FORMAT_MPEG_LAYER_III:
    case SF_FORMAT_IMA_ADPCM: case SF_FORMAT_MS_ADPCM: case SF_FORMAT_GSM610:
      return true;
    default:
      return false;
  }
}

struct Combination {
  int format;
  std::string name;
  std::string extension;
};

std::vector<Combination> Writable(const Render& render) {
  std::vector<Combination> combinations;
  std::vector<int> packetKinds;
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
        info.channels = render.channels;
        info.samplerate = render.rate;
        info.format = major.format | subtype.format | order.value;
        if (sf_format_check(&info) == 0) continue;
        if (render.packetsOnly) {
          if (!WritesPackets(info.format) || order.value != SF_ENDIAN_FILE) continue;
          int kind = (major.format == SF_FORMAT_FLAC ? SF_FORMAT_FLAC : 0) | subtype.format;
          if (std::find(packetKinds.begin(), packetKinds.end(), kind) != packetKinds.end()) continue;
          packetKinds.push_back(kind);
        }
        combinations.push_back({info.format, std::string(major.name) + " / " + subtype.name + " / " + order.name,
                                major.extension});
      }
    }
  }
  return combinations;
}

class RoundTrip : public SinkTest, public ::testing::WithParamInterface<Render> {
 protected:
  // Writes through makeSink; false when makeSink refused, with what it
  // printed in reason (a refusal for a fault of libsndfile's names it).
  bool WriteThroughSink(const Combination& combination, const Render& render, const std::string& path,
                        const std::vector<double>& samples, std::string* reason) {
    std::vector<unsigned char> block = Block(combination.format, 0.5f);
    PCM_sink* sink = nullptr;
    *reason = Printed([&] { sink = makeSink(path.c_str(), block.data(), 32, render.channels, render.rate, false); });
    if (sink == nullptr) return false;
    EXPECT_EQ(*reason, "") << combination.name;
    // Blocks of uneven sizes, as a host's are.
    const int blocks[] = {1000, 4410, 777, 4096};
    int done = 0;
    for (int b = 0; done < render.frames; ++b) {
      const int frames = std::min(blocks[b % 4], render.frames - done);
      double* buffers[1] = {const_cast<double*>(samples.data()) + static_cast<size_t>(render.channels) * done};
      const int64_t written = sink->WriteBlock(buffers, frames, render.channels, 0, 0);
      EXPECT_EQ(written, int64_t{frames} * render.channels) << combination.name;
      if (written != int64_t{frames} * render.channels) break;
      done += frames;
    }
    EXPECT_DOUBLE_EQ(sink->GetLengthSeconds(), static_cast<double>(render.frames) / render.rate) << combination.name;
    DestroyThroughTable(sink);
    return true;
  }

  // True when libsndfile, asked directly, opens the combination for writing.
  bool LibsndfileWrites(const Combination& combination, const Render& render, const std::string& path) {
    SF_INFO info{};
    info.channels = render.channels;
    info.samplerate = render.rate;
    info.format = combination.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    sf_close(file);
    return true;
  }

  // Reads back and checks; returns an empty text when the file came back right.
  std::string Check(const Combination& combination, const Render& render, const std::string& path,
                    const std::vector<double>& written) {
    const int channels = render.channels;
    SF_INFO info{};
    if ((combination.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW) {  // a headerless file says nothing
      info.format = combination.format;
      info.channels = channels;
      info.samplerate = render.rate;
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return std::string("does not open: ") + sf_strerror(nullptr);
    char text0[64];
    std::vector<double> read;
    read.reserve(written.size() + static_cast<size_t>(kCodecPadding) * channels);
    std::vector<double> chunk(static_cast<size_t>(4096) * channels);
    for (;;) {  // count what the reads return, not what the header says
      sf_count_t got = info.channels == channels ? sf_readf_double(file, chunk.data(), 4096) : 0;
      if (got <= 0 || read.size() > 4 * written.size()) break;
      read.insert(read.end(), chunk.begin(), chunk.begin() + got * channels);
    }
    sf_close(file);
    if (info.channels != channels) return "channels " + std::to_string(info.channels);
    // VOC keeps the rate as a time constant: the nearest rate it can hold.
    bool voc = (combination.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_VOC;
    if (info.samplerate != render.rate && !(voc && std::abs(info.samplerate - render.rate) <= render.rate / 1000)) {
      return "rate " + std::to_string(info.samplerate);
    }
    const int64_t frames = static_cast<int64_t>(read.size()) / channels;
    const int expected = render.frames;
    // The container and encoding asked for (a headerless file only echoes them).
    if ((info.format & ~SF_FORMAT_ENDMASK) != (combination.format & ~SF_FORMAT_ENDMASK)) {
      std::snprintf(text0, sizeof text0, "format word 0x%08x read back", static_cast<unsigned>(info.format));
      return text0;
    }
    for (double r : read)
      if (!std::isfinite(r)) return "a value that is not finite";

    Expectation expectation{};
    if (!ExpectationFor(combination.format & SF_FORMAT_SUBMASK, &expectation)) return "unclassified encoding";
    // Noise keeps no waveform through a lossy or an adaptive codec: there,
    // its level must come back.
    const bool noise = render.signal == Signal::kNoise;
    char text[200];
    switch (expectation.fidelity) {
      case Fidelity::kExact:
      case Fidelity::kStep:
      case Fidelity::kCompanded: {
        // DWVW packs bits: without a header to say where they end, a
        // headerless file reads its last byte's spare bits as more frames.
        const bool packed = (combination.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW &&
                            ((combination.format & SF_FORMAT_SUBMASK) == SF_FORMAT_DWVW_12 ||
                             (combination.format & SF_FORMAT_SUBMASK) == SF_FORMAT_DWVW_16 ||
                             (combination.format & SF_FORMAT_SUBMASK) == SF_FORMAT_DWVW_24);
        // Mono VOC in a one-byte encoding reads back one frame longer.
        const int subtype = combination.format & SF_FORMAT_SUBMASK;
        const bool vocByte = voc && channels == 1 &&
                             (subtype == SF_FORMAT_ULAW || subtype == SF_FORMAT_ALAW || subtype == SF_FORMAT_PCM_U8);
        if (frames != expected && !(packed && frames > expected && frames <= expected + kBitPackedTail) &&
            !(vocByte && frames == expected + 1))
          return "length " + std::to_string(frames);
        double worst = 0.0;
        for (size_t i = 0; i < written.size(); ++i) worst = std::max(worst, std::fabs(read[i] - written[i]));
        if (worst > expectation.bound) {
          std::snprintf(text, sizeof text, "error %.3g above %.3g", worst, expectation.bound);
          return text;
        }
        return "";
      }
      case Fidelity::kAdpcm: {
        if (frames < expected || frames > expected + kBlockPadding) return "length " + std::to_string(frames);
        if (noise) return LevelFault(written, read, channels, 0, expected, kAdpcmNoiseLevel);
        double snr = Snr(written, read, channels, 0, 0, expected);
        if (snr < expectation.bound) {
          std::snprintf(text, sizeof text, "SNR %.1f dB below %.1f", snr, expectation.bound);
          return text;
        }
        return "";
      }
      case Fidelity::kLossy: {
        if (frames < expected || frames > expected + kCodecPadding) return "length " + std::to_string(frames);
        if (noise) return LevelFault(written, read, channels, kCodecPadding, expected - kCodecPadding, kNoiseLevel);
        // The lag on a window, then the ratio over the whole render.
        const int window = std::min(expected - kCodecPadding, kCodecPadding + 8820);
        double best = -400.0;
        int bestLag = 0;
        for (int lag = 0; lag <= kCodecDelay; ++lag) {
          double snr = Snr(written, read, channels, lag, kCodecPadding, window);
          if (snr > best) {
            best = snr;
            bestLag = lag;
          }
        }
        best = Snr(written, read, channels, bestLag, kCodecPadding, expected - kCodecPadding);
        if (best < expectation.bound) {
          std::snprintf(text, sizeof text, "SNR %.1f dB below %.1f (lag %d)", best, expectation.bound, bestLag);
          return text;
        }
        return "";
      }
    }
    return "";
  }

  static std::string LevelFault(const std::vector<double>& written, const std::vector<double>& read, int channels,
                                int begin, int end, double bound) {
    double level = Level(written, read, channels, begin, end);
    if (std::fabs(level) <= bound) return "";
    char text[80];
    std::snprintf(text, sizeof text, "noise level %.1f dB off", level);
    return text;
  }
};

TEST_P(RoundTrip, EveryWritableFormatComesBackRightOrIsRefused) {
  const Render& render = GetParam();
  const std::vector<Combination> combinations = Writable(render);
  ASSERT_FALSE(combinations.empty()) << render.name;
  const std::vector<double> samples = Samples(render);
  int right = 0;
  std::vector<std::string> refused;
  for (size_t i = 0; i < combinations.size(); ++i) {
    const Combination& combination = combinations[i];
    const std::string label = std::string(render.name) + ": " + combination.name;
    std::string path = Path("rt" + std::to_string(i) + "." + combination.extension);
    std::string reason;
    if (!WriteThroughSink(combination, render, path, samples, &reason)) {
      // A silent refusal is for what libsndfile cannot open; one with a
      // reason (checked in integer_round_trip_test.cpp) for a fault of its own.
      if (reason.empty()) {
        EXPECT_FALSE(LibsndfileWrites(combination, render,
                                      Path("direct" + std::to_string(i) + "." + combination.extension)))
            << "makeSink refused what libsndfile writes: " << label;
      }
      refused.push_back(combination.name + (reason.empty() ? "" : ": " + reason.substr(0, reason.size() - 1)));
      continue;
    }
    std::string fault = Check(combination, render, path, samples);
    EXPECT_EQ(fault, "") << label;
    if (fault.empty()) ++right;
    std::remove(path.c_str());
  }
  std::printf("%s: %zu combinations, %d came back right, %zu refused by makeSink\n", render.name,
              combinations.size(), right, refused.size());
  for (const std::string& name : refused) std::printf("  refused: %s\n", name.c_str());
  EXPECT_EQ(right + refused.size(), combinations.size()) << render.name;
}

std::string RenderName(const ::testing::TestParamInfo<Render>& info) {
  std::string name;
  for (const char* c = info.param.name; *c != '\0'; ++c)
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Renders, RoundTrip, ::testing::ValuesIn(kRenders), RenderName);

}  // namespace
