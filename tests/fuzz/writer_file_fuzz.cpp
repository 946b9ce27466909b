// Whole files through the writer and back through the decoder: a writable
// format word, channels, rate and quality, then segments of fuzzer-chosen
// signal (full-scale white noise, extremes and values past them, silence,
// NaN and infinities, sines, square waves, denormals, raw bit patterns) in
// blocks of fuzzer-chosen, often odd, sizes; the writer is destroyed, which
// finishes the file, and the file is read back through the plug-in's
// decoder. What the writer accepted must come back whole, with its channels
// and rate, and, for the encodings that keep samples, with the values the
// writer stores: integers rounded and limited, float and double as given.
//
// Input: the combination, then per segment a kind, a length, a block size
// and an 8-byte seed from which the segment's samples are drawn.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "tests/common/test_host.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_files.h"
#include "tests/fuzz/fuzz_formats.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/fuzz_plugin.h"
#include "tests/fuzz/fuzz_targets.h"

namespace fuzz_writer_file {
namespace {

constexpr int64_t kMaxSamples = 1 << 18;  // per file, over all channels
constexpr int kMaxSegments = 24;
constexpr int kPadding = 8192;  // frames a block codec or a lossy codec may add at the end
constexpr int kSdsPacket = 60;  // SDS may lose a last partial packet of fewer frames

// How the read-back samples must relate to the written ones.
enum class Keeps {
  kIntegers,   // rounded to the encoding's integers and limited to its range
  kFloat,      // as single precision
  kDouble,     // as written
  kCompanded,  // near the written value where that is in range
  kShape,      // ADPCM, GSM, lossy: finite and of sane size only
};

struct Encoding {
  Keeps keeps;
  int bits;  // kIntegers: the width
};

Encoding EncodingOf(int32_t subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8: case SF_FORMAT_PCM_U8: case SF_FORMAT_DPCM_8: return {Keeps::kIntegers, 8};
    case SF_FORMAT_DWVW_12: return {Keeps::kIntegers, 12};
    case SF_FORMAT_PCM_16: case SF_FORMAT_DPCM_16: case SF_FORMAT_DWVW_16: case SF_FORMAT_ALAC_16:
      return {Keeps::kIntegers, 16};
    case SF_FORMAT_ALAC_20: return {Keeps::kIntegers, 20};
    case SF_FORMAT_PCM_24: case SF_FORMAT_DWVW_24: case SF_FORMAT_ALAC_24: return {Keeps::kIntegers, 24};
    case SF_FORMAT_PCM_32: case SF_FORMAT_ALAC_32: return {Keeps::kIntegers, 32};
    case SF_FORMAT_FLOAT: return {Keeps::kFloat, 0};
    case SF_FORMAT_DOUBLE: return {Keeps::kDouble, 0};
    case SF_FORMAT_ULAW: case SF_FORMAT_ALAW: return {Keeps::kCompanded, 0};
    default: return {Keeps::kShape, 0};
  }
}

// A small generator, so that a few input bytes make a long segment.
struct Noise {
  uint64_t state;
  uint64_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * std::ldexp(1.0, -52) - 1.0; }  // [-1, 1)
};

void AppendSegment(std::vector<double>& samples, int kind, int64_t values, Noise& noise, FuzzInput& in) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double amplitude = std::ldexp(1.0, -static_cast<int>(noise.Next() % 24));
  const double step = 0.5 * static_cast<double>(noise.Next() % 1000 + 1) / 1000.0;
  for (int64_t i = 0; i < values; ++i) {
    double x = 0.0;
    switch (kind) {
      case 0: x = noise.Uniform(); break;                                   // white noise, full scale
      case 1: x = (noise.Next() & 1) ? 1.0 : -1.0; break;                   // extremes
      case 2: {                                                             // past the extremes
        const double past[] = {1.5, -1.5, 1.0 + 1e-9, -1.0 - 1e-9, 1e300, -1e300, 32768.0, -2.0};
        x = past[noise.Next() % 8];
        break;
      }
      case 3: {                                                             // NaN and infinities in noise
        const uint64_t r = noise.Next() % 8;
        x = r == 0 ? nan : r == 1 ? inf : r == 2 ? -inf : noise.Uniform();
        break;
      }
      case 4: x = amplitude * std::sin(step * static_cast<double>(i)); break;  // a sine
      case 5: x = ((i / (1 + static_cast<int64_t>(noise.state % 97))) & 1) ? 1.0 : -1.0; break;  // square
      case 6: x = (noise.Next() & 1) ? 4.9e-324 : -2.2250738585072009e-308; break;  // denormals
      case 7: x = in.Take<double>(); break;                                  // any bit pattern
      default: x = 0.0; break;                                               // silence
    }
    samples.push_back(x);
  }
}

