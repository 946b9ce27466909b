// The audio files the benchmarks read: generated with libsndfile into a
// temporary folder of their own, deleted again at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct AudioFormat {
  const char* label;      // as the table shows it, e.g. "WAV PCM_16"
  const char* extension;  // file name extension
  int formatWord;         // libsndfile major | subtype
};

// The formats read through the plug-in and directly.
const std::vector<AudioFormat>& ReadFormats();
// The formats written.
const std::vector<AudioFormat>& WriteFormats();

constexpr int kChannels = 2;
constexpr int kSampleRate = 44100;

// The test signal, interleaved stereo: two tones and a little noise, the same
// on every call. Fills frames × kChannels samples from frame `first` on.
void FillSignal(double* samples, int64_t first, int64_t frames);

class ScratchFolder {
 public:
  // A new folder under base (created with mkdtemp).
  explicit ScratchFolder(const std::string& base);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path; }
  std::string File(const std::string& name) const { return path + "/" + name; }

 private:
  std::string path;
};

// Writes `frames` frames of the test signal in that format; false on failure.
bool WriteSignalFile(const std::string& path, const AudioFormat& format, int64_t frames,
                     std::string& error);

}  // namespace bench
