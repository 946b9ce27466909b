// The libsndfile binding and the entry's use of it, against a scripted
// loader: absent, incomplete and complete libraries, and what each leaves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "binding/host_api.h"
#include "binding/sndfile_api.h"
#include "tests/common/test_host.h"
#include "tests/plugin/fake_dynamic_library.h"

namespace {

const std::vector<std::string> kBindingOrder = {
    "sf_command",        "sf_open",         "sf_close",       "sf_read_double",
    "sf_seek",           "sf_readf_double", "sf_version_string", "sf_format_check",
    "sf_write_float",    "sf_write_double"};

void Script(bool present, std::vector<std::string> missing = {}) {
  fake_loader::Current() = {present, std::move(missing)};
  fake_loader::Recorded() = {};
}

HINSTANCE Instance(uintptr_t value) { return reinterpret_cast<HINSTANCE>(value); }

// The binding's state is process-wide and never reset, so every test but
// the last leaves it as it found it, and the last walks its whole life.

TEST(Entry, StoresTheInstanceOnEveryCallEvenWithoutARecord) {
  EXPECT_EQ(SarnicPluginEntry(Instance(0x1000), nullptr), 0);
  EXPECT_EQ(pluginInstance, Instance(0x1000));

  test_host::Reset();
  PluginHostInfo refused = test_host::HostInfo(0x20D);
  EXPECT_EQ(SarnicPluginEntry(Instance(0x2000), &refused), 0);
  EXPECT_EQ(pluginInstance, Instance(0x2000));
  EXPECT_TRUE(test_host::Recorded().namesAsked.empty());
}

TEST(Entry, ImportsBeforeLoadingAndLoadsNothingWhenAnImportIsMissing) {
  Script(true);
  test_host::Reset();
  test_host::SetMissingFunctions({"PeakBuild_Create"});
  PluginHostInfo info = test_host::HostInfo();
  EXPECT_EQ(SarnicPluginEntry(Instance(1), &info), 0);
  EXPECT_TRUE(fake_loader::Recorded().opened.empty());
  EXPECT_EQ(test_host::Recorded().consoleMessages.size(), 1u);
  EXPECT_EQ(HostApi.PeakBuild_Create, nullptr);
  EXPECT_NE(HostApi.GetPreferredDiskWriteMode, nullptr);
}

// The whole life of the binding, in order; it ends complete.
TEST(LoadSndfile, GoesFromAbsentThroughIncompleteToCompleteAndStaysThere) {
  PluginHostInfo info = test_host::HostInfo();

  // Absent: every call tries the load again; the entry registers nothing
  // and says nothing.
  Script(false);
  EXPECT_EQ(LoadSndfile(), 1);
  EXPECT_EQ(LoadSndfile(), 1);
  test_host::Reset();
  EXPECT_EQ(SarnicPluginEntry(Instance(1), &info), 0);
  EXPECT_EQ(fake_loader::Recorded().opened,
            std::vector<std::string>(3, kSndfileLibraryName));
  EXPECT_TRUE(fake_loader::Recorded().lookedUp.empty());
  EXPECT_EQ(SndfileApi.libraryHandle, nullptr);
  EXPECT_TRUE(test_host::Recorded().registrations.empty());
  EXPECT_TRUE(test_host::Recorded().consoleMessages.empty());

  // Loaded, three names missing: every name is still asked for, in order.
  Script(true, {"sf_open", "sf_seek", "sf_write_double"});
  EXPECT_EQ(LoadSndfile(), 3);
  EXPECT_EQ(fake_loader::Recorded().lookedUp, kBindingOrder);
  EXPECT_NE(SndfileApi.libraryHandle, nullptr);
  EXPECT_EQ(SndfileApi.sf_open, nullptr);
  EXPECT_NE(SndfileApi.sf_close, nullptr);

  // Only the name no caller uses is missing: still a count, not success.
  Script(true, {"sf_write_float"});
  EXPECT_EQ(LoadSndfile(), 1);
  EXPECT_TRUE(fake_loader::Recorded().opened.empty()) << "a loaded library is not loaded again";
  test_host::Reset();
  EXPECT_EQ(SarnicPluginEntry(Instance(1), &info), 0);
  EXPECT_TRUE(test_host::Recorded().registrations.empty());
  EXPECT_TRUE(test_host::Recorded().consoleMessages.empty());

  Script(true);
  EXPECT_EQ(LoadSndfile(), 0);
  EXPECT_EQ(fake_loader::Recorded().lookedUp, kBindingOrder);

  // Complete: nothing is loaded or looked up again, whatever the library
  // would answer now.
  Script(false, kBindingOrder);
  EXPECT_EQ(LoadSndfile(), 0);
  EXPECT_EQ(LoadSndfile(), 0);
  EXPECT_TRUE(fake_loader::Recorded().opened.empty());
  EXPECT_TRUE(fake_loader::Recorded().lookedUp.empty());

  // The entry now binds at once and registers both records, in order.
  test_host::Reset();
  EXPECT_EQ(SarnicPluginEntry(Instance(1), &info), 1);
  ASSERT_EQ(test_host::Recorded().registrations.size(), 2u);
  EXPECT_EQ(test_host::Recorded().registrations[0].first, "pcmsrc");
  EXPECT_EQ(test_host::Recorded().registrations[1].first, "pcmsink");
}

}  // namespace
