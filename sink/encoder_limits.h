// What some of libsndfile's encoders cannot take, and the writer therefore
// never hands them.
//
// Samples: the u-law and A-law encoders look a sample up in a table sized
// for [-1, 1], so a larger value reads past the table (a wrong code, or a
// crash from about 50 on); the MPEG layer III encoder aborts on values that
// are not finite or very large. For these three the writer limits samples
// to [-1, 1] and turns NaN into 0; every other encoding takes the block as
// it is.
//
// Rates: opening an MPEG layer III file at a rate MPEG does not have fails
// and leaks the encoder's state (some 220 KiB) inside libsndfile, and the
// HTK, SDS and VOC header writers divide by the rate, so a rate of 0 ends
// the process. The writer does not try these; sf_format_check ignores the
// rate and lets them through.
#pragma once

#include <sndfile.h>

#include "binding/sndfile_api.h"

// True for the subtypes of the format word that need bounded samples.
bool NeedsBoundedSamples(int formatWord);

// Writes count samples of channels-sample frames as sf_write_double does and
// returns what it returns. A block whose samples all lie in [-1, 1] goes to
// libsndfile untouched; one that does not goes through a bounded copy, a
// stack block at a time. The caller's block is never changed.
sf_count_t WriteBoundedSamples(SNDFILE* file, const double* samples, sf_count_t count, int channels);

// False when opening a file of this format word at this rate would fail
// after a leak, or crash.
bool WritableAtRate(int formatWord, int sampleRate);

// Why libsndfile would write a file of this format word, channel count and
// rate (at least 1) that reads back at another rate, or null. XI files read
// back at 44100 Hz and WVE files at 8000 Hz whatever was written; HTK keeps the rate as a whole
// number of 100 ns periods, and 8-bit mono VOC as a whole number of
// microseconds, both cut rather than rounded.
const char* RateFault(int formatWord, int channels, int sampleRate);
