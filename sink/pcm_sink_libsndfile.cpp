// The file writer on libsndfile.
#include "sink/pcm_sink_libsndfile.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "binding/format_info.h"
#include "binding/host_api.h"
#include "binding/sndfile_api.h"
#include "binding/sndfile_open.h"
#include "sink/encoder_limits.h"
#include "sink/integer_samples.h"
#include "sink/rf64_growth.h"
#include "sink/sink_config_block.h"
#include "sink/size_limits.h"

namespace {

constexpr int kDescriptionSize = 512;

// libsndfile's name of a major format or subtype ("major" or "subtype" is
// the field), or null after the message that names the format asked for.
const char* FormatName(int format, const char* field) {
  SF_FORMAT_INFO formatInfo;
  if (!DescribeFormat(format, &formatInfo)) {
    std::printf("can't get %s format info: 0x%08x\n", field, static_cast<unsigned>(format));
    std::fflush(stdout);
    return nullptr;
  }
  return formatInfo.name;
}

}  // namespace

PCM_sink_libsndfile::PCM_sink_libsndfile(const char* fileNameArgument, const void* block, int blockSize,
                                         int channels, int rate, bool buildPeaks) {
  if (HasSinkTag(block, blockSize, kSinkConfigBlockSize)) {
    formatWord = BlockFormatWord(block);
    quality = BlockQuality(block);
  }
  channelCount = channels;
  sampleRate = rate;

  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channelCount;
  info.format = formatWord;
  if (SndfileApi.sf_format_check(&info) == 0) {
    std::printf("Something might have gone wrong... Format not available: 0x%08x for %d channels \n",
                static_cast<unsigned>(formatWord), channelCount);
    std::fflush(stdout);
    return;
  }

  const char* major = FormatName(formatWord & kMajorFormatMask, "major");
  fileName.Set(fileNameArgument, 0);
  majorName.Set(major, 0);
  subtypeName.Set(FormatName(formatWord & kSubtypeMask, "subtype"), 0);

  // Integer encodings libsndfile stores wrongly or unsafely, and rates it
  // writes into a header that reads back another: no file, and the reason
  // on one line. Rates libsndfile cannot write the format at: no file, as a
  // failed open gives, minus its leak or crash.
  const char* fault = IntegerEncodingFault(formatWord, channelCount);
  if (fault == nullptr) fault = RateFault(formatWord, channelCount, sampleRate);
  if (fault != nullptr) {
    std::printf("%s\n", fault);
    std::fflush(stdout);
  } else if (WritableAtRate(formatWord, sampleRate)) {
    fileHandle = OpenSoundFile(fileName.Get(), SFM_WRITE, &info);
  }
  if (fileHandle != nullptr) frameLimit = FrameLimit(formatWord, channelCount);
  integerSamples = IntegerSamplesFor(formatWord);
  boundedSamples = NeedsBoundedSamples(formatWord);
  PrepareIntegerWrites(fileHandle, integerSamples);

  // Compression level first, then VBR quality, which libsndfile maps onto
  // the level as well, so the last one decides. A quality that is not a
  // number stands for none: libsndfile hands it to encoders that crash on it.
  double q = quality;
  if (!std::isnan(q)) {
    SndfileApi.sf_command(fileHandle, SFC_SET_COMPRESSION_LEVEL, &q, sizeof q);
    SndfileApi.sf_command(fileHandle, SFC_SET_VBR_ENCODING_QUALITY, &q, sizeof q);
  }

  if (buildPeaks && HostApi.PeakBuild_Create != nullptr) {
    peakBuilder = HostApi.PeakBuild_Create(nullptr, fileNameArgument, sampleRate, channelCount);
  }
}

