// Audio files for the seek tests, each written on first use into a folder
// of this test process (removed at its exit): by libsndfile itself, or by
// an encoder program from a source WAV that libsndfile writes.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace encoded {

struct EncodedFile {
  const char* name;     // file name, its extension the container's
  const char* tool;     // "libsndfile", or the program that encodes
  const char* command;  // for a program: its arguments, {in} and {out} replaced
  int format;           // for libsndfile: the format word written
  int channels;
  int sampleRate;
  bool lossy;  // compared within 1e-4 rather than exactly
};

void PrintTo(const EncodedFile& file, std::ostream* out);

const std::vector<EncodedFile>& All();

// True when the row's encoder can be run here.
bool ToolAvailable(const EncodedFile& file);

// Writes the file if it is not there yet; its path, or "" with why in
// *failure when it could not be written.
std::string PathOf(const EncodedFile& file, std::string* failure);

// Seconds of audio in every file: long enough for several Ogg pages and for
// seeks further apart than libsndfile's own read-on distance (2 s).
constexpr int kSeconds = 5;

}  // namespace encoded
