// Modeless dialogs from templates: what CreateDialogParamA builds, when the
// procedure hears WM_INITDIALOG and WM_DESTROY, and when creation fails.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32.h"
#include "tests/win32/test_dialogs.h"

namespace {

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRecording();
    parent = MakeTopLevel();
  }
  void TearDown() override {
    DestroyWindow(parent);
    ResetRecording();
  }
  HWND Create(int number, HWND owner, LPARAM param = 0) {
    return CreateDialogParamA(nullptr, MAKEINTRESOURCEA(number), owner, &RecordingProc, param);
  }
  HWND parent = nullptr;
};

std::string TextOf(HWND window) {
  char text[64];
  GetWindowTextA(window, text, sizeof text);
  return text;
}

TEST_F(Dialogs, InitDialogArrivesBeforeCreationReturnsWithTheCreationParameter) {
  HWND seenDuringInit = nullptr;
  bool controlsExisted = false;
  OnMessage() = [&](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) {
      seenDuringInit = window;
      controlsExisted = GetDlgItem(window, kTrackbarId) != nullptr;
    }
    return 0;
  };
  int start = 0;
  HWND dialog = Create(kChildDialog, parent, reinterpret_cast<LPARAM>(&start));
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(ReceivedOf(WM_INITDIALOG).size(), 1u);
  EXPECT_EQ(Received().front().message, static_cast<UINT>(WM_INITDIALOG)) << "the first message";
  SentMessage init = ReceivedOf(WM_INITDIALOG)[0];
  EXPECT_EQ(init.lParam, reinterpret_cast<LPARAM>(&start));
  EXPECT_EQ(init.wParam, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kComboId)))
      << "the first control with WS_TABSTOP takes the focus";
  EXPECT_EQ(seenDuringInit, dialog);
  EXPECT_TRUE(controlsExisted);
}

TEST_F(Dialogs, ControlsAreChildrenWithTheTemplatesIdsAndTexts) {
  HWND dialog = Create(kChildDialog, parent);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetParent(dialog), parent);
  EXPECT_EQ(TextOf(dialog), "program");
  EXPECT_FALSE(IsWindowVisible(dialog)) << "no WS_VISIBLE in the template";
  HWND label = GetDlgItem(dialog, kLabelId);
  EXPECT_EQ(TextOf(label), "Label:");
  EXPECT_EQ(GetDlgCtrlID(label), kLabelId);
  EXPECT_EQ(SendDlgItemMessageA(dialog, kComboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a")), 0)
      << "item 11 is a combo box";
  EXPECT_EQ(SendDlgItemMessageA(dialog, kTrackbarId, TBM_GETRANGEMAX, 0, 0), 100)
      << "item 12 is a trackbar";
}

TEST_F(Dialogs, MessagesToTheDialogGoToItsProcedure) {
  OnMessage() = [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
    return message == WM_USER + 5 ? 42 : 0;
  };
  HWND dialog = Create(kChildDialog, parent);
  EXPECT_EQ(SendMessageA(dialog, WM_USER + 5, 3, 4), 42);
  SentMessage last = Received().back();
  EXPECT_EQ(last.window, dialog);
  EXPECT_EQ(last.wParam, 3u);
  EXPECT_EQ(last.lParam, 4);
}

TEST_F(Dialogs, DestroyingTheParentDestroysTheDialogAndTellsItsProcedure) {
  HWND dialog = Create(kChildDialog, parent);
  HWND combo = GetDlgItem(dialog, kComboId);
  bool controlsLiveDuringDestroy = false;
  OnMessage() = [&](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_DESTROY) controlsLiveDuringDestroy = IsWindow(combo) != 0;
    return 0;
  };
  DestroyWindow(parent);
  parent = nullptr;
  ASSERT_EQ(ReceivedOf(WM_DESTROY).size(), 1u);
  EXPECT_EQ(ReceivedOf(WM_DESTROY)[0].window, dialog);
  EXPECT_TRUE(controlsLiveDuringDestroy);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(IsWindow(combo));
  size_t count = Received().size();
  EXPECT_EQ(SendMessageA(dialog, WM_USER, 0, 0), 0);
  EXPECT_EQ(Received().size(), count) << "a destroyed dialog's procedure is not called";
}

