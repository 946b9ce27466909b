// WritePrivateProfileStringA and WritePrivateProfileStructA: the edit lands
// where the reader looks, and nothing else of the file changes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/ini/ini_test_files.h"

namespace {

constexpr const char* kNoFile = "\x01(no file)";

struct EditCase {
  const char* what;
  std::string before;  // kNoFile: the file does not exist
  const char* section;
  const char* key;    // null: delete the section
  const char* value;  // null: delete the key
  std::string after;
};

class StringEdit : public IniFiles, public ::testing::WithParamInterface<EditCase> {};

TEST_P(StringEdit, ChangesOnlyTheKeyOrSection) {
  const EditCase& c = GetParam();
  std::string path = folder + "/edit.ini";
  if (c.before != kNoFile) Write(c.before, "edit.ini");
  EXPECT_TRUE(WritePrivateProfileStringA(c.section, c.key, c.value, path.c_str()));
  EXPECT_EQ(Read(path), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, StringEdit,
    ::testing::Values(
        EditCase{"new file", kNoFile, "Sec", "key", "1", "[Sec]\nkey=1\n"},
        EditCase{"empty file", "", "Sec", "key", "1", "[Sec]\nkey=1\n"},
        EditCase{"new section after one without line end", "[A]\nx=1", "Sec", "key", "1",
                 "[A]\nx=1\n[Sec]\nkey=1\n"},
        EditCase{"replaces the first key of the first section",
                 "[A]\nkey=0\n[sec]\n; c\n  KEY = old  \nkey=2\n[Sec]\nkey=3\n", "Sec", "key", "new",
                 "[A]\nkey=0\n[sec]\n; c\nkey=new\nkey=2\n[Sec]\nkey=3\n"},
        EditCase{"adds after the last key of the section", "[Sec]\na=1\n; note\nb=2\n\n[B]\nc=3\n", "Sec",
                 "key", "v", "[Sec]\na=1\n; note\nb=2\nkey=v\n\n[B]\nc=3\n"},
        EditCase{"adds after a header without keys", "[Sec]\n\n[B]\n", "Sec", "key", "v", "[Sec]\nkey=v\n\n[B]\n"},
        EditCase{"adds after a last line without line end", "[Sec]\na=1", "Sec", "key", "v",
                 "[Sec]\na=1\nkey=v\n"},
        EditCase{"keeps crlf", "[A]\r\nx=1\r\n", "Sec", "key", "v", "[A]\r\nx=1\r\n[Sec]\r\nkey=v\r\n"},
        EditCase{"replaces a crlf line", "[Sec]\r\nkey=1\r\nz=2\r\n", "Sec", "key", "v",
                 "[Sec]\r\nkey=v\r\nz=2\r\n"},
        EditCase{"replaces the last line without line end", "[Sec]\nkey=1", "Sec", "key", "2", "[Sec]\nkey=2\n"},
        EditCase{"deletes a key", "[Sec]\na=1\nkey=2\nb=3\n", "Sec", "key", nullptr, "[Sec]\na=1\nb=3\n"},
        EditCase{"deleting a missing key changes nothing", "[Sec]\na=1", "Sec", "key", nullptr, "[Sec]\na=1"},
        EditCase{"deletes a section", "[A]\nx=1\n[Sec]\nkey=2\n\n[B]\ny=3\n", "Sec", nullptr, nullptr,
                 "[A]\nx=1\n[B]\ny=3\n"},
        EditCase{"deletes the last section", "[A]\nx=1\n[Sec]\nkey=2", "Sec", nullptr, nullptr, "[A]\nx=1\n"},
        EditCase{"deleting from no file creates none", kNoFile, "Sec", "key", nullptr, ""}),
    [](const ::testing::TestParamInfo<EditCase>& info) {
      std::string name;
      for (const char* c = info.param.what; *c != '\0'; ++c) name += std::isalnum(*c) ? *c : '_';
      return name;
    });

TEST_F(IniFiles, StructIsWrittenInTheFormTheReaderTakes) {
  std::string path = folder + "/struct.ini";
  const unsigned char data[5] = {0x66, 0x64, 0x6E, 0x73, 0xF0};
  ASSERT_TRUE(WritePrivateProfileStructA("Sec", "default", data, sizeof data, path.c_str()));
  EXPECT_EQ(Read(path), "[Sec]\ndefault=66646E73F09B\n");  // 0x66+0x64+0x6E+0x73+0xF0 = 0x29B

  unsigned char read[5] = {};
  EXPECT_TRUE(GetPrivateProfileStructA("Sec", "default", read, sizeof read, path.c_str()));
  EXPECT_EQ(std::vector<unsigned char>(read, read + 5), std::vector<unsigned char>(data, data + 5));

  ASSERT_TRUE(WritePrivateProfileStructA("Sec", "default", nullptr, 0, path.c_str()));
  EXPECT_EQ(Read(path), "[Sec]\n");
}

TEST_F(IniFiles, LargeStructRoundTrips) {
  std::string path = folder + "/large.ini";
  std::vector<unsigned char> data(100000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7 + i / 256);
  ASSERT_TRUE(WritePrivateProfileStructA("Sec", "default", data.data(), data.size(), path.c_str()));
  std::vector<unsigned char> read(data.size());
  EXPECT_TRUE(GetPrivateProfileStructA("Sec", "default", read.data(), read.size(), path.c_str()));
  EXPECT_EQ(read, data);
}

TEST_F(IniFiles, RefusedWritesLeaveTheFileAlone) {
  const std::string before = "[Sec]\nkey=1\n";
  std::string path = Write(before);
  struct {
    const char* section;
    const char* key;
    const char* value;
  } refused[] = {
      {nullptr, "key", "v"},   {"Se\nc", "key", "v"}, {"Sec", "k\ney", "v"}, {"Sec", "k=y", "v"},
      {"Sec", "[key", "v"},    {"Sec", " ;key", "v"}, {"Sec", "key", "v\r"},
  };
  for (const auto& r : refused) {
    EXPECT_FALSE(WritePrivateProfileStringA(r.section, r.key, r.value, path.c_str())) << r.key;
  }
  EXPECT_FALSE(WritePrivateProfileStringA("Sec", "key", "v", nullptr));
  EXPECT_FALSE(WritePrivateProfileStructA("Sec", nullptr, "x", 1, path.c_str()));
  EXPECT_EQ(Read(path), before);

  std::string inMissingFolder = folder + "/missing/x.ini";
  EXPECT_FALSE(WritePrivateProfileStringA("Sec", "key", "v", inMissingFolder.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("Sec", "key", "v", folder.c_str()));  // a folder
}

TEST_F(IniFiles, ReplacingKeepsThePermissions) {
  std::string path = Write("[Sec]\nkey=1\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", "key", "2", path.c_str()));
  struct stat status {};
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  EXPECT_EQ(GetPrivateProfileIntA("Sec", "key", 0, path.c_str()), 2u);
}

}  // namespace
