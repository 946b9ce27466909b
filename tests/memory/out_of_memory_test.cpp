// With the heap exhausted, every operation a host calls answers the way
// the interface allows (null where it makes an object, a decoder without a
// file where it must copy a name, its usual answer where it needs no
// memory) and lets no exception reach the host; so do the Win32 functions
// the panel calls.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "binding/sndfile_api.h"
#include "binding/host_api.h"
#include "decoder/decoder.h"
#include "panel/panel.h"
#include "platform/win32.h"
#include "sink/sink.h"
#include "tests/common/quiet_host.h"
#include "tests/memory/failing_new.h"

namespace {

class OutOfMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadSndfile(), 0);
    // A host whose own functions need no memory: the recording host's
    // containers would throw from inside the plug-in's calls.
    quiet_host::InstallIntoHostApi();
    char pattern[] = "/tmp/pexo-memory-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    // A file to read: one second of silence.
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(Input().c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<short> silence(8000);
    sf_write_short(file, silence.data(), static_cast<sf_count_t>(silence.size()));
    sf_close(file);
  }
  void TearDown() override {
    std::system(("rm -rf '" + folder + "'").c_str());
  }
  std::string Input() const { return folder + "/input.wav"; }
  // A stored block for 16-bit WAV, quality 0.5.
  static std::vector<unsigned char> Block() {
    std::vector<unsigned char> block(kSinkConfigBlockSize, 0);
    SinkConfigBlock settings{kSinkTypeTag, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5f, {}};
    std::memcpy(block.data(), &settings, sizeof settings);
    return block;
  }
  std::string Output() const { return folder + "/output.wav"; }
  std::string folder;
};

// One operation under an exhausted heap: `answers` runs with every
// operator new failing and says whether the result is one the interface
// allows. An exception reaching the caller is the fault in every row.
struct Case {
  const char* what;
  std::function<bool()> answers;
};

void RunFailing(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    bool allowed = false;
    try {
      test_memory::NewFails failing;
      allowed = c.answers();
    } catch (...) {
      ADD_FAILURE() << c.what << " let an exception reach the host";
      continue;
    }
    EXPECT_TRUE(allowed) << c.what;
  }
}

// What makes an object answers as a failure; the rest work as always, for
// none of them needs the heap.
TEST_F(OutOfMemory, RegistrationAndDecoderOperations) {
  std::vector<unsigned char> block = Block();
  HostSource* opened = makeFromFile(Input().c_str(), 7);
  ASSERT_NE(opened, nullptr);
  ISimpleMediaDecoder* decoder = quiet_host::DecoderOf(opened);
  const std::string input = Input(), output = Output();  // made before the heap fails
  std::vector<double> frames(256);
  char text[512], title[64];
  const char* description = nullptr;
  const char* label = nullptr;

  RunFailing({
      {"makeFromTypeTag", [] { return makeFromTypeTag("KOVRA", 5) == nullptr; }},
      {"makeFromFile", [&] { return makeFromFile(input.c_str(), 7) == nullptr; }},
      {"makeSink",
       [&] {
         return makeSink(output.c_str(), block.data(), static_cast<int>(block.size()), 1, 8000, false) ==
                nullptr;
       }},
      {"listExtensions", [&] { return std::strcmp(listExtensions(1, &description), "CAF") == 0; }},
      {"typeTagAndLabel", [&] { return typeTagAndLabel(&label) == kSinkTypeTag && label != nullptr; }},
      {"extensionFor",
       [&] { return std::strcmp(extensionFor(block.data(), static_cast<int>(block.size())), "wav") == 0; }},
      {"MakeCopy", [&] { return decoder->MakeCopy() == nullptr; }},
      {"ReadFrames", [&] { return decoder->ReadFrames(frames.data(), 256) == 256; }},
      {"SeekToFrame", [&] {
         decoder->SeekToFrame(4000);
         return decoder->CurrentFrame() == 4000 && decoder->ReadFrames(frames.data(), 256) == 256;
       }},
      {"PropertiesText", [&] {
         decoder->PropertiesText(text, sizeof text, title, sizeof title);
         return text[0] != '\0';
       }},
      {"description", [&] {
         return decoder->ChannelCount() == 1 && decoder->SampleBits() == 16 &&
                decoder->SampleRateHz() == 8000.0 && decoder->LengthFrames() == 8000 && decoder->IsReady();
       }},
      {"OpenFile again", [&] {
         decoder->OpenFile(nullptr);  // the stored name: nothing to copy
         return decoder->IsReady() && decoder->CurrentFrame() == 0;
       }},
      // A new name cannot be copied: the decoder is left without a file.
      {"OpenFile with a new name", [&] {
         decoder->OpenFile(output.c_str());
         return !decoder->IsReady();
       }},
      {"CloseFile", [&] {
         decoder->CloseFile(false);
         return !decoder->IsReady();
       }},
  });
  delete opened;
}

