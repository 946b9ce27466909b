// A host window with a panel opened in it, the plug-in's state set up as
// the entry leaves it: libsndfile bound, the recording host's functions in
// HostApi, and the panel's template found in this program (null module).
#pragma once

#include <gtest/gtest.h>

#include "binding/host_api.h"
#include "binding/sndfile_api.h"
#include "panel/panel.h"
#include "tests/common/test_host.h"
#include "tests/panel/panel_driver.h"

class PanelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadSndfile(), 0); }
  void SetUp() override {
    test_host::Reset();
    test_host::InstallIntoHostApi();
    test_host::IniPath() = "/nonexistent/host.ini";
    pluginInstance = nullptr;
    parent = CreateWindowExA(0, "STATIC", "host", 0, 0, 0, 600, 200, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(parent, nullptr);
  }
  void TearDown() override { DestroyWindow(parent); }

  // Opens a panel for the block; the panel must come into being.
  panel_test::PanelDriver Open(const void* block, int size) {
    HWND panel = openConfigPanel(block, size, parent);
    EXPECT_NE(panel, nullptr);
    return panel_test::PanelDriver(panel);
  }
  template <size_t N>
  panel_test::PanelDriver Open(const std::array<unsigned char, N>& block) {
    return Open(block.data(), static_cast<int>(N));
  }

  HWND parent = nullptr;
};
