// ReadSinkDefaults: the stored block from the host's ini file, and every way
// that reading it fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "sink/sink.h"
#include "tests/common/stored_defaults.h"
#include "tests/sink/sink_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;
using test_ini::DefaultsSection;
using test_ini::StructForm;

// A stored block: the tag (or not), AIFF float, quality 0.75, then counting bytes.
Bytes Stored(size_t size, bool tagged = true) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 3 + 1);
  const unsigned char head[12] = {0x66, 0x64, 0x6E, 0x73, 0x06, 0x00, 0x02, 0x00, 0x00, 0x00, 0x40, 0x3F};
  for (size_t i = 0; i < size && i < 12; ++i) bytes[i] = head[i];
  if (!tagged && size > 0) bytes[0] = 0x67;
  return bytes;
}

const std::string kSection = "[libsndfile sink defaults]\n";

struct DefaultsCase {
  const char* what;
  std::string ini;  // empty: no ini file
  int result;
  Bytes block;  // what the result points at
};

class Defaults : public SinkTest, public ::testing::WithParamInterface<DefaultsCase> {
 protected:
  void UseIni(const std::string& content) {
    test_host::IniPath() = Path("host.ini");
    if (!content.empty()) std::ofstream(test_host::IniPath(), std::ios::binary) << content;
  }
};

TEST_P(Defaults, ReadsTheStoredBlockOrNothing) {
  const DefaultsCase& c = GetParam();
  UseIni(c.ini);
  const unsigned char sentinel = 0;
  const void* block = &sentinel;
  EXPECT_EQ(Printed([&] { EXPECT_EQ(ReadSinkDefaults(&block, kSinkDefaultsSection), c.result); }), "");
  if (c.result == 0) {
    EXPECT_EQ(block, &sentinel) << "block changed on failure";
    return;
  }
  const unsigned char* bytes = static_cast<const unsigned char*>(block);
  EXPECT_EQ(Bytes(bytes, bytes + c.result), c.block);
}

const std::string kHex32 = StructForm(Stored(32));

INSTANTIATE_TEST_SUITE_P(
    Files, Defaults,
    ::testing::Values(
        DefaultsCase{"no ini file", "", 0, {}},
        DefaultsCase{"no section", "[other]\ndefault_size=32\ndefault=" + kHex32 + "\n", 0, {}},
        DefaultsCase{"size missing", kSection + "default=" + kHex32 + "\n", 0, {}},
        DefaultsCase{"size 0", DefaultsSection("0", kHex32), 0, {}},
        DefaultsCase{"size negative", DefaultsSection("-32", kHex32), 0, {}},
        DefaultsCase{"size not a number", DefaultsSection("abc", kHex32), 0, {}},
        DefaultsCase{"block missing", kSection + "default_size=32\n", 0, {}},
        DefaultsCase{"size 32", DefaultsSection("32", kHex32), 32, Stored(32)},
        DefaultsCase{"checksum altered",
                     DefaultsSection("32", kHex32.substr(0, 64) + "00"), 0, {}},
        DefaultsCase{"64 digits for size 32", DefaultsSection("32", kHex32.substr(0, 64)),
                     0, {}},
        DefaultsCase{"size 12", DefaultsSection("12", StructForm(Stored(12))), 12, Stored(12)},
        DefaultsCase{"size 40", DefaultsSection("40", StructForm(Stored(40))), 40, Stored(40)},
        DefaultsCase{"untagged", DefaultsSection("32", StructForm(Stored(32, false))), 32,
                     Stored(32, false)},
        DefaultsCase{"size larger than the block", DefaultsSection("33", kHex32), 0, {}},
        DefaultsCase{"size beyond any buffer", DefaultsSection("2147483647", kHex32), 0, {}},
        DefaultsCase{"crlf and blanks", "[ Libsndfile Sink Defaults ]\r\n Default_Size = 32 \r\nDEFAULT = " +
                                            kHex32 + " \r\n",
                     32, Stored(32)}),
    [](const ::testing::TestParamInfo<DefaultsCase>& info) {
      std::string name;
      for (const char* c = info.param.what; *c != '\0'; ++c) name += std::isalnum(*c) ? *c : '_';
      return name;
    });

TEST_F(Defaults, EachCallReadsTheFileAgainAndMayMoveTheBlock) {
  UseIni(DefaultsSection("32", kHex32));
  const void* first = nullptr;
  ASSERT_EQ(ReadSinkDefaults(&first, kSinkDefaultsSection), 32);

  const Bytes large = Stored(200000);
  ASSERT_TRUE(WritePrivateProfileStructA(kSinkDefaultsSection, "default", large.data(),
                                         static_cast<UINT>(large.size()), test_host::IniPath().c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA(kSinkDefaultsSection, "default_size", "200000",
                                         test_host::IniPath().c_str()));
  const void* second = nullptr;
  ASSERT_EQ(ReadSinkDefaults(&second, kSinkDefaultsSection), 200000);
  const unsigned char* bytes = static_cast<const unsigned char*>(second);
  EXPECT_EQ(Bytes(bytes, bytes + large.size()), large);  // only the newest pointer is used

  const Bytes small = Stored(16);
  ASSERT_TRUE(WritePrivateProfileStructA(kSinkDefaultsSection, "default", small.data(), 16,
                                         test_host::IniPath().c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA(kSinkDefaultsSection, "default_size", "16", test_host::IniPath().c_str()));
  const void* third = nullptr;
  ASSERT_EQ(ReadSinkDefaults(&third, kSinkDefaultsSection), 16);
  bytes = static_cast<const unsigned char*>(third);
  EXPECT_EQ(Bytes(bytes, bytes + 16), small);
}

// A size beyond any real block is damage, not a request to reserve that
// much of the host's memory: a well-formed value of 1 MiB + 1 bytes is
// refused, one of 1 MiB still reads.
TEST_F(Defaults, ASizeAbove1MiBCountsAsDamaged) {
  UseIni(kSection);
  for (size_t size : {size_t{1} << 20, (size_t{1} << 20) + 1}) {
    const Bytes block = Stored(size);
    ASSERT_TRUE(WritePrivateProfileStructA(kSinkDefaultsSection, "default", block.data(),
                                           static_cast<UINT>(block.size()), test_host::IniPath().c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA(kSinkDefaultsSection, "default_size", std::to_string(size).c_str(),
                                           test_host::IniPath().c_str()));
    const void* read = nullptr;
    EXPECT_EQ(ReadSinkDefaults(&read, kSinkDefaultsSection), size > (size_t{1} << 20) ? 0 : static_cast<int>(size))
        << size;
  }
}

}  // namespace