// A writer made before the heap ran out writes, answers and finishes its
// file: every frame it took is in the file.
TEST_F(OutOfMemory, WriterOperations) {
  std::vector<unsigned char> block = Block();
  PCM_sink* sink = makeSink(Output().c_str(), block.data(), static_cast<int>(block.size()), 1, 8000, false);
  ASSERT_NE(sink, nullptr);
  std::vector<double> samples(1000, 0.25);
  double* channels[] = {samples.data()};
  char text[512];
  int peaks[16] = {};
  const std::string output = Output();

  RunFailing({
      {"WriteBlock", [&] { return sink->WriteBlock(channels, 1000, 1, 0, 0) == 1000 && sink->GetOutputCount() == 1000; }},
      {"DescribeOutput", [&] {
         sink->DescribeOutput(text, sizeof text);
         return text[0] != '\0';
       }},
      {"GetLengthSeconds", [&] { return sink->GetLengthSeconds() == 1000.0 / 8000.0; }},
      {"GetOutputFileName", [&] { return std::strcmp(sink->GetOutputFileName(), output.c_str()) == 0; }},
      {"PeakQuery", [&] { return sink->PeakQuery(0, peaks, sizeof peaks) == 0; }},
      {"delete", [&] {
         delete sink;
         return true;
       }},
  });
  SF_INFO info{};
  SNDFILE* file = sf_open(Output().c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(info.frames, 1000);
  sf_close(file);
}

// The panel through our Win32 layer: it does not open without memory and
// leaves nothing behind; an open one takes selections, answers the host's
// query and closes (or, where even that needs memory, stays whole).
TEST_F(OutOfMemory, PanelOperations) {
  std::vector<unsigned char> block = Block();
  pluginInstance = nullptr;  // the panel's template is in this program
  HWND parent = CreateWindowExA(0, "STATIC", "host", 0, 0, 0, 600, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  HWND panel = openConfigPanel(block.data(), static_cast<int>(block.size()), parent);
  ASSERT_NE(panel, nullptr);
  HWND formats = GetDlgItem(panel, kFormatListId);
  ASSERT_NE(formats, nullptr);
  unsigned char answer[kSinkConfigBlockSize] = {};
  bool destroyed = false;

  RunFailing({
      {"openConfigPanel", [&] {
         return openConfigPanel(block.data(), static_cast<int>(block.size()), parent) == nullptr;
       }},
      {"a format chosen", [&] {
         SendMessageA(formats, CB_SETCURSEL, 1, 0);
         SendMessageA(panel, WM_COMMAND, MAKEWPARAM(kFormatListId, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(formats));
         return IsWindow(panel) != FALSE;
       }},
      {"the host's query", [&] {
         SendMessageA(panel, kConfigQuery, 0, reinterpret_cast<LPARAM>(answer));
         return HasSinkTag(answer, sizeof answer, 12);
       }},
      {"DestroyWindow", [&] {
         destroyed = DestroyWindow(panel) != FALSE;
         return destroyed ? IsWindow(panel) == FALSE : IsWindow(formats) != FALSE;
       }},
  });
  if (!destroyed) {
    EXPECT_TRUE(DestroyWindow(panel));
  }
  EXPECT_TRUE(DestroyWindow(parent));
}

}  // namespace
