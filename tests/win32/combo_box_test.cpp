// The COMBOBOX class: an unsorted (or sorted) list with item data and one
// selection, and its CB_ERR answers.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/win32/test_dialogs.h"

namespace {

class ComboBox : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = MakeTopLevel();
    combo = Make(CBS_DROPDOWNLIST);
  }
  void TearDown() override { DestroyWindow(parent); }
  HWND Make(DWORD style) {
    return CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | style, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(intptr_t{1}), nullptr, nullptr);
  }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(combo, message, wParam, lParam);
  }
  LRESULT Add(HWND box, const char* text) {
    return SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  std::string Item(HWND box, int index) {
    LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return "(CB_ERR)";
    std::string text(static_cast<size_t>(length) + 1, '#');
    SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    EXPECT_EQ(text.back(), '\0') << "terminated";
    text.pop_back();
    return text;
  }
  HWND parent = nullptr;
  HWND combo = nullptr;
};

TEST_F(ComboBox, AnUnsortedListAppendsAndReturnsEachIndex) {
  EXPECT_EQ(Add(combo, "zeta"), 0);
  EXPECT_EQ(Add(combo, "Alpha"), 1);
  EXPECT_EQ(Add(combo, nullptr), 2) << "a null text is the empty text";
  EXPECT_EQ(Send(CB_GETCOUNT), 3);
  EXPECT_EQ(Item(combo, 0), "zeta");
  EXPECT_EQ(Item(combo, 1), "Alpha");
  EXPECT_EQ(Item(combo, 2), "");
  EXPECT_EQ(Item(combo, 3), "(CB_ERR)");
  char untouched[4] = "abc";
  EXPECT_EQ(Send(CB_GETLBTEXT, 5, reinterpret_cast<LPARAM>(untouched)), CB_ERR);
  EXPECT_STREQ(untouched, "abc");
}

TEST_F(ComboBox, ASortedListInsertsInCaseBlindOrderAndKeepsItsSelection) {
  HWND sorted = Make(CBS_DROPDOWNLIST | CBS_SORT);
  EXPECT_EQ(Add(sorted, "delta"), 0);
  SendMessageA(sorted, CB_SETCURSEL, 0, 0);
  EXPECT_EQ(Add(sorted, "Bravo"), 0);
  EXPECT_EQ(Add(sorted, "charlie"), 1);
  EXPECT_EQ(Add(sorted, "echo"), 3);
  EXPECT_EQ(Item(sorted, 2), "delta");
  EXPECT_EQ(SendMessageA(sorted, CB_GETCURSEL, 0, 0), 2) << "the selection follows its item";
}

TEST_F(ComboBox, ItemDataBelongsToItsIndexAndMissingEntriesAnswerCbErr) {
  Add(combo, "a");
  Add(combo, "b");
  EXPECT_EQ(Send(CB_GETITEMDATA, 1), 0) << "items start with data 0";
  EXPECT_NE(Send(CB_SETITEMDATA, 1, -5), CB_ERR);
  EXPECT_EQ(Send(CB_GETITEMDATA, 1), -5) << "the full LPARAM width is kept";
  EXPECT_EQ(Send(CB_GETITEMDATA, 0), 0);
  for (WPARAM missing : {WPARAM{2}, static_cast<WPARAM>(CB_ERR), WPARAM{1} << 40}) {
    EXPECT_EQ(Send(CB_SETITEMDATA, missing, 9), CB_ERR);
    EXPECT_EQ(Send(CB_GETITEMDATA, missing), CB_ERR);
  }
}

TEST_F(ComboBox, SelectionRules) {
  EXPECT_EQ(Send(CB_GETCURSEL), CB_ERR) << "a new list has no selection";
  Add(combo, "first");
  Add(combo, "second");
  EXPECT_EQ(Send(CB_GETCURSEL), CB_ERR) << "adding selects nothing";

  const struct {
    WPARAM index;
    LRESULT answer;
    LRESULT selection;
  } kCases[] = {
      {1, 1, 1},
      {0, 0, 0},
      {2, CB_ERR, CB_ERR},                          // past the end clears the selection
      {1, 1, 1},
      {static_cast<WPARAM>(-1), CB_ERR, CB_ERR},    // -1 clears it too
      {0, 0, 0},
      {static_cast<WPARAM>(-7), CB_ERR, CB_ERR},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Send(CB_SETCURSEL, c.index), c.answer) << "index " << static_cast<intptr_t>(c.index);
    EXPECT_EQ(Send(CB_GETCURSEL), c.selection) << "index " << static_cast<intptr_t>(c.index);
  }
}

TEST_F(ComboBox, TheWindowTextIsTheSelectedItem) {
  Add(combo, "first");
  Add(combo, "second");
  char text[16] = "junk";
  EXPECT_EQ(GetWindowTextA(combo, text, sizeof text), 0);
  EXPECT_STREQ(text, "");
  Send(CB_SETCURSEL, 1);
  EXPECT_EQ(GetWindowTextLengthA(combo), 6);
  EXPECT_EQ(GetWindowTextA(combo, text, sizeof text), 6);
  EXPECT_STREQ(text, "second");
  EXPECT_FALSE(SetWindowTextA(combo, "other")) << "a drop-down list has no edit field";
}

TEST_F(ComboBox, ResetContentEmptiesTheListAndItsSelection) {
  Add(combo, "a");
  Send(CB_SETCURSEL, 0);
  EXPECT_EQ(Send(CB_RESETCONTENT), CB_OKAY);
  EXPECT_EQ(Send(CB_GETCOUNT), 0);
  EXPECT_EQ(Send(CB_GETCURSEL), CB_ERR);
  EXPECT_EQ(Send(CB_GETITEMDATA, 0), CB_ERR);
  EXPECT_EQ(Add(combo, "again"), 0) << "indexes start over";
}

}  // namespace
