// GetPrivateProfileIntA and GetPrivateProfileStructA over well-formed and
// damaged files.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/common/stored_defaults.h"
#include "tests/ini/ini_test_files.h"

namespace {

using Bytes = std::vector<unsigned char>;
using test_ini::HexCase;
using test_ini::StructForm;

std::string Garbage(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

const std::string kLongLine(1 << 20, 'x');
const std::string kLongBlanks(1 << 20, ' ');

struct IntCase {
  const char* what;
  std::string content;
  UINT expected;  // the default is 7
};

class IntValue : public IniFiles, public ::testing::WithParamInterface<IntCase> {};

TEST_P(IntValue, ReadsTheFirstMatchingKeyOrTheDefault) {
  std::string path = Write(GetParam().content);
  EXPECT_EQ(GetPrivateProfileIntA("Sec", "key", 7, path.c_str()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IntValue,
    ::testing::Values(
        IntCase{"plain", "[Sec]\nkey=42\n", 42},
        IntCase{"names without regard to case", "[sEC]\nKEY=5\n", 5},
        IntCase{"surrounding blanks", "  [ \tSec  ]  \n\t key \t=  12 \t\n", 12},
        IntCase{"crlf", "[Sec]\r\nkey=3\r\n", 3},
        IntCase{"no final line end", "[Sec]\nkey=8", 8},
        IntCase{"first key wins", "[Sec]\nkey=1\nkey=2\n", 1},
        IntCase{"first section wins", "[Sec]\nother=1\n[Sec]\nkey=9\n", 7},
        IntCase{"other section", "[Other]\nkey=1\n[Sec]\nyek=2\n", 7},
        IntCase{"key before any section", "key=1\n[Sec]\n", 7},
        IntCase{"comment line", "[Sec]\n;key=1\n  ; key=3\nkey=2\n", 2},
        IntCase{"commented header", ";[Sec]\nkey=1\n", 7},
        IntCase{"text after the header", "[Sec] ; note\nkey=6\n", 6},
        IntCase{"name ends at the last bracket", "[Sec] x]\nkey=6\n", 7},
        IntCase{"header without bracket is no header", "[Sec]\n[Other\nkey=4\n", 4},
        IntCase{"section name prefix", "[Se]\nkey=1\n[Secs]\nkey=2\n", 7},
        IntCase{"key name prefix", "[Sec]\nke=1\nkeys=2\nk ey=3\n", 7},
        IntCase{"no '='", "[Sec]\nkey\nkey 5\n", 7},
        IntCase{"no '=' then the key", "[Sec]\nkey\nkey=4\n", 4},
        IntCase{"empty value", "[Sec]\nkey=\n", 7},
        IntCase{"blank value", "[Sec]\nkey=  \t \r\n", 7},
        IntCase{"negative", "[Sec]\nkey=-3\n", static_cast<UINT>(-3)},
        IntCase{"plus sign", "[Sec]\nkey=+8\n", 8},
        IntCase{"digits then text", "[Sec]\nkey=12abc\n", 12},
        IntCase{"digits then blank", "[Sec]\nkey=12 34\n", 12},
        IntCase{"text", "[Sec]\nkey=abc\n", 0},
        IntCase{"wraps modulo 2^32", "[Sec]\nkey=4294967297\n", 1},
        IntCase{"zero byte in value", std::string("[Sec]\nkey=1\0" "2\n", 14), 1},
        IntCase{"empty file", "", 7},
        IntCase{"byte order mark", "\xEF\xBB\xBF[Sec]\nkey=1\n", 1},
        IntCase{"binary garbage", Garbage(1 << 16, 1), 7},
        IntCase{"garbage around the key", Garbage(1 << 16, 2) + "\n[Sec]\nkey=5\n" + Garbage(1 << 16, 3), 5},
        IntCase{"long line before", "[Sec]\n" + kLongLine + "\nkey=11\n", 11},
        IntCase{"long header", "[" + kLongLine + "]\nkey=1\n[Sec]\nkey=2\n", 2},
        IntCase{"long key name", "[Sec]\nkey" + kLongLine + "=1\nkey=2\n", 2},
        IntCase{"long blanks around the name", "[Sec]\n" + kLongBlanks + "key" + kLongBlanks + "=13\n", 13},
        IntCase{"long blanks around the value", "[Sec]\nkey=" + kLongBlanks + "14" + kLongBlanks + "\n", 14},
        IntCase{"long value", "[Sec]\nkey=15" + kLongLine + "\n", 15},
        IntCase{"long line without end", "[Sec]\nkey=16\n" + kLongLine, 16}),
    [](const ::testing::TestParamInfo<IntCase>& info) {
      std::string name;
      for (const char* c = info.param.what; *c != '\0'; ++c) name += std::isalnum(*c) ? *c : '_';
      return name;
    });

TEST_F(IniFiles, IntWithoutFileOrNamesGivesTheDefault) {
  std::string path = Write("[Sec]\nkey=1\n");
  std::string missing = folder + "/missing.ini";
  EXPECT_EQ(GetPrivateProfileIntA("Sec", "key", -5, missing.c_str()), static_cast<UINT>(-5));
  EXPECT_EQ(GetPrivateProfileIntA("Sec", "key", 9, folder.c_str()), 9u);  // a folder
  EXPECT_EQ(GetPrivateProfileIntA("Sec", "key", 9, nullptr), 9u);
  EXPECT_EQ(GetPrivateProfileIntA(nullptr, "key", 9, path.c_str()), 9u);
  EXPECT_EQ(GetPrivateProfileIntA("Sec", nullptr, 9, path.c_str()), 9u);
}

struct StructCase {
  const char* what;
  std::string value;  // the text after "key="
  unsigned size;
  bool succeeds;
};

const Bytes kData = {0x66, 0x64, 0x6E, 0x73, 0x02, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x3F, 0xFF};

class StructValue : public IniFiles, public ::testing::WithParamInterface<StructCase> {};

TEST_P(StructValue, NeedsExactlyTheDigitsAndTheChecksum) {
  const StructCase& c = GetParam();
  std::string path = Write("[Sec]\nkey=" + c.value + "\n");
  Bytes read(c.size + 8, 0xAA);
  EXPECT_EQ(GetPrivateProfileStructA("Sec", "key", read.data(), c.size, path.c_str()), c.succeeds ? 1 : 0);
  if (c.succeeds) {
    EXPECT_EQ(Bytes(read.begin(), read.begin() + c.size), Bytes(kData.begin(), kData.begin() + c.size));
  }
  EXPECT_EQ(Bytes(read.begin() + c.size, read.end()), Bytes(8, 0xAA)) << "wrote past the size";
}

const std::string kHex = StructForm(kData);
const std::string kBadSum = StructForm(kData).substr(0, 2 * kData.size()) + "00";

INSTANTIATE_TEST_SUITE_P(
    Values, StructValue,
    ::testing::Values(
        StructCase{"upper case", kHex, 13, true},
        StructCase{"lower case", StructForm(kData, 0, HexCase::kLower), 13, true},
        StructCase{"surrounding blanks", "  " + kHex + " \t\r", 13, true},
        StructCase{"prefix of the data", StructForm(Bytes(kData.begin(), kData.begin() + 4)), 4, true},
        StructCase{"size 0 takes the checksum alone", "00", 0, true},
        StructCase{"checksum altered", kBadSum, 13, false},
        StructCase{"checksum missing", kHex.substr(0, 26), 13, false},
        StructCase{"one digit short", kHex.substr(1), 13, false},
        StructCase{"one digit more", kHex + "0", 13, false},
        StructCase{"longer than the size", kHex, 12, false},
        StructCase{"shorter than the size", kHex, 14, false},
        StructCase{"not a digit", "G" + kHex.substr(1), 13, false},
        StructCase{"blank inside", kHex.substr(0, 10) + " " + kHex.substr(10), 13, false},
        StructCase{"zero byte inside", kHex.substr(0, 10) + std::string(1, '\0') + kHex.substr(11), 13, false},
        StructCase{"empty", "", 13, false},
        StructCase{"empty for size 0", "", 0, false},
        StructCase{"very long", std::string(1 << 22, '0'), 4, false},
        StructCase{"garbage", Garbage(1 << 16, 4), 13, false}),
    [](const ::testing::TestParamInfo<StructCase>& info) {
      std::string name;
      for (const char* c = info.param.what; *c != '\0'; ++c) name += std::isalnum(*c) ? *c : '_';
      return name;
    });

TEST_F(IniFiles, StructFailsWithoutFileKeyOrStorage) {
  std::string path = Write("[Sec]\nkey=" + kHex + "\n");
  std::string missing = folder + "/missing.ini";
  unsigned char read[13];
  EXPECT_TRUE(GetPrivateProfileStructA("Sec", "key", read, 13, path.c_str()));
  EXPECT_FALSE(GetPrivateProfileStructA("Sec", "key", read, 13, missing.c_str()));
  EXPECT_FALSE(GetPrivateProfileStructA("Sec", "other", read, 13, path.c_str()));
  EXPECT_FALSE(GetPrivateProfileStructA("Other", "key", read, 13, path.c_str()));
  EXPECT_FALSE(GetPrivateProfileStructA("Sec", "key", nullptr, 13, path.c_str()));
  EXPECT_FALSE(GetPrivateProfileStructA(nullptr, "key", read, 13, path.c_str()));
  EXPECT_FALSE(GetPrivateProfileStructA("Sec", nullptr, read, 13, path.c_str()));
  EXPECT_FALSE(GetPrivateProfileStructA("Sec", "key", read, 13, nullptr));
}

}  // namespace
