// Window text through SetDlgItemTextA and GetDlgItemTextA: Win32's limits on
// what lands in the caller's buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32.h"
#include "tests/win32/test_dialogs.h"

namespace {

TEST(WindowText, GetDlgItemTextWritesAtMostCapacityBytesWithTheTerminator) {
  HWND parent = MakeTopLevel();
  CreateWindowExA(0, "STATIC", "Static", WS_CHILD, 0, 0, 10, 10, parent,
                  reinterpret_cast<HMENU>(intptr_t{5}), nullptr, nullptr);
  ASSERT_TRUE(SetDlgItemTextA(parent, 5, "0.25"));

  const struct {
    int id;
    int capacity;
    UINT result;
    const char* buffer;  // what the 8-byte buffer, filled with '#', holds after
  } kCases[] = {
      {5, 8, 4, "0.25"},
      {5, 5, 4, "0.25"},
      {5, 4, 3, "0.2"},       // one byte for the terminator
      {5, 1, 0, ""},
      {5, 0, 0, "########"},  // nothing written at all
      {5, -3, 0, "########"},
      {6, 8, 0, ""},          // no such control: the empty text
  };
  for (const auto& c : kCases) {
    char buffer[9];
    std::memset(buffer, '#', 8);
    buffer[8] = '\0';
    EXPECT_EQ(GetDlgItemTextA(parent, c.id, buffer, c.capacity), c.result) << c.capacity;
    EXPECT_STREQ(buffer, c.buffer) << "id " << c.id << ", capacity " << c.capacity;
  }
  EXPECT_EQ(GetDlgItemTextA(parent, 5, nullptr, 8), 0u);
  DestroyWindow(parent);
}

TEST(WindowText, SetDlgItemTextNeedsTheControlAndTakesNullAsEmpty) {
  HWND parent = MakeTopLevel();
  HWND label = CreateWindowExA(0, "STATIC", "before", WS_CHILD, 0, 0, 10, 10, parent,
                               reinterpret_cast<HMENU>(intptr_t{5}), nullptr, nullptr);
  EXPECT_EQ(GetWindowTextLengthA(label), 6) << "the creation text";
  EXPECT_FALSE(SetDlgItemTextA(parent, 9, "x"));
  EXPECT_TRUE(SetDlgItemTextA(parent, 5, nullptr));
  EXPECT_EQ(GetWindowTextLengthA(label), 0);
  std::string longText(3000, 'x');
  EXPECT_TRUE(SetDlgItemTextA(parent, 5, longText.c_str()));
  EXPECT_EQ(GetWindowTextLengthA(label), 3000) << "no length limit in the window";
  DestroyWindow(parent);
}

}  // namespace
