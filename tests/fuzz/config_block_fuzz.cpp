// The configuration-block readers on arbitrary bytes and sizes, negative
// ones and ones larger than the bytes included: extensionFor, makeSink,
// openConfigPanel (through the Win32 subset, with fuzzer-chosen user
// actions and queries) and ReadSinkDefaults on a fuzzer-written ini file.
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "abi/sink_config.h"
#include "platform/win32.h"
#include "sink/sink_defaults.h"
#include "tests/common/stored_defaults.h"
#include "tests/common/test_host.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_files.h"
#include "tests/fuzz/fuzz_formats.h"
#include "tests/fuzz/fuzz_heap.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/fuzz_plugin.h"
#include "tests/fuzz/fuzz_targets.h"

namespace fuzz_config_block {
namespace {

constexpr int kFormatList = 1006;
constexpr int kEncodingList = 1008;
constexpr int kByteOrderList = 1009;
constexpr int kQualitySlider = 1016;

// A block as the host hands it over: the bytes, and the size it claims.
// The storage holds exactly what the claim covers, but never more than the
// bytes or the 32 of a SinkConfigBlock, whichever is larger: a reader that
// looks past its size, or past the block, is caught.
struct HostBlock {
  std::unique_ptr<unsigned char[]> storage;
  int size;
  bool tagged;  // size 4 or more and the tag in front
};

int ClaimedSize(FuzzInput& in, int length) {
  switch (in.InRange(0, 7)) {
    case 0: return static_cast<int>(in.InRange(INT_MIN, -1));
    case 1: return static_cast<int>(in.InRange(0, 40));
    case 2: return static_cast<int>(in.InRange(length, INT_MAX));
    default: return length;
  }
}

HostBlock MakeBlock(FuzzInput& in) {
  std::string bytes = in.Bytes(48);
  if (in.Bool() && bytes.size() >= 4) std::memcpy(&bytes[0], "fdns", 4);  // the tag, in storage order
  if (in.Bool() && bytes.size() >= 8) {
    int32_t word = ChooseFormatWord(in);
    std::memcpy(&bytes[4], &word, sizeof word);
  }
  HostBlock block;
  block.size = ClaimedSize(in, static_cast<int>(bytes.size()));
  size_t claimed = block.size > 0 ? static_cast<size_t>(block.size) : 0;
  size_t stored = std::min(claimed, std::max(bytes.size(), static_cast<size_t>(kSinkConfigBlockSize)));
  block.storage.reset(new unsigned char[stored]);
  std::memset(block.storage.get(), 0, stored);
  std::memcpy(block.storage.get(), bytes.data(), std::min(stored, bytes.size()));
  block.tagged = block.size >= 4 && std::memcmp(block.storage.get(), "fdns", 4) == 0;
  return block;
}

void Extension(const StartedPlugin& plugin, const HostBlock& block) {
  const char* extension = plugin.sink->extensionFor(block.storage.get(), block.size);
  if (!block.tagged || (block.size > 4 && block.size < 8)) {
    FUZZ_CHECK(extension == nullptr);
  } else {
    FUZZ_CHECK(extension != nullptr);
    FUZZ_CHECK(std::strlen(extension) < 64);
    if (block.size == 4) FUZZ_CHECK(std::strcmp(extension, "var") == 0);
  }
}

void Sink(const StartedPlugin& plugin, const HostBlock& block, FuzzInput& in) {
  std::string path = ScratchPath("block-output");
  int channels = static_cast<int>(in.InRange(-1, 3));
  bool peaks = in.Bool();
  PCM_sink* sink = plugin.sink->makeSink(path.c_str(), block.storage.get(), block.size, channels, 44100, peaks);
  // Without the tag there is no writer; with fewer than 32 bytes the writer
  // has no format and gets no further than its format check.
  if (!block.tagged || block.size < kSinkConfigBlockSize)
    FUZZ_CHECK(sink == nullptr && test_host::Recorded().peakBuildersCreated == 0);
  delete sink;
  FUZZ_CHECK(test_host::Recorded().peakBuildersAlive == 0);
  std::remove(path.c_str());
}

// The host's ini file with stored defaults: a size and a value that may or
// may not agree with each other. Returns the bytes a correct read yields,
// or nothing when no read may succeed.
std::string WriteDefaults(FuzzInput& in, bool* readable) {
  std::string stored = in.Bytes(72);
  if (in.Bool() && stored.size() >= 4) std::memcpy(&stored[0], "fdns", 4);
  if (in.Bool() && stored.size() >= 8) {
    int32_t word = ChooseFormatWord(in);
    std::memcpy(&stored[4], &word, sizeof word);
  }
  bool damage = in.InRange(0, 3) == 0;
  std::string sizeText;
  switch (in.InRange(0, 5)) {
    case 0: sizeText = std::to_string(in.InRange(INT_MIN, 0)); break;
    case 1: sizeText = std::to_string(in.InRange(0, INT_MAX)); break;
    case 2: sizeText = in.Bytes(12); break;
    default: sizeText = std::to_string(stored.size()); break;
  }
  std::string value = test_ini::StructForm(stored, damage ? 1 : 0);
  if (in.InRange(0, 7) == 0) value = in.Bytes(160);
  std::string ini = test_ini::DefaultsSection(sizeText, value);
  bool wellFormed = in.Bool();
  WriteScratchFile(test_host::IniPath(), wellFormed ? ini : in.Bytes(400));
  *readable = wellFormed && !damage && sizeText == std::to_string(stored.size()) && !stored.empty() &&
              value == test_ini::StructForm(stored);
  return stored;
}

void Defaults(FuzzInput& in) {
  bool readable = false;
  std::string stored = WriteDefaults(in, &readable);
  const void* untouched = &readable;
  const void* block = untouched;
  int size = ReadSinkDefaults(&block, kSinkDefaultsSection);
  FUZZ_CHECK(size >= 0);
  if (size == 0) {
    FUZZ_CHECK(block == untouched);
    FUZZ_CHECK(!readable);
  } else {
    FUZZ_CHECK(block != untouched && block != nullptr);
  }
  if (size != 0 && readable) {
    FUZZ_CHECK(static_cast<size_t>(size) == stored.size());
    FUZZ_CHECK(std::memcmp(block, stored.data(), stored.size()) == 0);
  }
}

// The user acts on the panel; the host asks for the block.
void Panel(const StartedPlugin& plugin, const HostBlock& block, FuzzInput& in) {
  HWND parent = CreateWindowExA(0, "STATIC", "host", 0, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
  FUZZ_CHECK(parent != nullptr);
  HWND panel = plugin.sink->openConfigPanel(block.storage.get(), block.size, parent);
  FUZZ_CHECK((panel != nullptr) == block.tagged);
  if (panel != nullptr) {
    for (int step = 0; step < 12 && !in.Empty(); ++step) {
      switch (in.InRange(0, 4)) {
        case 0: case 1: {
          int list = step % 2 == 0 ? kFormatList : kEncodingList;
          if (in.Bool()) list = kByteOrderList;
          LRESULT count = SendDlgItemMessageA(panel, list, CB_GETCOUNT, 0, 0);
          WPARAM index = static_cast<WPARAM>(in.InRange(-1, count));
          SendDlgItemMessageA(panel, list, CB_SETCURSEL, index, 0);
          SendMessageA(panel, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(list), CBN_SELCHANGE), 0);
          break;
        }
        case 2:
          SendDlgItemMessageA(panel, kQualitySlider, TBM_SETPOS, 1, static_cast<LPARAM>(in.InRange(-20, 140)));
          SendMessageA(panel, WM_HSCROLL, 0, 0);
          break;
        case 3: {
          // Messages the panel ignores, with arbitrary parameters: any of
          // the application range but the query, whose parameters are
          // pointers.
          UINT message = static_cast<UINT>(in.InRange(WM_USER, WM_USER + 2047));
          if (message == kConfigQuery) ++message;
          SendMessageA(panel, message, in.Take<WPARAM>(), in.Take<LPARAM>());
          break;
        }
        default: {
          int reported = 0;
          unsigned char answer[kSinkConfigBlockSize];
          std::memset(answer, 0x5A, sizeof answer);
          bool both = in.Bool();
          SendMessageA(panel, kConfigQuery, both ? reinterpret_cast<WPARAM>(&reported) : 0,
                       reinterpret_cast<LPARAM>(answer));
          if (both) FUZZ_CHECK(reported == kSinkConfigBlockSize);
          SinkConfigBlock read;
          std::memcpy(&read, answer, sizeof read);
          FUZZ_CHECK(read.typeTag == kSinkTypeTag);
          // Only what the lists offer, and they offer only what passes.
          FUZZ_CHECK(read.formatWord == -1 || FormatPasses(read.formatWord, 1));
          FUZZ_CHECK(read.quality >= 0.0f && read.quality <= 1.0f);
          for (int i = 12; i < kSinkConfigBlockSize; ++i) FUZZ_CHECK(answer[i] == 0x5A);
          break;
        }
      }
    }
    SendMessageA(panel, kConfigQuery, 0, 0);
  }
  // The host destroys the panel; the plug-in never does.
  if (panel != nullptr) DestroyWindow(panel);
  DestroyWindow(parent);
}

}  // namespace

int FuzzOne(const uint8_t* data, size_t size) {
  // A stored size near 2 GiB would have the defaults reader take that much
  // of the heap each time (it sizes its buffer before reading the value);
  // a heap of 256 MiB answers such requests as a full heap does.
  SetHeapLimit(256 << 20);
  const StartedPlugin& plugin = StartPlugin();
  test_host::Reset();
  static const std::string ini = ScratchPath("host.ini");
  test_host::IniPath() = ini;
  FuzzInput in(data, size);
  HostBlock block = MakeBlock(in);
  Defaults(in);
  Extension(plugin, block);
  Sink(plugin, block, in);
  Panel(plugin, block, in);
  std::remove(ini.c_str());
  return 0;
}

}  // namespace fuzz_config_block

PEXO_FUZZ_TARGET("config_block", fuzz_config_block::FuzzOne);
