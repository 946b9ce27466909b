// The sink registration functions.
#include "sink/sink_registration.h"

#include <cstdio>
#include <new>

#include "binding/format_info.h"
#include "binding/sndfile_api.h"
#include "sink/pcm_sink_libsndfile.h"
#include "sink/sink_config_block.h"

const char kSinkLabel[] = "libsndfile (.au .avr .caf .htk .iff .mat .mpc .paf .pcm .pvf .sd2 ...)";

namespace {

// The extension of a block that holds no format, or of a major format that
// libsndfile does not describe.
const char kFallbackExtension[] = "var";

}  // namespace

unsigned int typeTagAndLabel(const char** label) noexcept {
  if (label != nullptr) *label = kSinkLabel;
  return kSinkTypeTag;
}

const char* extensionFor(const void* block, int size) noexcept {
  if (size <= 4) return size == 4 && HasSinkTag(block, size, 4) ? kFallbackExtension : nullptr;
  if (size < 8 || !HasSinkTag(block, size, 8)) return nullptr;
  const int major = BlockFormatWord(block) & kMajorFormatMask;
  SF_FORMAT_INFO info;
  // The record is registered only once libsndfile is bound; unbound, no
  // format can be described.
  if (SndfileApi.sf_command == nullptr || !DescribeFormat(major, &info)) {
    std::printf("can't get major format info: 0x%08x\n", static_cast<unsigned>(major));
    std::fflush(stdout);
    return kFallbackExtension;
  }
  return info.extension != nullptr ? info.extension : kFallbackExtension;
}

PCM_sink* makeSink(const char* path, const void* block, int size, int channels, int sampleRate,
                   bool buildPeaks) noexcept {
  if (!HasSinkTag(block, size, 4)) return nullptr;
  if (LoadSndfile() != 0) {
    std::printf("could not load libsndfile\n");
    std::fflush(stdout);
    return nullptr;
  }
  // No memory for a writer means no writer: nothing is thrown into the host.
  auto* sink = new (std::nothrow) PCM_sink_libsndfile(path, block, size, channels, sampleRate, buildPeaks);
  if (sink == nullptr) return nullptr;
  if (sink->IsOpen()) return sink;
  DestroyThroughTable<PCM_sink>(sink);
  return nullptr;
}
