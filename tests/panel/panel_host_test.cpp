// A host embedding the panel through the built plug-in: the library loaded
// by path and started with its module handle, the panel opened through the
// sink record inside a window of the host's own, and the user's choice
// collected with the query.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "abi/host_interface.h"
#include "tests/common/plugin_library.h"
#include "tests/common/test_host.h"
#include "tests/panel/panel_driver.h"

namespace {

using namespace panel_test;

class PanelThroughPlugin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library = test_host::LoadPlugin(PEXO_PLUGIN_PATH);
    ASSERT_NE(library, nullptr) << test_host::LoadError();
    entry = test_host::PluginEntry(library);
    ASSERT_NE(entry, nullptr);
  }
  void SetUp() override {
    ASSERT_NE(entry, nullptr);
    test_host::Reset();
    test_host::IniPath() = "/nonexistent/host.ini";
    PluginHostInfo info = test_host::HostInfo();
    ASSERT_EQ(entry(static_cast<HINSTANCE>(library), &info), 1);
    for (const auto& registration : test_host::Recorded().registrations) {
      if (registration.first == "pcmsink") sink = static_cast<SinkRegistration*>(registration.second);
    }
    ASSERT_NE(sink, nullptr);
    ASSERT_NE(sink->openConfigPanel, nullptr);
    parent = CreateWindowExA(0, "STATIC", "host", 0, 0, 0, 600, 200, nullptr, nullptr, nullptr,
                             nullptr);
  }
  void TearDown() override { DestroyWindow(parent); }

  static void* library;
  static SarnicPluginEntryFn entry;
  SinkRegistration* sink = nullptr;
  HWND parent = nullptr;
};
void* PanelThroughPlugin::library = nullptr;
SarnicPluginEntryFn PanelThroughPlugin::entry = nullptr;

TEST_F(PanelThroughPlugin, TheHostEmbedsThePanelFromThePluginsModule) {
  auto block = MakeBlock(0x010002, 0.25f);
  HWND handle = sink->openConfigPanel(block.data(), 32, parent);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(GetParent(handle), parent);
  PanelDriver panel(handle);
  EXPECT_EQ(panel.Entries(kFormatList), ExpectedFormats());
  EXPECT_EQ(panel.SelectedData(kFormatList), 0x010000);
  EXPECT_EQ(panel.SelectedData(kEncodingList), 0x010002);
  Reported reported = panel.Query();
  EXPECT_EQ(reported.tag, kTag);
  EXPECT_EQ(reported.formatWord, 0x010002u);
  EXPECT_EQ(reported.quality, 0.25f);

  // The host destroys its window, and the panel with it.
  DestroyWindow(parent);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(SendMessageA(handle, kConfigQuery, 0, 0), 0);
}

TEST_F(PanelThroughPlugin, TheTemplateComesFromTheModuleTheEntryWasGiven) {
  const uint32_t tagOnly = kTag;
  // A start without a record still keeps the handle: null now names this
  // test program, which has no template 155.
  entry(nullptr, nullptr);
  EXPECT_EQ(sink->openConfigPanel(&tagOnly, 4, parent), nullptr);
  entry(static_cast<HINSTANCE>(library), nullptr);
  EXPECT_NE(sink->openConfigPanel(&tagOnly, 4, parent), nullptr);
}

TEST_F(PanelThroughPlugin, ThePanelNeedsALiveParent) {
  const uint32_t tagOnly = kTag;
  EXPECT_EQ(sink->openConfigPanel(&tagOnly, 4, nullptr), nullptr);
  HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  EXPECT_EQ(sink->openConfigPanel(&tagOnly, 4, gone), nullptr);
}

}  // namespace
