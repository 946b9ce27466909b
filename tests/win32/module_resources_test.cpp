// Which module a dialog template comes from: the main program for a null
// handle or dlopen(nullptr)'s, a loaded library for its dlopen handle, and
// nothing for a handle that names no loaded object.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/win32/test_dialogs.h"

namespace {

// The caption of dialog 300 created from `module`, or "(none)".
std::string CaptionFrom(HINSTANCE module) {
  HWND parent = MakeTopLevel();
  HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(kChildDialog), parent, nullptr, 0);
  char caption[32] = "(none)";
  if (dialog != nullptr) GetWindowTextA(dialog, caption, sizeof caption);
  DestroyWindow(parent);
  return caption;
}

TEST(ModuleResources, TheMainProgramAnswersForNullAndForItsOwnHandle) {
  EXPECT_EQ(CaptionFrom(nullptr), "program");
  void* self = dlopen(nullptr, RTLD_LAZY);
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(CaptionFrom(static_cast<HINSTANCE>(self)), "program");
}

TEST(ModuleResources, ALibrarysHandleFindsTheLibrarysOwnTemplate) {
  void* library = dlopen(PEXO_TEST_RESOURCE_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  EXPECT_EQ(CaptionFrom(static_cast<HINSTANCE>(library)), "module");
  EXPECT_EQ(CaptionFrom(nullptr), "program") << "the program keeps its own";
  dlclose(library);
  EXPECT_EQ(CaptionFrom(static_cast<HINSTANCE>(library)), "(none)") << "an unloaded library";
}

TEST(ModuleResources, AHandleThatNamesNoLoadedObjectFindsNothing) {
  int notAModule = 0;
  EXPECT_EQ(CaptionFrom(reinterpret_cast<HINSTANCE>(&notAModule)), "(none)");
  EXPECT_EQ(CaptionFrom(reinterpret_cast<HINSTANCE>(uintptr_t{0x1234})), "(none)");
}

}  // namespace
