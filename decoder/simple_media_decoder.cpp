// PEXO_SimpleMediaDecoder: opening, describing, positioning and reading an
// audio file through libsndfile.
#include "decoder/simple_media_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#include "binding/format_info.h"
#include "binding/host_api.h"
#include "binding/sndfile_api.h"
#include "binding/sndfile_open.h"
#include "decoder/ogg_vorbis_layout.h"
#include "platform/named_files.h"

namespace {

const char kPropertiesTitle[] = "libsndfile supported File Properties";
const char kNotOpenedText[] = "Error: File not has been opened succesfully";
// Stands in for a format name that libsndfile cannot give.
const char kUnknownName[] = "unknown";

constexpr int kTimeTextSize = 128;
constexpr int kWorkTextSize = 4096;

// A copy of text on the plug-in's heap, or null when memory runs out.
char* CopyText(const char* text) {
  size_t size = std::strlen(text) + 1;
  char* copy = new (std::nothrow) char[size];
  if (copy != nullptr) std::memcpy(copy, text, size);
  return copy;
}

// Writes at most size bytes into destination: the text, then zero bytes up
// to size. A text of size bytes or more is cut and carries no terminator.
void BoundedCopy(char* destination, int size, const char* text) {
  if (destination == nullptr || size <= 0) return;
  size_t count = static_cast<size_t>(size);
  size_t length = strnlen(text, count);
  std::memcpy(destination, text, length);
  std::memset(destination + length, 0, count - length);
}

// Nominal bits per sample of a libsndfile subtype: the width of the
// samples the encoding carries where it names one (PCM, float, ALAC, DWVW,
// DPCM), else 16 (the companded, ADPCM, GSM, lossy and variable-width ones).
int BitsPerSampleOf(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8: return 8;
    case SF_FORMAT_PCM_16: return 16;
    case SF_FORMAT_PCM_24: return 24;
    case SF_FORMAT_PCM_32: return 32;
    case SF_FORMAT_PCM_U8: return 8;
    case SF_FORMAT_FLOAT: return 32;
    case SF_FORMAT_DOUBLE: return 64;
    case SF_FORMAT_DWVW_12: return 12;
    case SF_FORMAT_DWVW_16: return 16;
    case SF_FORMAT_DWVW_24: return 24;
    case SF_FORMAT_DPCM_8: return 8;
    case SF_FORMAT_DPCM_16: return 16;
    case SF_FORMAT_ALAC_16: return 16;
    case SF_FORMAT_ALAC_20: return 20;
    case SF_FORMAT_ALAC_24: return 24;
    case SF_FORMAT_ALAC_32: return 32;
    default: return 16;
  }
}

// A length libsndfile gives without knowing it: its largest count (a
// truncated Ogg file, an Ogg stream from a pipe), a negative one, or one
// no file holds (2^48 frames are over 200 years at 44.1 kHz).
constexpr sf_count_t kLargestTrustedLength = sf_count_t{1} << 48;
bool LengthIsTrusted(sf_count_t frames) { return frames >= 0 && frames <= kLargestTrustedLength; }

// The frames a handle delivers from where it stands to the end, read in
// chunks into a buffer of its own; -1 when no buffer can be had. Reading
// stops at the end, at a failed read, or past the largest trusted length.
constexpr int kCountChunkSamples = 16384;
sf_count_t CountFrames(SNDFILE* handle, int channels) {
  if (channels <= 0) return -1;
  sf_count_t chunkFrames = kCountChunkSamples / channels;
  if (chunkFrames < 1) chunkFrames = 1;
  double* buffer = new (std::nothrow) double[static_cast<size_t>(chunkFrames) * static_cast<size_t>(channels)];
  if (buffer == nullptr) return -1;
  sf_count_t total = 0;
  while (total <= kLargestTrustedLength) {
    sf_count_t read = SndfileApi.sf_readf_double(handle, buffer, chunkFrames);
    if (read <= 0) break;
    total += read > chunkFrames ? chunkFrames : read;
  }
  delete[] buffer;
  return total;
}

