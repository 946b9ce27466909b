// The test program's dialog resources and the recording dialog procedure.
#include "tests/win32/test_dialogs.h"

#include "platform/win32_resources.h"

namespace {

constexpr DialogControlResource kChildControls[] = {
    {kLabelId, "STATIC", WS_CHILD | WS_VISIBLE, 0, 0, 0, 30, 8, "Label:"},
    {kComboId, "COMBOBOX", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 40, 0, 60, 50, ""},
    {kTrackbarId, "msctls_trackbar32", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 20, 100, 15, ""},
};
constexpr DialogResource kChild = {WS_CHILD | DS_CONTROL | DS_SETFONT, 0, 0, 0, 120, 40,
                                   "MS Shell Dlg", 8, "program", kChildControls, 3};
PEXO_DIALOG_RESOURCE_NOTE(kChildNote, kChildDialog, kChild);

constexpr DialogControlResource kPopupControls[] = {
    {kLabelId, "static", WS_VISIBLE, 0, 0, 0, 30, 8, "popup label"},
};
constexpr DialogResource kPopup = {WS_VISIBLE, 0, 0, 0, 50, 20, "MS Shell Dlg", 8, "popup",
                                   kPopupControls, 1};
PEXO_DIALOG_RESOURCE_NOTE(kPopupNote, kPopupDialog, kPopup);

constexpr DialogControlResource kUnknownClassControls[] = {
    {kLabelId, "STATIC", WS_CHILD, 0, 0, 0, 30, 8, "first"},
    {kComboId, "BUTTON", WS_CHILD, 0, 0, 10, 30, 8, "no such class"},
};
constexpr DialogResource kUnknownClass = {WS_CHILD, 0, 0, 0, 50, 20, "MS Shell Dlg", 8, "",
                                          kUnknownClassControls, 2};
PEXO_DIALOG_RESOURCE_NOTE(kUnknownClassNote, kUnknownClassDialog, kUnknownClass);

// Damaged records, made from a sound one by changing bytes that keep the
// note's own sizes intact.
template <typename Note>
constexpr Note Changed(Note note, size_t offset, unsigned char value, unsigned type = RT_DIALOG) {
  note.descriptor[offset] = value;
  note.type = type;
  return note;
}
constexpr size_t kVersionOffset = 4;
constexpr size_t kControlCountOffset = 4 + 4 + 4 + 4 + 8 + 2;
constexpr auto PopupNumbered(int number) {
  return resource_note::MakeDialogNote<resource_note::DialogDescriptorSize(kPopup)>(
      static_cast<uint32_t>(number), kPopup);
}
[[gnu::used, gnu::retain, gnu::section(".note.pexo.resource"), gnu::aligned(4)]]
constexpr auto kWrongVersionNote = Changed(PopupNumbered(kWrongVersionDialog), kVersionOffset, 2);
[[gnu::used, gnu::retain, gnu::section(".note.pexo.resource"), gnu::aligned(4)]]
constexpr auto kShortRecordNote = Changed(PopupNumbered(kShortRecordDialog), kControlCountOffset, 5);
[[gnu::used, gnu::retain, gnu::section(".note.pexo.resource"), gnu::aligned(4)]]
constexpr auto kNotADialogNote = Changed(PopupNumbered(kNotADialog), kVersionOffset, 1, RT_DIALOG + 1);

std::vector<SentMessage> received;

}  // namespace

std::vector<SentMessage>& Received() { return received; }

std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>& OnMessage() {
  static std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> hook;
  return hook;
}

INT_PTR RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received.push_back({window, message, wParam, lParam});
  return OnMessage() ? OnMessage()(window, message, wParam, lParam) : 0;
}

void ResetRecording() {
  received.clear();
  OnMessage() = nullptr;
}

std::vector<SentMessage> ReceivedOf(UINT message) {
  std::vector<SentMessage> found;
  for (const SentMessage& sent : received) {
    if (sent.message == message) found.push_back(sent);
  }
  return found;
}

HWND MakeTopLevel() {
  return CreateWindowExA(0, "STATIC", "host", 0, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
}
