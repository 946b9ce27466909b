// Integer encodings: how the writer hands samples to libsndfile so that an
// integer file read through the decoder and written at unity comes back
// bit for bit.
//
// libsndfile reads an n-bit sample s as s / 2^(n-1) but, by default, writes
// a value x as about x * (2^(n-1) - 1) (and some encoders floor where others
// round), so half of all samples would move by one step. The writer instead
// forms the integer itself: q = x * 2^(n-1) rounded to nearest (ties to
// even), limited to [-2^(n-1), 2^(n-1) - 1] (so +1.0 and above store the
// largest integer), 0 for NaN. It hands q to libsndfile in the one form
// each encoder converts without loss, found by measurement: with
// normalisation off, q itself (PCM, FLAC, DPCM), q * 2^(32-n) (DWVW, which
// works on 32-bit integers) or q * 2^16 (PAF's 24-bit packer); with
// normalisation and clipping on, q / 2^(n-1) (ALAC, which ignores the
// normalisation setting but scales by exactly 2^31 when clipping; SDS, which
// always does). Float, double and lossy encodings are not integer encodings
// here and take the block as it is.
#pragma once

#include <sndfile.h>

#include "binding/sndfile_api.h"

struct IntegerSamples {
  int bits = 0;           // 0: not an integer encoding
  double scale = 1.0;     // 2^(n-1): host sample to integer
  double lowest = 0.0;    // -2^(n-1)
  double highest = 0.0;   // 2^(n-1) - 1
  double unit = 1.0;      // integer to the value libsndfile is handed
  bool normalised = false;  // ALAC, SDS: normalisation stays on, clipping on
};

// What the subtype of the format word stores; bits 0 for every encoding
// that is not an integer one.
IntegerSamples IntegerSamplesFor(int formatWord);

// Sets an open file up for the values WriteIntegerSamples hands it.
void PrepareIntegerWrites(SNDFILE* file, const IntegerSamples& integer);

// Writes count samples of channels-sample frames as sf_write_double does and
// returns what it returns, each sample mapped as above through a stack
// chunk; the caller's block is never changed.
sf_count_t WriteIntegerSamples(SNDFILE* file, const IntegerSamples& integer, const double* samples,
                               sf_count_t count, int channels);

// Why the loaded libsndfile cannot write the format word with this many
// channels correctly, as one line without a newline; null when it can (as
// far as measured). Asks for the version only where a fault depends on it.
const char* IntegerEncodingFault(int formatWord, int channels);

// True when libsndfile of this version string sizes ALAC's packet table at
// 2 bytes a packet (before 1.2.3), or the string cannot be read.
bool AlacPacketTableOverruns(const char* version);
