// Test files: a private folder per test, audio made and read with
// libsndfile directly (independently of the plug-in), and a fixture that
// runs pexo-host with its configuration inside that folder.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

#include "tests/host/host_runner.h"

namespace host_test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path; }
  std::string operator/(const std::string& name) const { return path + "/" + name; }

 private:
  std::string path;
};

struct Audio {
  int channels = 0;
  int rate = 0;
  int format = 0;
  std::vector<double> samples;  // interleaved
  int64_t Frames() const { return channels > 0 ? static_cast<int64_t>(samples.size()) / channels : 0; }
};

// Deterministic test content: a different tone per channel, at most 0.8.
std::vector<double> Tones(int64_t frames, int channels, int rate);
// Writes with libsndfile; fails the test when it cannot.
void WriteFile(const std::string& path, int format, int channels, int rate, const std::vector<double>& samples);
// Reads with libsndfile; false when it cannot open the file.
bool ReadFile(const std::string& path, Audio* audio);

std::string FileBytes(const std::string& path);
void PutFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
// Names in the folder, without "." and "..".
std::vector<std::string> FolderNames(const std::string& folder);

// A test with a private folder; pexo-host runs with XDG_CONFIG_HOME there,
// so that no test sees another's (or the user's) stored defaults.
class HostTest : public ::testing::Test {
 protected:
  RunResult Host(const std::vector<std::string>& arguments, RunOptions options = {});
  std::string IniPath() const { return folder / "config/pexo-host/host.ini"; }
  TempFolder folder;
};

}  // namespace host_test
