// The configuration panel: openConfigPanel for a WAV 16-bit block inside a
// parent window of the Win32 subset layer, timed until it returns, by when
// the panel has filled its three lists; the panel is destroyed after each
// run. The baseline is the same libsndfile queries alone: enumerating the
// major formats and the subtypes and checking each candidate encoding and
// byte order, which is the work the panel cannot avoid.
#include <dlfcn.h>
#include <sndfile.h>

#include <cstring>

#include "abi/sink_config.h"
#include "bench/bench_context.h"
#include "bench/stopwatch.h"
#include "platform/win32.h"

namespace bench {
namespace {

constexpr int kFormatList = 1006;
constexpr int kEncodingList = 1008;
constexpr int kByteOrderList = 1009;

struct Win32Layer {
  decltype(&CreateWindowExA) createWindow = nullptr;
  decltype(&DestroyWindow) destroyWindow = nullptr;
  decltype(&SendDlgItemMessageA) sendItemMessage = nullptr;
};

template <typename Function>
void Bind(void* library, Function& slot, const char* name) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) Fail(std::string("the Win32 layer lacks ") + name);
  std::memcpy(&slot, &symbol, sizeof slot);
}

// The same file the plug-in links, so both share one window system.
Win32Layer LoadWin32Layer(const std::string& path) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (library == nullptr) Fail("cannot load " + path);
  Win32Layer layer;
  Bind(library, layer.createWindow, "CreateWindowExA");
  Bind(library, layer.destroyWindow, "DestroyWindow");
  Bind(library, layer.sendItemMessage, "SendDlgItemMessageA");
  return layer;
}

SinkConfigBlock WavBlock() {
  SinkConfigBlock block{};
  block.typeTag = kSinkTypeTag;
  block.formatWord = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  block.quality = 0.5f;
  return block;
}

double OpenPanel(const BenchContext& context, const Win32Layer& layer, HWND parent) {
  const SinkConfigBlock block = WavBlock();
  Stopwatch stopwatch;
  HWND panel = context.plugin.sinks->openConfigPanel(&block, kSinkConfigBlockSize, parent);
  const double seconds = stopwatch.Stop();
  if (panel == nullptr) Fail("openConfigPanel returned no window");
  for (int list : {kFormatList, kEncodingList, kByteOrderList}) {
    if (layer.sendItemMessage(panel, list, CB_GETCOUNT, 0, 0) <= 0) Fail("the panel left a list empty");
  }
  layer.destroyWindow(panel);
  return seconds;
}

double QueryDirectly() {
  Stopwatch stopwatch;
  int majors = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &majors, sizeof majors);
  int wanted = 0;
  for (int i = 0; i < majors; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info);
    if (info.format == SF_FORMAT_WAV) wanted = info.format;
  }
  int subtypes = 0;
  sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE_COUNT, &subtypes, sizeof subtypes);
  SF_INFO check{};
  check.channels = 1;
  int accepted = 0;
  for (int i = 0; i < subtypes; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE, &info, sizeof info);
    check.format = wanted | info.format;
    accepted += sf_format_check(&check) != 0 ? 1 : 0;
  }
  for (int order : {0, int{SF_ENDIAN_LITTLE}, int{SF_ENDIAN_BIG}}) {
    check.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16 | order;
    accepted += sf_format_check(&check) != 0 ? 1 : 0;
  }
  const double seconds = stopwatch.Stop();
  if (accepted == 0) Fail("libsndfile accepted no WAV encoding");
  return seconds;
}

}  // namespace

void RunPanelCase(const BenchContext& context, std::vector<ResultRow>& rows) {
  const Win32Layer layer = LoadWin32Layer(context.win32Path);
  HWND parent = layer.createWindow(0, "STATIC", "pexo bench", 0, 0, 0, 600, 120, nullptr, nullptr, nullptr, nullptr);
  if (parent == nullptr) Fail("the Win32 layer made no parent window");
  SetStretchCase("panel: openConfigPanel, lists filled");
  const PairedTimes times =
      RunAlternating([&] { return OpenPanel(context, layer, parent); }, [] { return QueryDirectly(); },
                     context.settings.panel);
  layer.destroyWindow(parent);
  ResultRow row = RatioRow("panel", "openConfigPanel, lists filled",
                           times, context.settings.panelGoal);
  row.kind = RowKind::Time;
  rows.push_back(row);
  ReportProgress(rows.back());
}

}  // namespace bench
