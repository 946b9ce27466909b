// The panel's start from the stored defaults in the host's ini file, for a
// block that carries no settings of its own.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/common/stored_defaults.h"
#include "tests/panel/panel_fixture.h"

namespace {

using namespace panel_test;

class StoredDefaults : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    path = testing::TempDir() + "panel_defaults_" + std::to_string(getpid()) + ".ini";
    test_host::IniPath() = path;
  }
  void TearDown() override {
    std::remove(path.c_str());
    PanelTest::TearDown();
  }
  // Another section with a default_size of its own, then the stored
  // defaults: `size` and the bytes in struct form, their checksum plus `damage`.
  void Store(const std::vector<unsigned char>& bytes, size_t size, int damage = 0) {
    std::ofstream(path) << "[other]\ndefault_size=4\n"
                        << test_ini::DefaultsSection(std::to_string(size), test_ini::StructForm(bytes, damage));
  }
  std::string path;
};

std::vector<unsigned char> Stored(int32_t formatWord, float quality, size_t size, bool tagged = true) {
  auto block = MakeBlock(formatWord, quality, 0x11);
  std::vector<unsigned char> bytes(block.begin(), block.end());
  bytes.resize(size, 0x22);
  if (!tagged) bytes[0] = 0;
  return bytes;
}

TEST_F(StoredDefaults, ATagOnlyBlockOpensOnAStoredBlockOf32OrMoreTaggedBytes) {
  const uint32_t tagOnly = kTag;
  for (size_t size : {32u, 40u}) {
    Store(Stored(0x010002, 0.75f, size), size);
    PanelDriver panel = Open(&tagOnly, 4);
    EXPECT_EQ(panel.SelectedData(kFormatList), 0x010000) << size;
    EXPECT_EQ(panel.SelectedData(kEncodingList), 0x010002) << size;
    EXPECT_EQ(panel.SliderPosition(), 75) << size;
    EXPECT_EQ(panel.Label(), "0.75") << size;
    EXPECT_EQ(panel.Query().formatWord, 0x010002u) << size;
    DestroyWindow(panel.Handle());
  }
}

TEST_F(StoredDefaults, UnusableStoredBlocksFallBackToTheBuiltInDefault) {
  const uint32_t tagOnly = kTag;
  const struct {
    const char* what;
    std::vector<unsigned char> bytes;
    size_t size;
    int damage;
  } kCases[] = {
      {"checksum altered", Stored(0x010002, 0.75f, 32), 32, 1},
      {"shorter than 32 bytes", Stored(0x010002, 0.75f, 12), 12, 0},
      {"no tag", Stored(0x010002, 0.75f, 32, false), 32, 0},
      {"size says more than the value holds", Stored(0x010002, 0.75f, 32), 33, 0},
  };
  for (const auto& c : kCases) {
    Store(c.bytes, c.size, c.damage);
    PanelDriver panel = Open(&tagOnly, 4);
    EXPECT_EQ(panel.SelectedData(kEncodingList), 0x020002) << c.what;
    EXPECT_EQ(panel.SliderPosition(), 50) << c.what;
    DestroyWindow(panel.Handle());
  }
}

TEST_F(StoredDefaults, AWholeGivenBlockWinsOverTheStoredOne) {
  Store(Stored(0x010002, 0.75f, 32), 32);
  auto block = MakeBlock(0x020002, 0.25f);
  PanelDriver panel = Open(block);
  EXPECT_EQ(panel.SelectedData(kEncodingList), 0x020002);
  EXPECT_EQ(panel.SliderPosition(), 25);
}

}  // namespace