// Bits read for the host's disk counters: bits x channels x frames,
// limited to the largest value the counter takes, never negative.
int BitsRead(int bits, int channels, int frames) {
  int64_t perFrame = static_cast<int64_t>(bits) * channels;
  if (perFrame <= 0 || frames <= 0) return 0;
  constexpr int64_t kLargest = std::numeric_limits<int>::max();
  if (perFrame > kLargest / frames) return std::numeric_limits<int>::max();
  return static_cast<int>(perFrame * frames);
}

// position + frames, held at the limits of the 64-bit range: a position set
// by a refused seek far past the end must not overflow on the next read.
int64_t Advance(int64_t position, int frames) {
  int64_t result;
  if (__builtin_add_overflow(position, static_cast<int64_t>(frames), &result)) {
    return frames > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
  }
  return result;
}

// Samples read and discarded at a time while a seek reads on to its frame:
// 32 KiB on the stack, so that seeking allocates nothing.
constexpr int kSkipChunkSamples = 4096;

// True for the DWVW encodings, whose seek in libsndfile reaches frame 0 only.
bool SeeksOnlyToTheStart(int subtype) {
  return subtype == SF_FORMAT_DWVW_12 || subtype == SF_FORMAT_DWVW_16 || subtype == SF_FORMAT_DWVW_24 ||
         subtype == SF_FORMAT_DWVW_N;
}

// libsndfile's name of a major format or subtype, or "unknown".
const char* FormatName(int format) {
  SF_FORMAT_INFO formatInfo;
  if (!DescribeFormat(format, &formatInfo) || formatInfo.name == nullptr) return kUnknownName;
  return formatInfo.name;
}

}  // namespace

// Defined here, so that the deleting destructor the host calls, and with it
// the release of the decoder's memory, runs inside the plug-in.
PEXO_SimpleMediaDecoder::~PEXO_SimpleMediaDecoder() {
  if (handle != nullptr) SndfileApi.sf_close(handle);
  delete[] fileName;
}

ISimpleMediaDecoder* PEXO_SimpleMediaDecoder::MakeCopy() noexcept {
  // No memory for a copy means no copy: nothing is thrown into the host.
  auto* copy = new (std::nothrow) PEXO_SimpleMediaDecoder;
  if (copy == nullptr) return nullptr;
  if (fileName != nullptr) copy->fileName = CopyText(fileName);
  return copy;
}

void PEXO_SimpleMediaDecoder::OpenFile(const char* path) noexcept {
  bool fileChanges = path != nullptr && std::strcmp(path, fileName != nullptr ? fileName : "") != 0;
  CloseFile(fileChanges);

  if (path != nullptr) {
    // Copied before the old name goes: path may be the text FileName gave.
    char* copy = CopyText(path);
    delete[] fileName;
    fileName = copy;
  }

  length = 0;
  channelCount = 0;
  bitsPerSample = 0;
  sampleRate = 0.0;
  // A new handle reads from frame 0; so does the counted position.
  position = 0;
  // No container named (not SF_FORMAT_RAW), so libsndfile recognises the
  // file by its contents; the byte-order bits the decoder has always passed
  // play no part in a recognised file.
  info.format = SF_ENDIAN_BIG;
  if (fileName == nullptr) return;

  handle = OpenSoundFile(fileName, SFM_READ, &info);
  if (handle == nullptr) return;

  length = info.frames;
  handlePosition = 0;
  if (!LengthIsTrusted(length) && !FindLength()) return;
  ChooseSeekStrategy();
  bitsPerSample = BitsPerSampleOf(info.format & SF_FORMAT_SUBMASK);
  channelCount = info.channels;
  sampleRate = static_cast<double>(info.samplerate);
}

// Counting costs a decode of the whole file, paid only by files whose
// length libsndfile does not know. The handle then goes back to frame 0;
// where libsndfile refuses that seek the file is opened afresh.
bool PEXO_SimpleMediaDecoder::FindLength() {
  length = 0;
  if (info.seekable == 0) return true;  // a pipe: what is read is gone
  sf_count_t counted = CountFrames(handle, info.channels);
  if (counted < 0 || counted > kLargestTrustedLength) counted = 0;
  if (SndfileApi.sf_seek(handle, 0, SEEK_SET) != 0) {
    SndfileApi.sf_close(handle);
    handle = OpenSoundFile(fileName, SFM_READ, &info);
    if (handle == nullptr) return false;
  }
  length = counted;
  return true;
}

