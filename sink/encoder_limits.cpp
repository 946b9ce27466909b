// Guards for libsndfile's encoders and headers: bounded samples, refused rates.
#include "sink/encoder_limits.h"

#include "sink/chunked_writes.h"

namespace {

// Stack room for one bounded chunk: 8 KiB.
constexpr int kChunkSamples = 1024;

bool InFullScale(double sample) { return sample >= -1.0 && sample <= 1.0; }  // false for NaN

double Bounded(double sample) {
  if (sample > 1.0) return 1.0;
  if (sample < -1.0) return -1.0;
  return sample == sample ? sample : 0.0;
}

}  // namespace

bool NeedsBoundedSamples(int formatWord) {
  switch (formatWord & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_MPEG_LAYER_III:
      return true;
    default:
      return false;
  }
}

sf_count_t WriteBoundedSamples(SNDFILE* file, const double* samples, sf_count_t count, int channels) {
  sf_count_t first = 0;
  while (first < count && InFullScale(samples[first])) ++first;
  if (first >= count) return SndfileApi.sf_write_double(file, samples, count);
  return WriteConverted<kChunkSamples>(file, samples, count, channels,
                                       [](const double* from, double* to, sf_count_t length) {
                                         for (sf_count_t i = 0; i < length; ++i) to[i] = Bounded(from[i]);
                                       });
}

bool WritableAtRate(int formatWord, int sampleRate) {
  switch (formatWord & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_HTK:
    case SF_FORMAT_SDS:
    case SF_FORMAT_VOC:
      if (sampleRate < 1) return false;
      break;
    default:
      break;
  }
  if ((formatWord & SF_FORMAT_SUBMASK) != SF_FORMAT_MPEG_LAYER_III) return true;
  switch (sampleRate) {
    case 8000: case 11025: case 12000:    // MPEG 2.5
    case 16000: case 22050: case 24000:   // MPEG 2
    case 32000: case 44100: case 48000:   // MPEG 1
      return true;
    default:
      return false;
  }
}

const char* RateFault(int formatWord, int channels, int sampleRate) {
  if (sampleRate < 1) return nullptr;
  switch (formatWord & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_XI:
      if (sampleRate != 44100) return "libsndfile writes XI at 44100 Hz only: it reads every XI file back at that rate";
      break;
    case SF_FORMAT_WVE:
      if (sampleRate != 8000) return "libsndfile writes WVE at 8000 Hz only: it reads every WVE file back at that rate";
      break;
    case SF_FORMAT_HTK:
      // Above 10 MHz the period would be 0 (and the test below divide by it).
      if (sampleRate > 10000000 || 10000000 / (10000000 / sampleRate) != sampleRate)
        return "libsndfile cannot write HTK at this rate: it keeps the rate as a whole number of 100 ns periods, so "
               "the file reads back at another rate";
      break;
    case SF_FORMAT_VOC:
      if ((formatWord & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_U8 && channels == 1 &&
          (sampleRate > 1000000 || 1000000 / (1000000 / sampleRate) != sampleRate))
        return "libsndfile cannot write 8 bit mono VOC at this rate: it keeps the rate as a whole number of "
               "microseconds, so the file reads back at another rate";
      break;
    default:
      break;
  }
  return nullptr;
}
