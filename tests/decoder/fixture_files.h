// Audio files for the decoder tests, written with libsndfile on first use
// into a folder of this test process and removed at its exit.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace fixtures {

struct AudioFile {
  const char* name;
  int format;  // libsndfile format word the file is written with
  int channels;
  int sampleRate;
  int nominalBits;  // what the decoder is to report for the file
};

// Test names and messages show the file's name.
void PrintTo(const AudioFile& file, std::ostream* out);

// Every fixture: WAV in six encodings, 8-bit AIFF, u-law, FLAC, Ogg Vorbis,
// CAF and PAF.
const std::vector<AudioFile>& All();
const AudioFile& Named(const std::string& name);

// The file's path; the file exists once this returns.
std::string PathOf(const AudioFile& file);
std::string PathOf(const std::string& name);

// A path inside the fixture folder that names no file.
std::string MissingPath();
// A path inside the fixture folder, for a file a test makes itself.
std::string ScratchPath(const std::string& name);

constexpr int kFramesWritten = 4000;

}  // namespace fixtures
