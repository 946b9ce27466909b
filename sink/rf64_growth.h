// WAV renders that outgrow the 32-bit sizes of a RIFF header. The writer
// writes an ordinary WAV through libsndfile; when the closed file is larger
// than a RIFF header can describe, its header is rewritten as RF64: a ds64
// chunk with the 64-bit sizes goes in after "WAVE" and everything behind it
// moves up by the chunk's 36 bytes, once, at close. A file that stays under
// 4 GiB is left exactly as libsndfile wrote it.
//
// libsndfile's own RF64 writer cannot serve here: a file it "downgrades" to
// RIFF on close is not the WAV it writes otherwise (a JUNK chunk, an
// extensible format chunk and a fact chunk; read back it is WAVEX).
#pragma once

#include <cstdint>

// True when a file of this format word can grow into an RF64 that libsndfile
// reads back: a WAV or WAVEX container, little-endian, in a subtype that
// libsndfile's RF64 reader decodes (integer PCM, float, double, u-law,
// A-law). Other WAV subtypes and big-endian WAV (RIFX) keep the WAV limit.
bool GrowsIntoRf64(int formatWord);

// For the WAV file at path that libsndfile has closed, of a format word for
// which GrowsIntoRf64 holds, with frames frames of channels channels: when
// the file is larger than a RIFF header can describe, rewrites it as RF64.
// A render too short to need it leaves the file unopened. Returns false only
// when a rewrite was needed and did not succeed; the file is then as
// libsndfile left it unless moving its data up failed part way.
bool GrowIntoRf64IfNeeded(const char* path, int formatWord, int channels, int64_t frames);
