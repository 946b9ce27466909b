// Base of the decoder tests: the recording host in HostApi, libsndfile
// bound, and helpers shared by the test files.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

#include "binding/sndfile_api.h"
#include "decoder/decoder.h"
#include "tests/common/test_host.h"
#include "tests/decoder/fixture_files.h"

class DecoderTest : public testing::Test {
 protected:
  void SetUp() override {
    test_host::Reset();
    test_host::InstallIntoHostApi();
    ASSERT_EQ(LoadSndfile(), 0);
  }

  static std::vector<test_host::DiskCounterCall>& DiskCounters() {
    return test_host::Recorded().diskCounters;
  }
};

// A handle on the same file opened with libsndfile directly, as reference.
class DirectFile {
 public:
  explicit DirectFile(const std::string& path) { handle = sf_open(path.c_str(), SFM_READ, &info); }
  ~DirectFile() {
    if (handle != nullptr) sf_close(handle);
  }
  DirectFile(const DirectFile&) = delete;
  DirectFile& operator=(const DirectFile&) = delete;

  // Every frame of the file, read in one call.
  std::vector<double> AllSamples() {
    std::vector<double> samples(static_cast<size_t>(info.frames) * info.channels);
    sf_seek(handle, 0, SEEK_SET);
    sf_readf_double(handle, samples.data(), info.frames);
    return samples;
  }

  SNDFILE* handle;
  SF_INFO info{};
};
