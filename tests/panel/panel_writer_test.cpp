// From the panel to a file: a host embeds the built plug-in's panel, the
// user picks each format with its first encoding, and the block the host
// collects makes a writer for exactly that combination.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "abi/host_interface.h"
#include "tests/common/plugin_library.h"
#include "tests/common/process_id.h"
#include "tests/common/test_host.h"
#include "tests/panel/panel_driver.h"

namespace {

using namespace panel_test;

constexpr int kRate = 48000;
constexpr int kFrames = 4800;

// Whether libsndfile itself opens a file of this format for writing: its
// format check accepts some combinations that it then cannot write.
bool LibsndfileWrites(const std::string& path, int32_t formatWord) {
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  info.samplerate = kRate;
  info.channels = 1;
  info.format = formatWord;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  sf_close(file);
  // A file that reads back at another rate is one the writer refuses.
  SF_INFO back;
  std::memset(&back, 0, sizeof back);
  if ((formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW) back = info;
  file = sf_open(path.c_str(), SFM_READ, &back);
  if (file != nullptr) sf_close(file);
  std::remove(path.c_str());
  return file == nullptr || back.samplerate == kRate;
}

// The format a file was written in, as libsndfile reads it back; headerless
// files are read with the format they were written in.
int32_t WrittenFormat(const std::string& path, int32_t formatWord) {
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  if ((formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW) {
    info.samplerate = kRate;
    info.channels = 1;
    info.format = formatWord;
  }
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return -1;
  sf_close(file);
  return info.format;
}

TEST(PanelToWriter, EveryFormatsFirstEncodingBecomesAWriterOfThatFormat) {
  void* library = test_host::LoadPlugin(PEXO_PLUGIN_PATH);
  ASSERT_NE(library, nullptr) << test_host::LoadError();
  auto entry = test_host::PluginEntry(library);
  ASSERT_NE(entry, nullptr);
  test_host::Reset();
  PluginHostInfo info = test_host::HostInfo();
  ASSERT_EQ(entry(static_cast<HINSTANCE>(library), &info), 1);
  SinkRegistration* sink = nullptr;
  for (const auto& registration : test_host::Recorded().registrations) {
    if (registration.first == "pcmsink") sink = static_cast<SinkRegistration*>(registration.second);
  }
  ASSERT_NE(sink, nullptr);
  ASSERT_NE(sink->makeSink, nullptr);

  HWND parent = CreateWindowExA(0, "STATIC", "host", 0, 0, 0, 600, 200, nullptr, nullptr, nullptr,
                                nullptr);
  const uint32_t tagOnly = kTag;
  PanelDriver panel(sink->openConfigPanel(&tagOnly, 4, parent));
  ASSERT_NE(panel.Handle(), nullptr);
  std::string base = testing::TempDir() + "panel_writer_" + std::to_string(test_host::ProcessId());
  std::vector<double> samples(kFrames, 0.25);
  double* channels[] = {samples.data()};

  std::vector<Entry> formats = ExpectedFormats();
  size_t written = 0;
  for (size_t i = 0; i < formats.size(); ++i) {
    SCOPED_TRACE(formats[i].text);
    panel.Choose(kFormatList, static_cast<LRESULT>(i));
    panel.MoveSlider(40);
    ASSERT_EQ(panel.Selection(kEncodingList), 0);
    ASSERT_EQ(panel.Selection(kByteOrderList), 0);
    int32_t chosen = static_cast<int32_t>(panel.SelectedData(kEncodingList));

    auto block = MakeBlock(0, 0.0f);
    int size = 0;
    SendMessageA(panel.Handle(), kConfigQuery, reinterpret_cast<WPARAM>(&size),
                 reinterpret_cast<LPARAM>(block.data()));
    int32_t word;
    std::memcpy(&word, &block[4], 4);
    EXPECT_EQ(word, chosen) << "the default byte order keeps the encoding's word";

    std::string path = base + "." + std::to_string(i);
    bool writable = LibsndfileWrites(path, word);
    PCM_sink* writer = sink->makeSink(path.c_str(), block.data(), size, 1, kRate, false);
    EXPECT_EQ(writer != nullptr, writable);
    if (writer == nullptr) continue;
    ++written;
    writer->WriteBlock(channels, kFrames, 1, 0, 0);
    DestroyThroughTable(writer);
    EXPECT_EQ(WrittenFormat(path, word) & (SF_FORMAT_TYPEMASK | SF_FORMAT_SUBMASK), word);
    std::remove(path.c_str());
  }
  EXPECT_GT(written, formats.size() / 2) << "most formats write their first encoding";
  DestroyWindow(parent);
}

}  // namespace
