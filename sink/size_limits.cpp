// The containers' size limits and the writer's check against them.
#include "sink/size_limits.h"

#include <sndfile.h>

#include "sink/rf64_growth.h"

namespace {

// Room left for the header below a size field's limit: libsndfile's headers
// for what the writer writes take well under 1 KiB.
constexpr int64_t kHeaderRoom = 64 * 1024;
constexpr int64_t k4GiB = int64_t{1} << 32;
constexpr int64_t k2GiB = int64_t{1} << 31;
constexpr int64_t k16MiB = int64_t{1} << 24;
constexpr int64_t kSdsMostFrames = (int64_t{1} << 21) - 1;  // three 7-bit bytes

}  // namespace

// Compressed subtypes: a bound above what their blocks take (ADPCM and
// G.72x at most 5 bits and block headers, GSM 6.10 about 1.6 bits). DWVW can
// take about twice its width on a signal that jumps, and falls under the 8
// bytes of the rest.
int64_t MostBytesPerSample(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_DPCM_8:
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_GSM610:
    case SF_FORMAT_VOX_ADPCM:
    case SF_FORMAT_NMS_ADPCM_16:
    case SF_FORMAT_NMS_ADPCM_24:
    case SF_FORMAT_NMS_ADPCM_32:
    case SF_FORMAT_G721_32:
    case SF_FORMAT_G723_24:
    case SF_FORMAT_G723_40:
      return 1;
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_DPCM_16:
      return 2;
    case SF_FORMAT_PCM_24:
      return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
      return 4;
    default:
      return 8;
  }
}

namespace {

// The most bytes of audio the container's header describes; kNoFrameLimit
// for none.
int64_t MostDataBytes(int formatWord) {
  switch (formatWord & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
      return GrowsIntoRf64(formatWord) ? kNoFrameLimit : k4GiB - kHeaderRoom;
    case SF_FORMAT_AIFF:
      return k4GiB - kHeaderRoom;
    case SF_FORMAT_HTK:
      return k2GiB - kHeaderRoom;
    case SF_FORMAT_VOC:  // unsigned 8-bit goes in a block with a 24-bit length
      return (formatWord & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_U8 ? k16MiB - kHeaderRoom : kNoFrameLimit;
    default:
      return kNoFrameLimit;
  }
}

}  // namespace

int64_t FrameLimit(int formatWord, int channels) {
  if (channels <= 0) return kNoFrameLimit;
  if ((formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_SDS) return kSdsMostFrames;
  const int64_t bytes = MostDataBytes(formatWord);
  if (bytes == kNoFrameLimit) return kNoFrameLimit;
  return bytes / (MostBytesPerSample(formatWord & SF_FORMAT_SUBMASK) * channels);
}

int64_t ValuesWithinLimit(int64_t values, int channels, int64_t framesWritten, int64_t frameLimit) {
  if (channels <= 0 || values <= 0 || values % channels != 0) return values;
  const int64_t room = frameLimit > framesWritten ? frameLimit - framesWritten : 0;
  return values / channels <= room ? values : room * channels;
}
