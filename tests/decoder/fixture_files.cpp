// Writes the fixture audio files with libsndfile, linked directly.
#include "tests/decoder/fixture_files.h"

#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fixtures {
namespace {

const std::vector<AudioFile> kFiles = {
    {"wav_pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 16},
    {"wav_pcm24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 48000, 24},
    {"wav_pcm32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 3, 32000, 32},
    {"wav_u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 11025, 8},
    {"wav_float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 96000, 32},
    {"wav_double.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 2, 44100, 64},
    {"aiff_s8.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 2, 22050, 8},
    {"au_ulaw.au", SF_FORMAT_AU | SF_FORMAT_ULAW, 1, 8000, 16},
    {"flac_pcm24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 2, 44100, 24},
    {"ogg_vorbis.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2, 44100, 16},
    {"caf_pcm16.caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, 2, 48000, 16},
    {"paf_pcm24.paf", SF_FORMAT_PAF | SF_FORMAT_PCM_24, 2, 44100, 24},
};

// Removes the folder when the test process ends.
struct Folder {
  Folder() {
    path = std::filesystem::temp_directory_path() /
           ("pexo_decoder_tests_" + std::to_string(static_cast<long>(getpid())));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path path;
};

Folder& TheFolder() {
  static Folder folder;
  return folder;
}

// A tone per channel with a little deterministic noise, within -0.9..0.9.
void Write(const AudioFile& file, const std::string& path) {
  SF_INFO info{};
  info.samplerate = file.sampleRate;
  info.channels = file.channels;
  info.format = file.format;
  SNDFILE* handle = sf_open(path.c_str(), SFM_WRITE, &info);
  if (handle == nullptr) throw std::runtime_error("cannot write fixture " + path + ": " + sf_strerror(nullptr));
  std::vector<double> samples(static_cast<size_t>(kFramesWritten) * file.channels);
  unsigned noise = 12345;
  for (int frame = 0; frame < kFramesWritten; ++frame) {
    for (int channel = 0; channel < file.channels; ++channel) {
      noise = noise * 1103515245u + 12345u;
      double jitter = (static_cast<double>(noise >> 16) / 65536.0 - 0.5) * 0.1;
      samples[static_cast<size_t>(frame) * file.channels + channel] =
          0.8 * std::sin(frame * 0.01 * (channel + 1) + channel) + jitter;
    }
  }
  sf_writef_double(handle, samples.data(), kFramesWritten);
  sf_close(handle);
}

}  // namespace

const std::vector<AudioFile>& All() { return kFiles; }

void PrintTo(const AudioFile& file, std::ostream* out) { *out << file.name; }

const AudioFile& Named(const std::string& name) {
  for (const AudioFile& file : kFiles) {
    if (name == file.name) return file;
  }
  throw std::invalid_argument("no fixture " + name);
}

std::string PathOf(const AudioFile& file) {
  std::filesystem::path path = TheFolder().path / file.name;
  if (!std::filesystem::exists(path)) Write(file, path.string());
  return path.string();
}

std::string PathOf(const std::string& name) { return PathOf(Named(name)); }

std::string MissingPath() { return (TheFolder().path / "no_such_file.wav").string(); }

std::string ScratchPath(const std::string& name) { return (TheFolder().path / name).string(); }

}  // namespace fixtures