void PEXO_SimpleMediaDecoder::CloseFile(bool /*fileChanges*/) noexcept {
  if (handle == nullptr) return;
  SndfileApi.sf_close(handle);
  handle = nullptr;
}

const char* PEXO_SimpleMediaDecoder::FileName() noexcept { return fileName != nullptr ? fileName : ""; }

const char* PEXO_SimpleMediaDecoder::TypeTag() noexcept { return kDecoderTypeTag; }

void PEXO_SimpleMediaDecoder::PropertiesText(char* text, int textSize, char* title, int titleSize) noexcept {
  BoundedCopy(title, titleSize, kPropertiesTitle);
  if (!IsReady()) {
    BoundedCopy(text, textSize, kNotOpenedText);
    return;
  }

  char timeText[kTimeTextSize] = {};
  HostApi.format_timestr(static_cast<double>(length) / sampleRate, timeText, kTimeTextSize);
  timeText[kTimeTextSize - 1] = '\0';
  const char* containerName = FormatName(info.format & SF_FORMAT_TYPEMASK);
  const char* encodingName = FormatName(info.format & SF_FORMAT_SUBMASK);
  const char* version = SndfileApi.sf_version_string();

  char work[kWorkTextSize];
  std::snprintf(work, sizeof work,
                "Length: %s:\r\nSamplerate: %.0f\r\nChannels: %d\r\nBits/sample: %d\r\n"
                "Format: %s\r\nEncoding: %s\r\nlibsndfile version: %s\r\n",
                timeText, sampleRate, channelCount, bitsPerSample, containerName, encodingName,
                version != nullptr ? version : kUnknownName);
  BoundedCopy(text, textSize, work);
}

bool PEXO_SimpleMediaDecoder::IsReady() noexcept {
  return handle != nullptr && bitsPerSample != 0 && channelCount != 0 && sampleRate > 0.0;
}

int PEXO_SimpleMediaDecoder::ChannelCount() noexcept { return channelCount; }

int PEXO_SimpleMediaDecoder::SampleBits() noexcept { return bitsPerSample; }

double PEXO_SimpleMediaDecoder::SampleRateHz() noexcept { return sampleRate; }

int64_t PEXO_SimpleMediaDecoder::LengthFrames() noexcept { return length; }

int64_t PEXO_SimpleMediaDecoder::CurrentFrame() noexcept { return position; }

void PEXO_SimpleMediaDecoder::SeekToFrame(int64_t frame) noexcept {
  if (handle == nullptr) return;
  // Consecutive reads need no seek; a refused seek is not reported. A frame
  // outside the file (or any frame of a stream of unknown length) goes to
  // libsndfile as it is, and the handle stays where it was when refused.
  if (frame != position) {
    if (seekStrategy == SeekStrategy::kLibrary || frame < 0 || frame > length) {
      SeekHandle(frame);
    } else {
      SeekExactly(frame);
    }
  }
  position = frame;
}

// libsndfile's seek is exact in PCM, FLAC, MP3 and Opus (within 1e-7 at the
// bit rates Opus spends on its transform mode) and the other codecs that
// seek at all. In Ogg Vorbis it is not: the first lapped block after its
// bisection is decoded without its predecessor, and a bisection that lands
// on the final page misplaces the stream by the frames that page trims off.
// GSM 6.10, the G.72x and NMS ADPCMs, VOX, XI's DPCM and an MP3 of unknown
// length refuse every seek, and DWVW seeks to frame 0 only.
void PEXO_SimpleMediaDecoder::ChooseSeekStrategy() {
  const int subtype = info.format & SF_FORMAT_SUBMASK;
  if (info.seekable == 0 || SeeksOnlyToTheStart(subtype)) {
    seekStrategy = SeekStrategy::kReadForward;
  } else if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG && subtype == SF_FORMAT_VORBIS) {
    seekStrategy = SeekStrategy::kPreRoll;
  } else {
    seekStrategy = SeekStrategy::kLibrary;
  }
  preRollFrames = -1;
  finalPageStart = -1;
}

