// How much audio a container's header can describe. Past its limit a
// header with 32-bit (or narrower) size fields wraps, and libsndfile then
// reads the file back short or not at all; the writer stops at the limit
// and reports a short write instead. Limits measured with libsndfile 1.2.0:
//
//   AIFF, and WAV/WAVEX that cannot grow into RF64   4 GiB of file
//   HTK                                              2 GiB of file
//   VOC, unsigned 8-bit                              16 MiB of file
//   SDS                                              2^21 - 1 frames
//
// The others read back whole past 4 GiB (at 1 and 8 bytes a sample where
// they take both), or (RAW) have no header. A WAV or WAVEX that can grow
// into RF64 (rf64_growth.h) has no limit.
#pragma once

#include <cstdint>

constexpr int64_t kNoFrameLimit = INT64_MAX;

// The most bytes one sample of the subtype takes in any container: its
// width for PCM, floats, u-law and A-law; a bound for the compressed ones.
int64_t MostBytesPerSample(int subtype);

// The most frames of channels channels that a file of this format word can
// hold and still read back whole.
int64_t FrameLimit(int formatWord, int channels);

// Of values interleaved values (whole frames of channels values), how many
// may still be written after framesWritten frames without passing
// frameLimit. A count that is not whole frames is returned as it is:
// libsndfile refuses it anyway.
int64_t ValuesWithinLimit(int64_t values, int channels, int64_t framesWritten, int64_t frameLimit);
