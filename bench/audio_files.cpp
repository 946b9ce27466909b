// Generation of the benchmark's input files with libsndfile.
#include "bench/audio_files.h"

#include <sndfile.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <stdexcept>

namespace bench {

const std::vector<AudioFormat>& ReadFormats() {
  static const std::vector<AudioFormat> formats = {
      {"WAV PCM_16", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {"WAV PCM_24", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
      {"WAV FLOAT", "wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
      {"FLAC 16-bit", "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
  };
  return formats;
}

const std::vector<AudioFormat>& SeekFormats() {
  static const std::vector<AudioFormat> formats = {
      {"OGG VORBIS (direct: inexact)", "oga", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
      {"OGG OPUS", "opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000},
      {"MP3", "mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
      {"WAV GSM 6.10 mono 8 kHz (direct: refused)", "wav", SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1},
  };
  return formats;
}

const std::vector<AudioFormat>& WriteFormats() {
  static const std::vector<AudioFormat> formats = {
      {"WAV PCM_16", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {"FLAC 16-bit", "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
  };
  return formats;
}

void FillSignal(double* samples, int64_t first, int64_t frames) {
  const double kTwoPi = 6.283185307179586;
  for (int64_t i = 0; i < frames; ++i) {
    const int64_t frame = first + i;
    const double t = static_cast<double>(frame) / kSampleRate;
    // A small hash of the frame index as noise, so any stretch of the file
    // can be generated on its own and comes out the same.
    uint32_t hash = static_cast<uint32_t>(frame) * 2654435761u;
    hash ^= hash >> 15;
    hash *= 2246822519u;
    hash ^= hash >> 13;
    const double noise = (static_cast<double>(hash & 0xFFFFu) / 32768.0 - 1.0) * 0.02;
    samples[2 * i] = 0.45 * std::sin(kTwoPi * 440.0 * t) + 0.2 * std::sin(kTwoPi * 3151.0 * t) + noise;
    samples[2 * i + 1] = 0.4 * std::sin(kTwoPi * 554.37 * t) + 0.25 * std::sin(kTwoPi * 97.0 * t) - noise;
  }
}

ScratchFolder::ScratchFolder(const std::string& base) {
  std::string pattern = base + "/pexo-bench-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("cannot create a folder in " + base);
  path = name.data();
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

bool WriteSignalFile(const std::string& path, const AudioFormat& format, int64_t frames,
                     std::string& error) {
  SF_INFO info{};
  info.samplerate = format.sampleRate;
  info.channels = format.channels;
  info.format = format.formatWord;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    error = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  const int64_t kBlock = 65536;
  std::vector<double> samples(static_cast<size_t>(kBlock * kChannels));
  for (int64_t done = 0; done < frames;) {
    const int64_t count = std::min(kBlock, frames - done);
    FillSignal(samples.data(), done, count);
    if (format.channels == 1) {
      for (int64_t i = 1; i < count; ++i) samples[static_cast<size_t>(i)] = samples[static_cast<size_t>(2 * i)];
    }
    if (sf_writef_double(file, samples.data(), count) != count) {
      error = "short write to " + path + ": " + sf_strerror(file);
      sf_close(file);
      return false;
    }
    done += count;
  }
  sf_close(file);
  return true;
}

}  // namespace bench
