// The trackbar class: a 16-bit range packed into one LPARAM and a position
// kept within it.
#include <gtest/gtest.h>

#include <climits>

#include "platform/win32.h"
#include "tests/win32/test_dialogs.h"

namespace {

TEST(Trackbar, RangeAndPosition) {
  HWND parent = MakeTopLevel();
  HWND bar = CreateWindowExA(0, "msctls_trackbar32", "", WS_CHILD, 0, 0, 10, 10, parent,
                             reinterpret_cast<HMENU>(intptr_t{1}), nullptr, nullptr);
  ASSERT_NE(bar, nullptr);
  auto position = [&] { return SendMessageA(bar, TBM_GETPOS, 0, 0); };
  EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMIN, 0, 0), 0) << "default range 0 to 100";
  EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMAX, 0, 0), 100);
  EXPECT_EQ(position(), 0);

  SendMessageA(bar, TBM_SETRANGE, FALSE, MAKELPARAM(10, 60));
  EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMIN, 0, 0), 10) << "minimum in the low word";
  EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMAX, 0, 0), 60) << "maximum in the high word";
  EXPECT_EQ(position(), 10) << "a new range pulls the position in";

  const struct {
    LPARAM requested;
    LRESULT kept;
  } kCases[] = {
      {37, 37}, {60, 60}, {61, 60}, {10, 10}, {9, 10}, {-1, 10},
      {LPARAM{INT_MAX} + 1, 60},  // no narrowing first: this is not a negative int
      {LPARAM{INT_MIN} - 1, 10},
  };
  for (const auto& c : kCases) {
    SendMessageA(bar, TBM_SETPOS, TRUE, c.requested);
    EXPECT_EQ(position(), c.kept) << "requested " << c.requested;
  }

  SendMessageA(bar, TBM_SETRANGE, FALSE, MAKELPARAM(static_cast<uint16_t>(-20), 20));
  EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMIN, 0, 0), -20) << "the words are signed";
  SendMessageA(bar, TBM_SETPOS, TRUE, -15);
  EXPECT_EQ(position(), -15);
  DestroyWindow(parent);
}

}  // namespace
