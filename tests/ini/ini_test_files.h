// Scratch ini files for the ini tests: a fresh folder per test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

class IniFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pexo-ini-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  std::string Write(const std::string& content, const std::string& name = "test.ini") {
    std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string folder;
};
