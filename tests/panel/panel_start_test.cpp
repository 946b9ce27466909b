// What a panel shows when it opens: which block it starts from, its lists
// as libsndfile's enumeration implies them, the selections and the
// quality, and what a query reports before the user does anything.
#include <cmath>
#include <cstring>

#include "panel/config_panel_template.h"
#include "tests/panel/panel_fixture.h"

namespace {

using namespace panel_test;

constexpr int32_t kAiff = 0x020000, kWav = 0x010000, kPcm16 = 0x0002;
constexpr int32_t kLittleEndian = 0x10000000;

TEST_F(PanelTest, OpenRefusesBlocksWithoutTheTagAndReadsNoShortBlock) {
  auto tagged = MakeBlock(kWav | kPcm16, 0.25f);
  auto untagged = tagged;
  untagged[0] ^= 1;
  // Exactly as long as said, so a read past the size is caught.
  auto* twoBytes = new unsigned char[2]{0x66, 0x64};
  const struct {
    const char* what;
    const void* block;
    int size;
  } kCases[] = {
      {"null block", nullptr, 32},
      {"two bytes", twoBytes, 2},
      {"size 3", tagged.data(), 3},
      {"negative size", tagged.data(), -32},
      {"no tag", untagged.data(), 32},
  };
  for (const auto& c : kCases) EXPECT_EQ(openConfigPanel(c.block, c.size, parent), nullptr) << c.what;
  delete[] twoBytes;
  EXPECT_EQ(GetDlgItem(parent, 0), nullptr) << "no panel was created";
}

TEST_F(PanelTest, TheDialogIsAHiddenChildWithTheTemplatesControls) {
  auto block = MakeBlock(kWav | kPcm16, 0.25f);
  PanelDriver panel = Open(block);
  EXPECT_EQ(GetParent(panel.Handle()), parent);
  ShowWindow(parent, SW_SHOW);
  EXPECT_FALSE(IsWindowVisible(panel.Handle())) << "showing it is left to the host";
  for (const DialogControlResource& control : kConfigPanelControls) {
    HWND item = GetDlgItem(panel.Handle(), control.id);
    ASSERT_NE(item, nullptr) << control.id;
    if (std::strcmp(control.className, "STATIC") == 0 && control.id != kQualityLabelId) {
      char text[64];
      GetWindowTextA(item, text, sizeof text);
      EXPECT_STREQ(text, control.text);
    }
  }
  EXPECT_EQ(SendDlgItemMessageA(panel.Handle(), kSlider, TBM_GETRANGEMIN, 0, 0), 0);
  EXPECT_EQ(SendDlgItemMessageA(panel.Handle(), kSlider, TBM_GETRANGEMAX, 0, 0), 100);
}

TEST_F(PanelTest, ATagOnlyBlockWithoutStoredDefaultsShowsTheBuiltInDefault) {
  const uint32_t tagOnly = kTag;
  PanelDriver panel = Open(&tagOnly, 4);
  std::vector<Entry> formats = ExpectedFormats();
  EXPECT_EQ(panel.Entries(kFormatList), formats);
  EXPECT_EQ(panel.SelectedData(kFormatList), kAiff);
  EXPECT_EQ(panel.Entries(kEncodingList), ExpectedEncodings(kAiff));
  EXPECT_EQ(panel.SelectedData(kEncodingList), kAiff | kPcm16);
  EXPECT_EQ(panel.Entries(kByteOrderList), ExpectedByteOrders(kAiff | kPcm16));
  EXPECT_EQ(panel.Selection(kByteOrderList), 0) << "Default Byte Order";
  EXPECT_EQ(panel.SliderPosition(), 50);
  EXPECT_EQ(panel.Label(), "0.50");
  Reported reported = panel.Query();
  EXPECT_EQ(reported.tag, kTag);
  EXPECT_EQ(reported.formatWord, static_cast<uint32_t>(kAiff | kPcm16));
  EXPECT_EQ(reported.quality, 0.5f);
}

TEST_F(PanelTest, BlocksShorterThan32BytesCountAsHavingNoSettings) {
  auto block = MakeBlock(kWav | kPcm16, 0.25f);
  for (int size : {4, 8, 12, 31}) {
    PanelDriver panel = Open(block.data(), size);
    EXPECT_EQ(panel.SelectedData(kEncodingList), kAiff | kPcm16) << size;
    EXPECT_EQ(panel.SliderPosition(), 50) << size;
    DestroyWindow(panel.Handle());
  }
}

TEST_F(PanelTest, AWav16BitBlockSelectsItsFormatEncodingAndDefaultByteOrder) {
  auto block = MakeBlock(kWav | kPcm16, 0.25f);
  PanelDriver panel = Open(block);
  EXPECT_EQ(panel.SelectedData(kFormatList), kWav);
  EXPECT_EQ(panel.Entries(kEncodingList), ExpectedEncodings(kWav));
  EXPECT_EQ(panel.SelectedData(kEncodingList), kWav | kPcm16);
  EXPECT_EQ(panel.Entries(kByteOrderList), ExpectedByteOrders(kWav | kPcm16));
  EXPECT_EQ(panel.Selection(kByteOrderList), 0);
  EXPECT_EQ(panel.SliderPosition(), 25);
  EXPECT_EQ(panel.Label(), "0.25");
  Reported reported = panel.Query();
  EXPECT_EQ(reported.formatWord, static_cast<uint32_t>(kWav | kPcm16));
  EXPECT_EQ(reported.quality, 0.25f);
}

TEST_F(PanelTest, AnExplicitByteOrderIsClearedForTheEncodingAndKeptForTheByteOrder) {
  auto block = MakeBlock(kLittleEndian | kWav | kPcm16, 0.25f);
  PanelDriver panel = Open(block);
  EXPECT_EQ(panel.SelectedData(kEncodingList), kWav | kPcm16);
  std::vector<Entry> orders = ExpectedByteOrders(kWav | kPcm16);
  EXPECT_EQ(panel.Entries(kByteOrderList), orders);
  LRESULT expected = IndexOf(orders, kLittleEndian | kWav | kPcm16);  // CB_ERR when not writable
  EXPECT_EQ(panel.Selection(kByteOrderList), expected);
  EXPECT_EQ(panel.Query().formatWord, static_cast<uint32_t>(panel.SelectedData(kByteOrderList)));
}

// A word whose major format or encoding the lists lack leaves the lists
// below it without a selection; the byte-order list then reports -1.
TEST_F(PanelTest, AFormatWordTheListsLackLeavesNoSelectionAndReportsAllOnes) {
  int32_t unknownMajor = 0x0FF00000;
  ASSERT_EQ(IndexOf(ExpectedFormats(), unknownMajor), CB_ERR);
  int32_t vorbis = 0x0060;
  ASSERT_EQ(IndexOf(ExpectedEncodings(kWav), kWav | vorbis), CB_ERR);
  const struct {
    const char* what;
    int32_t word;
    bool formatSelected;
  } kCases[] = {
      {"an unknown major format", unknownMajor | kPcm16, false},
      {"an encoding the format cannot write", kWav | vorbis, true},
  };
  for (const auto& c : kCases) {
    auto block = MakeBlock(c.word, 0.25f);
    testing::internal::CaptureStdout();
    PanelDriver panel = Open(block);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Something might have gone wrong... Format not available: ffffffff \n")
        << c.what;
    EXPECT_EQ(panel.Selection(kFormatList) != CB_ERR, c.formatSelected) << c.what;
    EXPECT_EQ(panel.Entries(kEncodingList).empty(), !c.formatSelected) << c.what;
    EXPECT_EQ(panel.Selection(kEncodingList), CB_ERR) << c.what;
    EXPECT_TRUE(panel.Entries(kByteOrderList).empty()) << c.what;
    EXPECT_EQ(panel.Query().formatWord, 0xFFFFFFFFu) << c.what;
    DestroyWindow(panel.Handle());
  }
}

TEST_F(PanelTest, APanelOpenedNormallyPrintsNothing) {
  auto block = MakeBlock(kWav | kPcm16, 0.25f);
  testing::internal::CaptureStdout();
  Open(block);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