void PEXO_SimpleMediaDecoder::SeekExactly(int64_t frame) {
  if (seekStrategy == SeekStrategy::kReadForward) {
    // Reading on is the only way forward; back means from the start.
    if (frame < handlePosition && !StartAgain()) return;
    ReadOnTo(frame);
    return;
  }
  if (preRollFrames < 0) {
    const VorbisLayout layout = ReadVorbisLayout(fileName);
    preRollFrames = layout.longBlockFrames > 0 ? layout.longBlockFrames : kLargestVorbisBlock;
    // Unknown, the whole stream counts as final: seeks read on from frame 0.
    finalPageStart = layout.finalPageFrames >= 0 && layout.finalPageFrames <= length
                         ? length - layout.finalPageFrames
                         : 0;
  }
  // A target a pre-roll ahead or less costs no more read straight on.
  if (frame >= handlePosition && frame - handlePosition <= preRollFrames) {
    ReadOnTo(frame);
    return;
  }
  // One long block early, so the block lapped into the target is decoded
  // with its predecessor, and never from inside the final page.
  const int64_t start = std::max<int64_t>(0, std::min(frame, finalPageStart) - preRollFrames);
  if (!SeekHandle(start) || handlePosition > frame) {
    if (!SeekHandle(0)) return;
  }
  ReadOnTo(frame);
}

bool PEXO_SimpleMediaDecoder::SeekHandle(int64_t frame) {
  const sf_count_t reached = SndfileApi.sf_seek(handle, frame, SEEK_SET);
  if (reached < 0) return false;
  handlePosition = reached;
  return true;
}

bool PEXO_SimpleMediaDecoder::ReadOnTo(int64_t frame) {
  if (info.channels <= 0 || info.channels > kSkipChunkSamples) return false;
  double discarded[kSkipChunkSamples];
  const int64_t chunkFrames = kSkipChunkSamples / info.channels;
  while (handlePosition < frame) {
    const int64_t wanted = std::min(chunkFrames, frame - handlePosition);
    sf_count_t read = SndfileApi.sf_readf_double(handle, discarded, wanted);
    if (read <= 0) return false;
    handlePosition += std::min<int64_t>(read, wanted);
  }
  return true;
}

// A seek to frame 0 where libsndfile makes one; else, for a regular file
// (never a pipe, whose reopening would wait for a writer), the file opened
// again, which replaces the handle only when it opens with the same shape.
bool PEXO_SimpleMediaDecoder::StartAgain() {
  if (SndfileApi.sf_seek(handle, 0, SEEK_SET) == 0) {
    handlePosition = 0;
    return true;
  }
  if (fileName == nullptr || !IsRegularFile(fileName)) return false;
  SF_INFO again{};
  again.format = SF_ENDIAN_BIG;
  SNDFILE* fresh = OpenSoundFile(fileName, SFM_READ, &again);
  if (fresh == nullptr) return false;
  if (again.format != info.format || again.channels != info.channels || again.samplerate != info.samplerate) {
    SndfileApi.sf_close(fresh);
    return false;
  }
  SndfileApi.sf_close(handle);
  handle = fresh;
  handlePosition = 0;
  return true;
}

int PEXO_SimpleMediaDecoder::ReadFrames(double* buffer, int frameCount) noexcept {
  if (handle == nullptr) return 0;
  sf_count_t read = SndfileApi.sf_readf_double(handle, buffer, frameCount);
  // Held to what the host asked for: the buffer has room for no more, and
  // some of libsndfile's codecs (VOX ADPCM asked for an odd count) report
  // more frames than they deliver.
  if (read > frameCount) read = frameCount;
  if (read < 0) read = 0;
  int frames = static_cast<int>(read);
  HostApi.update_disk_counters(BitsRead(bitsPerSample, info.channels, frames), 0);
  position = Advance(position, frames);
  handlePosition = Advance(handlePosition, frames);
  return frames;
}