// A procedure that destroys windows while it hears WM_DESTROY: each window
// still hears it once, and the whole tree goes.
TEST_F(Dialogs, NestedDestructionTellsEachWindowOnce) {
  struct Case {
    const char* what;
    bool destroyParentFirst;   // else the dialog
    bool nestedDestroysParent;  // else the dialog again
  };
  for (const Case& c : {Case{"dialog, then the dialog again", false, false},
                        Case{"dialog, then its parent", false, true},
                        Case{"parent, then the parent again", true, true},
                        Case{"parent, then the dialog", true, false}}) {
    ResetRecording();
    HWND top = MakeTopLevel();
    HWND dialog = Create(kChildDialog, top);
    HWND combo = GetDlgItem(dialog, kComboId);
    OnMessage() = [&](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
      if (message == WM_DESTROY) DestroyWindow(c.nestedDestroysParent ? top : window);
      return 0;
    };
    DestroyWindow(c.destroyParentFirst ? top : dialog);
    OnMessage() = nullptr;
    EXPECT_EQ(ReceivedOf(WM_DESTROY).size(), 1u) << c.what;
    EXPECT_FALSE(IsWindow(dialog)) << c.what;
    EXPECT_FALSE(IsWindow(combo)) << c.what;
    if (c.destroyParentFirst || c.nestedDestroysParent) {
      EXPECT_FALSE(IsWindow(top)) << c.what;
    }
    DestroyWindow(top);
  }
}

// A host may destroy its window on one thread while the panel is being
// made inside it on another: creation then fails or gives a dialog, and
// the layer never uses the window it looked up after another thread
// destroyed it.
TEST(DialogThreads, CreationRacesWithTheParentsDestruction) {
  std::atomic<HWND> host{MakeTopLevel()};
  std::atomic<bool> done{false};
  std::thread destroyer([&] {
    while (!done) {
      HWND old = host.exchange(MakeTopLevel());
      DestroyWindow(old);
    }
  });
  auto quiet = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; };
  int made = 0;
  for (int round = 0; round < 20000; ++round) {
    HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kChildDialog), host.load(), quiet, 0);
    if (dialog != nullptr) ++made;
    DestroyWindow(dialog);
  }
  done = true;
  destroyer.join();
  DestroyWindow(host.load());
  RecordProperty("dialogs made", made);
}

TEST_F(Dialogs, AProcedureThatDestroysItsDialogDuringInitLeavesTheCallerNothing) {
  OnMessage() = [](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) DestroyWindow(window);
    return 0;
  };
  EXPECT_EQ(Create(kChildDialog, parent), nullptr);
  EXPECT_EQ(ReceivedOf(WM_DESTROY).size(), 1u);
}

TEST_F(Dialogs, APopupTemplateNeedsNoParent) {
  HWND dialog = Create(kPopupDialog, nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetParent(dialog), nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(TextOf(GetDlgItem(dialog, kLabelId)), "popup label") << "controls are always children";
  DestroyWindow(dialog);
}

TEST_F(Dialogs, CreationFailsWithoutCallingTheProcedure) {
  HWND stale = MakeTopLevel();
  DestroyWindow(stale);
  const struct {
    const char* what;
    const char* name;
    HWND parent;
  } kCases[] = {
      {"a WS_CHILD template without a parent", MAKEINTRESOURCEA(kChildDialog), nullptr},
      {"a destroyed parent", MAKEINTRESOURCEA(kChildDialog), stale},
      {"no template with that number", MAKEINTRESOURCEA(299), parent},
      {"a template name given as text", "DIALOG300", parent},
      {"no name at all", nullptr, parent},
      {"a control class the layer lacks", MAKEINTRESOURCEA(kUnknownClassDialog), parent},
      {"a record of another version", MAKEINTRESOURCEA(kWrongVersionDialog), nullptr},
      {"a record shorter than its control count", MAKEINTRESOURCEA(kShortRecordDialog), nullptr},
      {"a resource of another kind", MAKEINTRESOURCEA(kNotADialog), nullptr},
  };
  for (const auto& c : kCases) {
    ResetRecording();
    EXPECT_EQ(CreateDialogParamA(nullptr, c.name, c.parent, &RecordingProc, 0), nullptr) << c.what;
    EXPECT_TRUE(Received().empty()) << c.what;
  }
  EXPECT_EQ(GetDlgItem(parent, 0), nullptr) << "nothing is left under the parent";
}

}  // namespace
