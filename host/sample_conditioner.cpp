// SampleConditioner: non-finite values, clipping and the integer scale.
#include "host/sample_conditioner.h"

#include <sndfile.h>

#include <cmath>

namespace pexo_host {
namespace {

// Bits of libsndfile's plain PCM subtypes, 0 for every other encoding.
int IntegerBits(int32_t formatWord) {
  switch (formatWord & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return 8;
    case SF_FORMAT_PCM_16:
      return 16;
    case SF_FORMAT_PCM_24:
      return 24;
    case SF_FORMAT_PCM_32:
      return 32;
    default:
      return 0;
  }
}

}  // namespace

SampleConditioner::SampleConditioner(int32_t formatWord) {
  int bits = IntegerBits(formatWord);
  if (bits == 0) return;
  integer = true;
  double full = std::ldexp(1.0, bits - 1);
  scale = full / (full - 1.0);
  highest = (full - 1.0) / full;
}

void SampleConditioner::Apply(double* samples, size_t count) const {
  for (size_t i = 0; i < count; ++i) {
    double value = samples[i];
    if (std::isnan(value)) value = 0.0;
    if (integer) {
      if (value < lowest) value = lowest;
      if (value > highest) value = highest;
      value *= scale;
    } else if (std::isinf(value)) {
      value = value > 0 ? 1.0 : -1.0;
    }
    samples[i] = value;
  }
}

}  // namespace pexo_host
