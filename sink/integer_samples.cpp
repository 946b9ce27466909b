// Integer encodings: the mapping of host samples onto stored integers, and
// the combinations libsndfile cannot write correctly.
#include "sink/integer_samples.h"

#include <cmath>
#include <cstdio>

#include "sink/chunked_writes.h"

namespace {

// Stack room for one mapped chunk: 32 KiB, as many samples as libsndfile
// converts for one write to the file of 16-bit PCM (fewer chunks would mean
// more system calls), and at least one frame of the most channels it takes
// (1024).
constexpr int kChunkSamples = 4096;
constexpr int kGroup = 8;

// Adding and taking away 1.5 * 2^52 rounds a double of magnitude below 2^51
// to an integer, to nearest with ties to even, as lrint does, and the
// compiler can do it a vector at a time.
constexpr double kRounder = 6755399441055744.0;

// How an encoder of libsndfile takes integers without loss: with
// normalisation off, q * 2^shift; or normalised, with clipping on.
struct Encoding {
  int bits;         // 0: not an integer encoding
  int shift;        // normalisation off: q * 2^shift
  bool normalised;  // normalisation on, clipping on: q / 2^(bits-1)
};

Encoding EncodingOf(int formatWord) {
  const int major = formatWord & SF_FORMAT_TYPEMASK;
  const bool paf = major == SF_FORMAT_PAF;
  // SDS packs its samples itself, from normalised values scaled by 2^31.
  const bool sds = major == SF_FORMAT_SDS;
  switch (formatWord & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_DPCM_8:
      return {8, 0, sds};
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_DPCM_16:
      return {16, 0, sds};
    case SF_FORMAT_PCM_24:
      // PAF's own 24-bit packer divides by 2^8 and keeps the top 24 of 32 bits.
      return {24, paf ? 16 : 0, sds};
    case SF_FORMAT_PCM_32:
      return {32, 0, false};
    // DWVW works on 32-bit integers.
    case SF_FORMAT_DWVW_12:
      return {12, 20, false};
    case SF_FORMAT_DWVW_16:
      return {16, 16, false};
    case SF_FORMAT_DWVW_24:
      return {24, 8, false};
    // ALAC ignores the normalisation setting but scales by exactly 2^31 when
    // clipping is on.
    case SF_FORMAT_ALAC_16:
      return {16, 0, true};
    case SF_FORMAT_ALAC_20:
      return {20, 0, true};
    case SF_FORMAT_ALAC_24:
      return {24, 0, true};
    case SF_FORMAT_ALAC_32:
      return {32, 0, true};
    default:
      return {0, 0, false};
  }
}

}  // namespace

bool AlacPacketTableOverruns(const char* version) {
  if (version == nullptr) return true;
  const char* digits = version;
  while (*digits != '\0' && (*digits < '0' || *digits > '9')) ++digits;
  int major = 0, minor = 0, patch = 0;
  if (std::sscanf(digits, "%d.%d.%d", &major, &minor, &patch) != 3) return true;
  if (major != 1) return major < 1;
  if (minor != 2) return minor < 2;
  return patch < 3;
}

IntegerSamples IntegerSamplesFor(int formatWord) {
  IntegerSamples integer;
  const Encoding encoding = EncodingOf(formatWord);
  if (encoding.bits == 0) return integer;
  integer.bits = encoding.bits;
  integer.scale = std::ldexp(1.0, encoding.bits - 1);
  integer.lowest = -integer.scale;
  integer.highest = integer.scale - 1.0;
  integer.normalised = encoding.normalised;
  integer.unit = encoding.normalised ? 1.0 / integer.scale : std::ldexp(1.0, encoding.shift);
  return integer;
}

void PrepareIntegerWrites(SNDFILE* file, const IntegerSamples& integer) {
  if (file == nullptr || integer.bits == 0) return;
  if (integer.normalised) {
    SndfileApi.sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  } else {
    SndfileApi.sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  }
}

sf_count_t WriteIntegerSamples(SNDFILE* file, const IntegerSamples& integer, const double* samples,
                               sf_count_t count, int channels) {
  const double scale = integer.scale, lowest = integer.lowest, highest = integer.highest, unit = integer.unit;
  auto convert = [=](const double* from, double* to, sf_count_t length) {
    auto map = [&](sf_count_t i) {
      double value = from[i] * scale;
      value = value < lowest ? lowest : value;  // NaN stays NaN
      value = value > highest ? highest : value;
      value = (value + kRounder) - kRounder;
      to[i] = (value == value ? value : 0.0) * unit;
    };
    // Groups of a fixed size, which the compiler turns into vector code at
    // every optimisation level, then the rest one by one.
    sf_count_t i = 0;
    for (; i + kGroup <= length; i += kGroup) {
      for (int k = 0; k < kGroup; ++k) map(i + k);
    }
    for (; i < length; ++i) map(i);
  };
  return WriteConverted<kChunkSamples>(file, samples, count, channels, convert);
}

const char* IntegerEncodingFault(int formatWord, int channels) {
  switch (formatWord & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_ALAC_32:
      return "libsndfile cannot write 32 bit ALAC: only the low 24 bits of each sample come back";
    case SF_FORMAT_ALAC_20:
      if (channels > 1)
        return "libsndfile cannot write 20 bit ALAC with more than one channel: loud noise comes back wrong";
      break;
    case SF_FORMAT_ALAC_24:
      if (channels > 1)
        return "libsndfile cannot write 24 bit ALAC with more than one channel: loud noise comes back wrong";
      break;
    case SF_FORMAT_DWVW_12:
      // Opens, then refuses every write as "unimplemented".
      if ((formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_AIFF)
        return "libsndfile cannot write 12 bit DWVW in AIFF: it takes no samples";
      break;
    case SF_FORMAT_PCM_24:
      // Blocks of 10 frames that only add up for 1, 2, 4, 8, 16... channels.
      if ((formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_PAF && channels > 0 && (channels & (channels - 1)) != 0)
        return "libsndfile cannot write 24 bit PAF with a channel count that is not a power of two: the samples "
               "come back wrong and short";
      break;
    case SF_FORMAT_ALAC_16:
      // Packets of more than one channel can take 3 bytes in the packet
      // table, which these versions size at 2 bytes a packet.
      if (channels > 1 && AlacPacketTableOverruns(SndfileApi.sf_version_string()))
        return "libsndfile before 1.2.3 cannot write ALAC with more than one channel: closing a long file overruns "
               "its packet table";
      break;
    default:
      break;
  }
  return nullptr;
}