// The integer an n-bit encoding stores for x (the writer's rule), and back
// as the decoder reads it.
double StoredInteger(double x, int bits) {
  const double full = std::ldexp(1.0, bits - 1);
  if (std::isnan(x)) return 0.0;
  const double scaled = x * full;
  if (scaled >= full - 1) return (full - 1) / full;
  if (scaled <= -full) return -1.0;
  return std::nearbyint(scaled) / full;
}

void CheckSample(const Encoding& encoding, double written, double read, int bits) {
  switch (encoding.keeps) {
    case Keeps::kIntegers: {
      // Within half a step of the written value (ties may go either way),
      // exactly the limits past them.
      const double full = std::ldexp(1.0, bits - 1);
      const double expected = StoredInteger(written, bits);
      if (std::isnan(written) || std::fabs(written * full) >= full - 1) {
        FUZZ_CHECK(read == expected);
      } else {
        FUZZ_CHECK(std::fabs(read * full - written * full) <= 0.5);
      }
      break;
    }
    case Keeps::kFloat:
      if (std::isnan(written)) {
        FUZZ_CHECK(std::isnan(read));
      } else {
        FUZZ_CHECK(read == static_cast<double>(static_cast<float>(written)));
      }
      break;
    case Keeps::kDouble:
      if (std::isnan(written)) {
        FUZZ_CHECK(std::isnan(read));
      } else {
        FUZZ_CHECK(read == written);
      }
      break;
    case Keeps::kCompanded:
      FUZZ_CHECK(std::isfinite(read) && std::fabs(read) <= 1.0);
      // Within a step of the coarsest segment: u-law's largest code lies
      // 0.0196 below full scale.
      if (std::fabs(written) <= 1.0) FUZZ_CHECK(std::fabs(read - written) <= 1.0 / 32);
      break;
    case Keeps::kShape:
      FUZZ_CHECK(std::isfinite(read) && std::fabs(read) <= 8.0);
      break;
  }
}

