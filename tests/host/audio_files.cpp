// Test files, made and checked with libsndfile.
#include "tests/host/audio_files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace host_test {
namespace {

void RemoveTree(const std::string& path) {
  struct stat status;
  if (lstat(path.c_str(), &status) != 0) return;
  if (S_ISDIR(status.st_mode)) {
    for (const std::string& name : FolderNames(path)) RemoveTree(path + "/" + name);
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

}  // namespace

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  path = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/pexo-host-test-XXXXXX";
  if (mkdtemp(&path[0]) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
}

TempFolder::~TempFolder() { RemoveTree(path); }

std::vector<double> Tones(int64_t frames, int channels, int rate) {
  const double pi = std::acos(-1.0);
  std::vector<double> samples(static_cast<size_t>(frames * channels));
  for (int64_t frame = 0; frame < frames; ++frame) {
    for (int channel = 0; channel < channels; ++channel) {
      double frequency = 220.0 * (channel + 1) + 30.0;
      samples[static_cast<size_t>(frame * channels + channel)] =
          0.8 * std::sin(2 * pi * frequency * static_cast<double>(frame) / rate);
    }
  }
  return samples;
}

void WriteFile(const std::string& path, int format, int channels, int rate, const std::vector<double>& samples) {
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = rate;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
  EXPECT_EQ(sf_write_double(file, samples.data(), static_cast<sf_count_t>(samples.size())),
            static_cast<sf_count_t>(samples.size()));
  sf_close(file);
}

bool ReadFile(const std::string& path, Audio* audio) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return false;
  audio->channels = info.channels;
  audio->rate = info.samplerate;
  audio->format = info.format;
  audio->samples.assign(static_cast<size_t>(info.frames * info.channels), 0.0);
  sf_count_t got = sf_readf_double(file, audio->samples.data(), info.frames);
  audio->samples.resize(static_cast<size_t>(got * info.channels));
  sf_close(file);
  return true;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void PutFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

bool Exists(const std::string& path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0;
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* directory = opendir(folder.c_str());
  if (directory == nullptr) return names;
  while (dirent* entry = readdir(directory)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(directory);
  std::sort(names.begin(), names.end());
  return names;
}

RunResult HostTest::Host(const std::vector<std::string>& arguments, RunOptions options) {
  options.environment.insert(options.environment.begin(), "XDG_CONFIG_HOME=" + (folder / "config"));
  return RunHost(arguments, options);
}

}  // namespace host_test
