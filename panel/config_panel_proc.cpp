// ConfigPanelProc: the panel's start, the user's selections and slider
// movements, and the host's kConfigQuery.
#include <cstddef>
#include <cstring>

#include "abi/host_interface.h"
#include "panel/panel.h"
#include "sink/sink_config_block.h"
#include "sink/sink_defaults.h"

namespace {

struct Settings {
  int32_t formatWord;
  float quality;
};

Settings ReadSettings(const void* block) { return {BlockFormatWord(block), BlockQuality(block)}; }

// The given block when it is a whole tagged block, else the stored
// defaults when they are, else the built-in default.
Settings ChooseSettings(const ConfigPanelStart& start) {
  if (HasSinkTag(start.block, start.blockSize, kSinkConfigBlockSize)) return ReadSettings(start.block);
  const void* stored = nullptr;
  int storedSize = ReadSinkDefaults(&stored, kSinkDefaultsSection);
  if (HasSinkTag(stored, storedSize, kSinkConfigBlockSize)) return ReadSettings(stored);
  return {kDefaultFormatWord, kDefaultQuality};
}

void Start(HWND panel, const ConfigPanelStart& start) {
  Settings settings = ChooseSettings(start);
  SendDlgItemMessageA(panel, kQualitySliderId, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
  SendDlgItemMessageA(panel, kQualitySliderId, TBM_SETPOS, TRUE,
                      QualitySliderPosition(settings.quality));
  ShowQuality(panel, settings.quality);
  FillFormatList(panel, settings.formatWord);
  FillEncodingList(panel, settings.formatWord);
}

int SliderPosition(HWND panel) {
  return static_cast<int>(SendDlgItemMessageA(panel, kQualitySliderId, TBM_GETPOS, 0, 0));
}

// 32 for the size where wParam points; tag, the selected byte-order entry's
// word and the slider's quality in the first 12 bytes at lParam. The rest
// of the host's buffer is left as it is.
void Query(HWND panel, WPARAM wParam, LPARAM lParam) {
  if (auto* size = reinterpret_cast<int*>(wParam)) {
    int blockSize = kSinkConfigBlockSize;
    std::memcpy(size, &blockSize, sizeof blockSize);
  }
  auto* out = reinterpret_cast<unsigned char*>(lParam);
  if (out == nullptr) return;
  LRESULT selected = SendDlgItemMessageA(panel, kByteOrderListId, CB_GETCURSEL, 0, 0);
  LRESULT data = SendDlgItemMessageA(panel, kByteOrderListId, CB_GETITEMDATA,
                                     static_cast<WPARAM>(selected), 0);
  uint32_t formatWord = static_cast<uint32_t>(data);
  float quality = static_cast<float>(SliderPosition(panel)) / 100.0f;
  std::memcpy(out + offsetof(SinkConfigBlock, typeTag), &kSinkTypeTag, 4);
  std::memcpy(out + offsetof(SinkConfigBlock, formatWord), &formatWord, 4);
  std::memcpy(out + offsetof(SinkConfigBlock, quality), &quality, 4);
}

}  // namespace

INT_PTR ConfigPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_INITDIALOG: {
      // Without a start record the panel opens as for a tag-only block.
      const auto* start = reinterpret_cast<const ConfigPanelStart*>(lParam);
      Start(panel, start != nullptr ? *start : ConfigPanelStart{nullptr, 0});
      break;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == CBN_SELCHANGE) {
        if (LOWORD(wParam) == kFormatListId) FillEncodingList(panel, -1);
        if (LOWORD(wParam) == kEncodingListId) FillByteOrderList(panel, -1);
      }
      break;
    case WM_HSCROLL:
      ShowQuality(panel, static_cast<float>(SliderPosition(panel)) / 100.0f);
      break;
    case kConfigQuery:
      Query(panel, wParam, lParam);
      break;
    default:
      break;
  }
  return 0;
}