PCM_sink_libsndfile::~PCM_sink_libsndfile() {
  if (fileHandle != nullptr) {
    SndfileApi.sf_close(fileHandle);
    fileHandle = nullptr;
    // A WAV past 4 GiB becomes the RF64 that can describe it.
    if (GrowsIntoRf64(formatWord) &&
        !GrowIntoRf64IfNeeded(fileName.Get(), formatWord, channelCount, framesWritten)) {
      std::printf("can't rewrite %s as RF64: its WAV header cannot describe its length\n", fileName.Get());
      std::fflush(stdout);
    }
  }
  if (peakBuilder != nullptr) {
    DestroyThroughTable(peakBuilder);
    peakBuilder = nullptr;
  }
  // The texts go with the members: fileName, subtypeName, majorName.
}

void PCM_sink_libsndfile::DescribeOutput(char* buffer, int capacity) noexcept {
  if (buffer == nullptr || capacity < 1) return;
  char text[kDescriptionSize];
  int length = std::snprintf(text, sizeof text, "%s, %s, Sr: %d Hz, Ch: %dch", majorName.Get(),
                             subtypeName.Get(), sampleRate, channelCount);
  if (length < 0) length = 0;
  if (length > kDescriptionSize - 1) length = kDescriptionSize - 1;
  // As strncpy, except that a text cut to the capacity still ends in a zero.
  int copied = length < capacity ? length : capacity - 1;
  std::memcpy(buffer, text, static_cast<size_t>(copied));
  std::memset(buffer + copied, 0, static_cast<size_t>(capacity - copied));
}

const char* PCM_sink_libsndfile::GetOutputFileName() noexcept { return fileName.Get(); }

int PCM_sink_libsndfile::GetChannelCount() noexcept { return channelCount; }

double PCM_sink_libsndfile::GetLengthSeconds() noexcept {
  if (sampleRate <= 0) return 0.0;
  return static_cast<double>(framesWritten) / static_cast<double>(sampleRate);
}

int64_t PCM_sink_libsndfile::GetOutputCount() noexcept { return outputCount; }

void PCM_sink_libsndfile::WriteAuxiliary(int, void*, int) noexcept {}

int64_t PCM_sink_libsndfile::WriteBlock(double** buffers, int frameCount, int blockChannels, int hostValue1,
                                        int hostValue2) noexcept {
  if (peakBuilder != nullptr) peakBuilder->AddBlock(buffers, frameCount, blockChannels, hostValue1, hostValue2);
  // Negative counts describe no block; a product of two of them is no count.
  if (frameCount < 0 || blockChannels < 0 || fileHandle == nullptr) return 0;
  int64_t values = static_cast<int64_t>(frameCount) * blockChannels;
  double* interleaved = buffers != nullptr ? buffers[0] : nullptr;
  if (interleaved == nullptr && values != 0) return 0;
  // Past what its header can describe the file would read back wrong: the
  // write stops there, short.
  values = ValuesWithinLimit(values, channelCount, framesWritten, frameLimit);
  // u-law, A-law and MPEG layer III take nothing beyond full scale; the
  // block itself is still never changed.
  int64_t written =
      integerSamples.bits != 0 ? WriteIntegerSamples(fileHandle, integerSamples, interleaved, values, channelCount)
      : boundedSamples ? WriteBoundedSamples(fileHandle, interleaved, values, channelCount)
                                        : SndfileApi.sf_write_double(fileHandle, interleaved, values);
  // libsndfile's VOX ADPCM encoder counts one value more than an odd block
  // holds; the host hears of no more values than it gave.
  if (written > values) written = values;
  if (written > 0) {
    outputCount += written;
    if (channelCount > 0) framesWritten += written / channelCount;
  }
  return written;
}

int PCM_sink_libsndfile::PeakQuery(int request, void* data, int size) noexcept {
  if (peakBuilder != nullptr) return peakBuilder->PeakQuery(request, data, size);
  return 0;
}

void PCM_sink_libsndfile::PeakRecordQuery(void* record, int index, int flags) noexcept {
  if (peakBuilder != nullptr) {
    peakBuilder->PeakRecordQuery(record, index, flags);
    return;
  }
  if (record == nullptr) return;
  const int32_t noPeaks = 0;
  std::memcpy(static_cast<unsigned char*>(record) + kPeakRecordCountOffset, &noPeaks, sizeof noPeaks);
}
