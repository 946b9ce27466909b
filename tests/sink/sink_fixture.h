// Shared fixture of the sink tests: libsndfile bound, the recording host in
// HostApi, a scratch folder, configuration blocks and captured output.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "binding/sndfile_api.h"
#include "tests/common/process_id.h"
#include "tests/common/test_host.h"

class SinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadSndfile(), 0);
    test_host::InstallIntoHostApi();
    test_host::Reset();
    // A fresh folder per test: the process's id and a count.
    static int made = 0;
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("pexo-sink-" + std::to_string(test_host::ProcessId()) + "-" + std::to_string(++made));
    std::error_code error;
    std::filesystem::remove_all(path, error);
    ASSERT_TRUE(std::filesystem::create_directory(path, error)) << path.string();
    folder = path.string();
  }
  void TearDown() override {
    test_host::Reset();
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }

  std::string Path(const std::string& name) const { return folder + "/" + name; }

  // A 40-byte configuration block: tag (or another word), format word, quality.
  static std::vector<unsigned char> Block(int32_t formatWord, float quality, bool tagged = true) {
    std::vector<unsigned char> block(40, 0xEE);
    uint32_t tag = tagged ? kSinkTypeTag : 0x12345678u;
    std::memcpy(block.data(), &tag, 4);
    std::memcpy(block.data() + 4, &formatWord, 4);
    std::memcpy(block.data() + 8, &quality, 4);
    return block;
  }

  // What f printed to standard output.
  template <typename Function>
  static std::string Printed(Function f) {
    ::testing::internal::CaptureStdout();
    f();
    return ::testing::internal::GetCapturedStdout();
  }

  std::string folder;
};
