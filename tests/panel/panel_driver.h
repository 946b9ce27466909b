// Drives a configuration panel as a user and a host do, through Win32
// messages only, and computes what its lists must hold from libsndfile's
// own enumeration.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace panel_test {

// Control ids of the panel, as a host knows them from the template.
constexpr int kFormatList = 1006;
constexpr int kEncodingList = 1008;
constexpr int kByteOrderList = 1009;
constexpr int kSlider = 1016;
constexpr int kLabel = 1015;

struct Entry {
  std::string text;
  LRESULT data;
  bool operator==(const Entry& other) const { return text == other.text && data == other.data; }
};
std::ostream& operator<<(std::ostream& out, const Entry& entry);

// What libsndfile offers: every major format; the subtypes that pass
// sf_format_check (one channel) with a major format; the byte orders that
// pass with an encoding's word. Item data as the panel attaches it.
std::vector<Entry> ExpectedFormats();
std::vector<Entry> ExpectedEncodings(int32_t majorFormat);
std::vector<Entry> ExpectedByteOrders(int32_t encodingWord);
// The index of the last entry with this data, or -1 (CB_ERR).
LRESULT IndexOf(const std::vector<Entry>& entries, LRESULT data);

// A 32-byte block as a host stores it, bytes 12 to 31 set to `filler`.
std::array<unsigned char, 32> MakeBlock(int32_t formatWord, float quality,
                                        unsigned char filler = 0);
constexpr uint32_t kTag = 0x736E6466;

// The first 12 bytes of a block, read back.
struct Reported {
  uint32_t tag;
  uint32_t formatWord;
  float quality;
};

class PanelDriver {
 public:
  explicit PanelDriver(HWND panel) : panel(panel) {}
  HWND Handle() const { return panel; }

  std::vector<Entry> Entries(int list) const;
  LRESULT Selection(int list) const;
  LRESULT SelectedData(int list) const;
  std::string Label() const;
  LRESULT SliderPosition() const;

  // A user's choice: CB_SETCURSEL, then the change notification to the
  // dialog; a slider move: TBM_SETPOS, then WM_HSCROLL.
  void Choose(int list, LRESULT index) const;
  void MoveSlider(int position) const;

  // kConfigQuery into a buffer prefilled with 0xA5; also checks that the
  // size written is 32 and bytes 12 to 31 stayed as they were.
  Reported Query() const;

 private:
  HWND panel;
};

}  // namespace panel_test
