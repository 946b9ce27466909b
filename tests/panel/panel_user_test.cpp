// A user at the panel: choosing a format rebuilds the lists below it,
// choosing an encoding rebuilds the byte orders, moving the slider updates
// the label; and a host's queries in between report each state.
#include <cstring>

#include "tests/panel/panel_fixture.h"

namespace {

using namespace panel_test;

constexpr int32_t kWav = 0x010000, kPcm16 = 0x0002;

TEST_F(PanelTest, FormatThenEncodingThenSlider) {
  auto block = MakeBlock(kWav | kPcm16, 0.25f);
  PanelDriver panel = Open(block);
  std::vector<Entry> formats = ExpectedFormats();

  // Another format: its encodings, the first selected, and the first
  // encoding's byte orders, the first selected. The quality stays.
  LRESULT wavIndex = panel.Selection(kFormatList);
  LRESULT other = wavIndex == 0 ? 1 : 0;
  int32_t major = static_cast<int32_t>(formats[static_cast<size_t>(other)].data);
  panel.Choose(kFormatList, other);
  std::vector<Entry> encodings = ExpectedEncodings(major);
  ASSERT_GE(encodings.size(), 2u) << "the test needs a format with two encodings";
  EXPECT_EQ(panel.Selection(kFormatList), other);
  EXPECT_EQ(panel.Entries(kEncodingList), encodings);
  EXPECT_EQ(panel.Selection(kEncodingList), 0);
  std::vector<Entry> orders = ExpectedByteOrders(static_cast<int32_t>(encodings[0].data));
  EXPECT_EQ(panel.Entries(kByteOrderList), orders);
  EXPECT_EQ(panel.Selection(kByteOrderList), 0);
  Reported reported = panel.Query();
  EXPECT_EQ(reported.formatWord, static_cast<uint32_t>(orders[0].data));
  EXPECT_EQ(reported.quality, 0.25f);

  // Another encoding: its byte orders, the first selected; the lists above
  // stay as they were.
  panel.Choose(kEncodingList, 1);
  EXPECT_EQ(panel.Selection(kFormatList), other);
  EXPECT_EQ(panel.Entries(kEncodingList), encodings);
  EXPECT_EQ(panel.Selection(kEncodingList), 1);
  orders = ExpectedByteOrders(static_cast<int32_t>(encodings[1].data));
  EXPECT_EQ(panel.Entries(kByteOrderList), orders);
  EXPECT_EQ(panel.Selection(kByteOrderList), 0);
  EXPECT_EQ(panel.Query().formatWord, static_cast<uint32_t>(orders[0].data));

  // The slider: the label follows, the query reports it.
  panel.MoveSlider(37);
  EXPECT_EQ(panel.Label(), "0.37");
  reported = panel.Query();
  EXPECT_EQ(reported.formatWord, static_cast<uint32_t>(orders[0].data));
  EXPECT_EQ(reported.quality, 0.37f);
  EXPECT_EQ(reported.tag, kTag);
}

TEST_F(PanelTest, EveryFormatChoiceOffersItsWritableEncodings) {
  const uint32_t tagOnly = kTag;
  PanelDriver panel = Open(&tagOnly, 4);
  std::vector<Entry> formats = ExpectedFormats();
  for (size_t i = 0; i < formats.size(); ++i) {
    panel.Choose(kFormatList, static_cast<LRESULT>(i));
    std::vector<Entry> encodings = ExpectedEncodings(static_cast<int32_t>(formats[i].data));
    EXPECT_EQ(panel.Entries(kEncodingList), encodings) << formats[i];
    ASSERT_FALSE(encodings.empty()) << formats[i];
    EXPECT_EQ(panel.Entries(kByteOrderList), ExpectedByteOrders(static_cast<int32_t>(encodings[0].data)))
        << formats[i];
  }
}

TEST_F(PanelTest, OtherNotificationsAndByteOrderChoicesRebuildNothing) {
  auto block = MakeBlock(kWav | kPcm16, 0.25f);
  PanelDriver panel = Open(block);
  std::vector<Entry> encodings = panel.Entries(kEncodingList);
  LRESULT encoding = panel.Selection(kEncodingList);
  std::vector<Entry> orders = panel.Entries(kByteOrderList);
  ASSERT_GE(orders.size(), 2u);

  panel.Choose(kByteOrderList, 1);
  EXPECT_EQ(panel.Selection(kByteOrderList), 1) << "the user's byte order stands";
  EXPECT_EQ(panel.Query().formatWord, static_cast<uint32_t>(orders[1].data));

  // A notification other than a selection change (here CBN_DROPDOWN, 7).
  SendDlgItemMessageA(panel.Handle(), kFormatList, CB_SETCURSEL, 0, 0);
  SendMessageA(panel.Handle(), WM_COMMAND, MAKEWPARAM(kFormatList, 7), 0);
  SendMessageA(panel.Handle(), WM_COMMAND, MAKEWPARAM(kEncodingList, 7), 0);
  EXPECT_EQ(panel.Entries(kEncodingList), encodings);
  EXPECT_EQ(panel.Selection(kEncodingList), encoding);
  EXPECT_EQ(panel.Selection(kByteOrderList), 1);
}

TEST_F(PanelTest, QueryWritesOnlyWhereItIsGivenPointers) {
  auto block = MakeBlock(kWav | kPcm16, 0.25f);
  PanelDriver panel = Open(block);
  EXPECT_EQ(SendMessageA(panel.Handle(), kConfigQuery, 0, 0), 0) << "both null: nothing to do";

  int size = -1;
  SendMessageA(panel.Handle(), kConfigQuery, reinterpret_cast<WPARAM>(&size), 0);
  EXPECT_EQ(size, 32);

  auto buffer = MakeBlock(0, 0.0f, 0x5A);
  std::memset(buffer.data(), 0x5A, 12);
  SendMessageA(panel.Handle(), kConfigQuery, 0, reinterpret_cast<LPARAM>(buffer.data()));
  EXPECT_EQ(std::memcmp(buffer.data(), block.data(), 12), 0) << "tag, format word and quality";
  for (size_t i = 12; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0x5A) << "byte " << i;
}

}  // namespace