// Reads the file back through the decoder and checks it against what the
// writer took.
void ReadBack(const StartedPlugin& plugin, const std::string& path, int32_t formatWord, int channels, int rate,
              const std::vector<double>& taken) {
  // A headerless file says nothing of what it holds; an SD2 file keeps its
  // header in a resource fork, which a plain file system has not got, so
  // libsndfile cannot open what it wrote (the bundled host does not offer it).
  if ((formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW || (formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_SD2) return;
  HostSource* source = plugin.source->makeFromFile(path.c_str(), 7);
  const int64_t frames = static_cast<int64_t>(taken.size()) / channels;
  // An empty FLAC or Opus file is not one libsndfile reads back.
  if (frames == 0) {
    DestroyThroughTable(source);
    return;
  }
  FUZZ_CHECK(source != nullptr);
  ISimpleMediaDecoder* decoder = test_host::DecoderOf(source);
  FUZZ_CHECK(decoder->IsReady());
  FUZZ_CHECK(decoder->ChannelCount() == channels);
  // Some headers keep the rate as a period or a time constant.
  FUZZ_CHECK(std::fabs(decoder->SampleRateHz() - rate) <= rate / 1000.0 + 1.0);

  const Encoding encoding = EncodingOf(formatWord & SF_FORMAT_SUBMASK);
  const bool sds = (formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_SDS;
  const int64_t checked = sds ? frames - kSdsPacket : frames;
  std::vector<double> chunk(static_cast<size_t>(4096) * static_cast<size_t>(channels));
  int64_t done = 0;
  for (;;) {
    const int got = decoder->ReadFrames(chunk.data(), 4096);
    FUZZ_CHECK(got >= 0 && got <= 4096);
    if (got == 0) break;
    for (int64_t i = 0; i < got; ++i) {
      for (int c = 0; c < channels; ++c) {
        const double read = chunk[static_cast<size_t>(i * channels + c)];
        const int64_t frame = done + i;
        if (frame < checked && encoding.keeps != Keeps::kShape) {
          CheckSample(encoding, taken[static_cast<size_t>(frame * channels + c)], read, encoding.bits);
        } else if (encoding.keeps == Keeps::kShape || frame >= frames) {
          CheckSample({Keeps::kShape, 0}, 0.0, read, 0);
        }
      }
    }
    done += got;
    FUZZ_CHECK(done <= frames + kPadding);
  }
  // libsndfile reads a 24-bit PAF file of a single 10-frame block back as
  // empty (its header says 10 frames).
  const bool pafBlock = (formatWord & (SF_FORMAT_TYPEMASK | SF_FORMAT_SUBMASK)) == (SF_FORMAT_PAF | SF_FORMAT_PCM_24) &&
                        frames <= 10;
  // Never short (SDS: by less than its last packet).
  if (!pafBlock) FUZZ_CHECK(done >= (sds ? frames - kSdsPacket + 1 : frames));
  DestroyThroughTable(source);
}

}  // namespace

int FuzzOne(const uint8_t* data, size_t size) {
  const StartedPlugin& plugin = StartPlugin();
  test_host::Reset();
  FuzzInput in(data, size);

  const SndfileFormats& formats = Formats();
  FUZZ_CHECK(!formats.writable.empty());
  SinkConfigBlock block{};
  block.typeTag = kSinkTypeTag;
  block.formatWord = formats.writable[static_cast<size_t>(in.InRange(0, static_cast<int64_t>(formats.writable.size()) - 1))] |
                     static_cast<int32_t>(in.InRange(0, 3) << 28);
  block.quality = static_cast<float>(in.InRange(0, 100)) / 100.0f;
  const int channels = static_cast<int>(in.InRange(1, 8));
  const int rates[] = {8000, 11025, 16000, 22050, 44100, 48000, 96000, 192000};
  const int rate = rates[in.InRange(0, 7)];
  const bool peaks = in.Bool();

  const char* extension = plugin.sink->extensionFor(&block, sizeof block);
  FUZZ_CHECK(extension != nullptr);
  const std::string path = ScratchPath(std::string("whole.") + extension);
  PCM_sink* sink = plugin.sink->makeSink(path.c_str(), &block, sizeof block, channels, rate, peaks);
  if (sink == nullptr) {
    FUZZ_CHECK(test_host::Recorded().peakBuildersAlive == 0);
    std::remove(path.c_str());
    return 0;
  }

  // The samples the writer took, in order.
  std::vector<double> taken;
  std::vector<double> segment;
  for (int s = 0; s < kMaxSegments && !in.Empty(); ++s) {
    const int kind = static_cast<int>(in.InRange(0, 8));
    const int64_t frames = in.InRange(0, int64_t{1} << in.InRange(0, 15));
    const int blockFrames = static_cast<int>(in.InRange(1, 4099));
    Noise noise{in.Take<uint64_t>() | 1};
    const int64_t room = (kMaxSamples - static_cast<int64_t>(taken.size())) / channels;
    segment.clear();
    AppendSegment(segment, kind, std::min(frames, room) * channels, noise, in);
    for (size_t at = 0; at < segment.size();) {
      const int count = static_cast<int>(std::min<size_t>(static_cast<size_t>(blockFrames), (segment.size() - at) / channels));
      // The block the host hands in, which must stay as it was.
      std::vector<double> copy(segment.begin() + static_cast<std::ptrdiff_t>(at),
                               segment.begin() + static_cast<std::ptrdiff_t>(at) + count * channels);
      double* buffers[2] = {copy.data(), nullptr};
      const int64_t written = sink->WriteBlock(buffers, count, channels, 0, 0);
      FUZZ_CHECK(written == static_cast<int64_t>(count) * channels);
      FUZZ_CHECK(std::memcmp(copy.data(), segment.data() + at, copy.size() * sizeof(double)) == 0);
      taken.insert(taken.end(), copy.begin(), copy.end());
      at += copy.size();
    }
  }
  FUZZ_CHECK(sink->GetChannelCount() == channels);
  DestroyThroughTable(sink);
  FUZZ_CHECK(test_host::Recorded().peakBuildersAlive == 0);

  ReadBack(plugin, path, block.formatWord, channels, rate, taken);
  FUZZ_CHECK(test_host::Recorded().sourcesAlive == 0);
  std::remove(path.c_str());
  return 0;
}

}  // namespace fuzz_writer_file

PEXO_FUZZ_TARGET("writer_file", fuzz_writer_file::FuzzOne);
