// PEXO_SimpleMediaDecoder: the host's decoder interface on top of libsndfile.
// It opens one file by name for reading, reports its shape, counts a frame
// position and reads interleaved 64-bit frames straight into the caller's
// buffer.
//
// Length: libsndfile's count, when it knows one. Where it does not (a
// truncated Ogg file or an Ogg stream from a pipe, reported as its largest
// count), OpenFile reads a seekable file through once to count its frames
// and starts again at frame 0; an input that cannot be read twice (a pipe)
// reports length 0, meaning unknown: read until a read returns 0.
//
// Seeking: a seek inside the file delivers what a linear read delivers from
// that frame. Where libsndfile's own seek is exact (PCM, FLAC, MP3, Opus and
// most others) it is the only call; Ogg Vorbis and the codecs libsndfile
// cannot seek in get a strategy of their own (see SeekStrategy).
#pragma once

#include <sndfile.h>

#include <cstdint>

#include "abi/host_interface.h"

// The decoder's type tag, also the tag by which the host asks for a new one.
inline constexpr char kDecoderTypeTag[] = "KOVRA";

// Every operation may be called in any state: without an open file the
// decoder answers zeros and does nothing on reads and seeks. Decoders are
// created with the plug-in's new and the host destroys them through slot 0
// (the virtual destructor, or on MSVC's layout the deleting destructor),
// which frees them inside the plug-in as well.
class PEXO_SimpleMediaDecoder : public ISimpleMediaDecoder {
 public:
  PEXO_SimpleMediaDecoder() = default;
#if PEXO_MSVC_TABLES
  void* DeletingDestructor(unsigned flags) noexcept override { return DeleteFromSlot0(this, flags); }
  ~PEXO_SimpleMediaDecoder();
#else
  ~PEXO_SimpleMediaDecoder() override;
#endif
  PEXO_SimpleMediaDecoder(const PEXO_SimpleMediaDecoder&) = delete;
  PEXO_SimpleMediaDecoder& operator=(const PEXO_SimpleMediaDecoder&) = delete;

  // A new, unopened decoder holding its own copy of this one's name (none
  // when memory for the copy runs out).
  ISimpleMediaDecoder* MakeCopy() noexcept override;
  // Closes, takes the new name (null keeps the stored one) and opens it.
  // The outcome shows in IsReady.
  void OpenFile(const char* path) noexcept override;
  // Closes the file; name, per-file values and position stay.
  void CloseFile(bool fileChanges) noexcept override;
  const char* FileName() noexcept override;
  const char* TypeTag() noexcept override;
  // Fills title and text, each bounded by its size: at most that many
  // bytes, zero bytes after a shorter text, no terminator after a longer one.
  void PropertiesText(char* text, int textSize, char* title, int titleSize) noexcept override;
  bool IsReady() noexcept override;
  int ChannelCount() noexcept override;
  int SampleBits() noexcept override;
  double SampleRateHz() noexcept override;
  int64_t LengthFrames() noexcept override;
  int64_t CurrentFrame() noexcept override;
  // Seeks only when frame differs from the counted position; the position
  // becomes frame even when the library refuses the seek. A frame outside
  // 0 to the length is passed to libsndfile, which refuses it.
  void SeekToFrame(int64_t frame) noexcept override;
  // Reads up to frameCount frames into buffer, which has room for
  // frameCount x channel count samples; returns the frames read.
  int ReadFrames(double* buffer, int frameCount) noexcept override;

 private:
  // For an open handle whose length libsndfile does not know: sets length
  // by counting (0 for a pipe). False when the file could not be opened
  // again after counting; the decoder is then closed.
  bool FindLength();

  // How seeks reach their frame in the open file.
  enum class SeekStrategy {
    kLibrary,      // libsndfile's seek is exact
    kPreRoll,      // Ogg Vorbis: seek a long block early, away from the final page, and read on
    kReadForward,  // no seek in the codec: read on, or start again from frame 0 and read on
  };
  void ChooseSeekStrategy();
  // Moves the handle to frame, 0 <= frame <= length, by the strategy.
  void SeekExactly(int64_t frame);
  // libsndfile's seek; the handle's position follows when it succeeds.
  bool SeekHandle(int64_t frame);
  // Reads and discards frames up to frame; false when the file ends first.
  bool ReadOnTo(int64_t frame);
  // Puts the handle at frame 0: a seek, else the file opened again.
  bool StartAgain();

  SeekStrategy seekStrategy = SeekStrategy::kLibrary;
  // For kPreRoll: the frames read before a target, and the first frame
  // that only the final page completes (read from the file at the first
  // seek that needs them; -1 until then).
  int64_t preRollFrames = -1;
  int64_t finalPageStart = -1;
  // Where libsndfile's handle stands: the frame its next read delivers.
  int64_t handlePosition = 0;

  SNDFILE* handle = nullptr;
  SF_INFO info{};
  char* fileName = nullptr;  // owned; new[] of the plug-in
  int channelCount = 0;
  int bitsPerSample = 0;
  double sampleRate = 0.0;
  int64_t position = 0;
  int64_t length = 0;
};
