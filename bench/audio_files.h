// The audio files the benchmarks read: generated with libsndfile into a
// temporary folder of their own, deleted again at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

constexpr int kChannels = 2;
constexpr int kSampleRate = 44100;

struct AudioFormat {
  const char* label;      // as the table shows it, e.g. "WAV PCM_16"
  const char* extension;  // file name extension
  int formatWord;         // libsndfile major | subtype
  int sampleRate = kSampleRate;
  int channels = kChannels;  // 1 or kChannels; a mono file holds the left channel
};

// The formats read through the plug-in and directly.
const std::vector<AudioFormat>& ReadFormats();
// The formats only seeks are measured in: the lossy codecs, whose seeks
// the plug-in makes exact in its own way or leaves to libsndfile, and one
// codec libsndfile cannot seek in at all.
const std::vector<AudioFormat>& SeekFormats();
// The formats written.
const std::vector<AudioFormat>& WriteFormats();

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
