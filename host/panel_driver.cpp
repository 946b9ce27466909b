// PanelDriver: the panel inside a parent window of the Win32 subset layer.
#include "host/panel_driver.h"

#include <cstring>

#include "platform/win32.h"

namespace pexo_host {
namespace {

constexpr int kLargestBlock = 4096;  // more than any panel reports
// The parent window's size: room for the panel's template.
constexpr int kParentWidth = 600;
constexpr int kParentHeight = 120;

}  // namespace

PanelDriver::~PanelDriver() {
  // The panel is a child of the parent; both go, the panel first.
  if (panel != nullptr) DestroyWindow(panel);
  if (parent != nullptr) DestroyWindow(parent);
}

bool PanelDriver::Open(const SinkRegistration* sink, const void* block, int size, std::string* error) {
  parent = CreateWindowExA(0, "STATIC", "pexo-host", 0, 0, 0, kParentWidth, kParentHeight, nullptr, nullptr, nullptr, nullptr);
  if (parent == nullptr) {
    *error = "cannot create a window for the configuration panel";
    return false;
  }
  panel = sink->openConfigPanel(block, size, parent);
  if (panel == nullptr) {
    *error = "the plug-in did not open its configuration panel";
    return false;
  }
  return true;
}

bool PanelDriver::OpenOnDefaults(const SinkRegistration* sink, std::string* error) {
  const uint32_t tag = kSinkTypeTag;
  return Open(sink, &tag, sizeof tag, error);
}

std::vector<ListEntry> PanelDriver::Entries(int list) const {
  std::vector<ListEntry> entries;
  LRESULT count = SendDlgItemMessageA(panel, list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    WPARAM index = static_cast<WPARAM>(i);
    LRESULT length = SendDlgItemMessageA(panel, list, CB_GETLBTEXTLEN, index, 0);
    std::string text;
    if (length > 0) {
      std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
      SendDlgItemMessageA(panel, list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
      text = buffer.data();
    }
    LRESULT data = SendDlgItemMessageA(panel, list, CB_GETITEMDATA, index, 0);
    entries.push_back({text, static_cast<int32_t>(static_cast<uint32_t>(data))});
  }
  return entries;
}

int PanelDriver::Selection(int list) const {
  LRESULT selected = SendDlgItemMessageA(panel, list, CB_GETCURSEL, 0, 0);
  return selected < 0 ? -1 : static_cast<int>(selected);
}

void PanelDriver::Choose(int list, int index) {
  SendDlgItemMessageA(panel, list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(panel, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(list), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(panel, list)));
}

int PanelDriver::SliderPosition() const {
  return static_cast<int>(SendDlgItemMessageA(panel, kQualitySliderId, TBM_GETPOS, 0, 0));
}

void PanelDriver::MoveSlider(int position) {
  SendDlgItemMessageA(panel, kQualitySliderId, TBM_SETPOS, 1, position);
  SendMessageA(panel, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<unsigned>(position)),
               reinterpret_cast<LPARAM>(GetDlgItem(panel, kQualitySliderId)));
}

std::string PanelDriver::QualityLabel() const {
  char text[64] = {};
  GetDlgItemTextA(panel, kQualityLabelId, text, sizeof text);
  return text;
}

std::vector<unsigned char> PanelDriver::Query() const {
  int size = 0;
  SendMessageA(panel, kConfigQuery, reinterpret_cast<WPARAM>(&size), 0);
  if (size <= 0 || size > kLargestBlock) return {};
  std::vector<unsigned char> block(static_cast<size_t>(size), 0);
  SendMessageA(panel, kConfigQuery, reinterpret_cast<WPARAM>(&size), reinterpret_cast<LPARAM>(block.data()));
  return block;
}

}  // namespace pexo_host
