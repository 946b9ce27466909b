// Windows in a tree: creation rules, handles that outlive their windows,
// destruction of whole subtrees, and creation from several threads.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32.h"
#include "tests/win32/test_dialogs.h"

namespace {

HWND MakeChild(HWND parent, const char* className, int id, const char* text = "") {
  return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

TEST(WindowTree, CreationNeedsAKnownClassAndALiveParentForAChild) {
  HWND parent = MakeTopLevel();
  ASSERT_NE(parent, nullptr);
  EXPECT_TRUE(IsWindow(parent));
  EXPECT_EQ(GetParent(parent), nullptr);

  EXPECT_EQ(MakeChild(nullptr, "STATIC", 1), nullptr) << "WS_CHILD without a parent";
  EXPECT_EQ(MakeChild(parent, "BUTTON", 1), nullptr) << "no such class";
  EXPECT_EQ(MakeChild(parent, MAKEINTRESOURCEA(0x8002), 1), nullptr) << "class atoms are unknown";

  HWND child = MakeChild(parent, "combobox", 7);  // class names ignore case
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_EQ(GetDlgCtrlID(child), 7);
  EXPECT_EQ(GetDlgItem(parent, 7), child);
  EXPECT_EQ(GetDlgItem(parent, 8), nullptr);
  EXPECT_EQ(GetDlgItem(child, 7), nullptr) << "only direct children are items";
  DestroyWindow(parent);
}

TEST(WindowTree, DestroyingAWindowDestroysItsSubtreeAndInvalidatesEveryHandle) {
  HWND top = MakeTopLevel();
  HWND middle = MakeChild(top, "STATIC", 1);
  HWND leaf = MakeChild(middle, "msctls_trackbar32", 2);
  HWND sibling = MakeChild(top, "COMBOBOX", 3);
  ASSERT_NE(leaf, nullptr);
  ASSERT_NE(sibling, nullptr);

  EXPECT_TRUE(DestroyWindow(middle));
  EXPECT_FALSE(IsWindow(middle));
  EXPECT_FALSE(IsWindow(leaf));
  EXPECT_TRUE(IsWindow(sibling));
  EXPECT_EQ(GetDlgItem(top, 1), nullptr) << "the parent forgets a destroyed child";
  EXPECT_FALSE(DestroyWindow(middle)) << "a second destruction is refused";

  // Handles of destroyed windows are answered with 0, never used.
  EXPECT_EQ(SendMessageA(leaf, TBM_GETRANGEMAX, 0, 0), 0);
  EXPECT_EQ(GetDlgItem(middle, 2), nullptr);
  EXPECT_EQ(GetParent(leaf), nullptr);
  EXPECT_FALSE(SetWindowTextA(middle, "x"));

  DestroyWindow(top);
  EXPECT_FALSE(IsWindow(sibling));
}

TEST(WindowTree, AStaleHandleStaysInvalidWhenItsSlotIsReused) {
  HWND first = MakeTopLevel();
  DestroyWindow(first);
  std::vector<HWND> later;
  for (int i = 0; i < 64; ++i) later.push_back(MakeTopLevel());
  EXPECT_FALSE(IsWindow(first));
  for (HWND window : later) {
    EXPECT_NE(window, first);
    DestroyWindow(window);
  }
}

// Each test runs in a process of its own, where the one window's slot is
// the only free one and is reused every time: a 16-bit generation would
// hand out the stale handle again after 65536 rounds.
TEST(WindowTree, AStaleHandleNeverNamesALaterWindowOfItsSlot) {
  HWND first = MakeTopLevel();
  DestroyWindow(first);
  int aliases = 0;
  for (int round = 0; round < 2 * 65536 + 2; ++round) {
    HWND later = MakeTopLevel();
    if (later == first || IsWindow(first)) ++aliases;
    DestroyWindow(later);
  }
  EXPECT_EQ(aliases, 0);
}

TEST(WindowTree, MadeUpHandlesAreRefused) {
  int local = 0;
  for (HWND made : {reinterpret_cast<HWND>(&local), reinterpret_cast<HWND>(uintptr_t{0xFFFF0000}),
                    reinterpret_cast<HWND>(uintptr_t{0x10000}), reinterpret_cast<HWND>(uintptr_t{0x7FFF0001}), reinterpret_cast<HWND>(~uintptr_t{0})}) {
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(SendMessageA(made, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(made));
  }
}

TEST(WindowTree, VisibilityNeedsTheWindowAndEveryAncestorVisible) {
  HWND top = MakeTopLevel();  // created without WS_VISIBLE
  HWND child = MakeChild(top, "STATIC", 1);
  EXPECT_FALSE(IsWindowVisible(child));
  EXPECT_FALSE(ShowWindow(top, SW_SHOW)) << "answers the previous state";
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_TRUE(ShowWindow(child, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(child));
  EXPECT_TRUE(IsWindowVisible(top));
  DestroyWindow(top);
}

TEST(WindowTree, ThreadsCreatingAndDestroyingWindowsKeepTheTableWhole) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;
  std::vector<std::thread> threads;
  std::vector<int> failures(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      for (int round = 0; round < kRounds; ++round) {
        HWND top = MakeTopLevel();
        HWND child = MakeChild(top, "STATIC", round, "text");
        char text[8];
        if (GetDlgItem(top, round) != child || GetWindowTextA(child, text, 8) != 4) ++failures[t];
        DestroyWindow(top);
        if (IsWindow(child)) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

}  // namespace
