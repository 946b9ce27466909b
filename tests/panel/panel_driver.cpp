// The panel driver and the lists libsndfile implies.
#include "tests/panel/panel_driver.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>
#include <cstring>

#include "abi/host_interface.h"

namespace panel_test {

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
  char data[32];
  std::snprintf(data, sizeof data, "0x%llx", static_cast<unsigned long long>(entry.data));
  return out << '"' << entry.text << "\" " << data;
}

namespace {

bool Writable(int32_t formatWord) {
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  info.channels = 1;
  info.format = formatWord;
  return sf_format_check(&info) != 0;
}

int Count(int command) {
  int count = 0;
  sf_command(nullptr, command, &count, sizeof count);
  return count;
}

SF_FORMAT_INFO Describe(int command, int index) {
  SF_FORMAT_INFO info;
  std::memset(&info, 0, sizeof info);
  info.format = index;
  sf_command(nullptr, command, &info, sizeof info);
  return info;
}

}  // namespace

std::vector<Entry> ExpectedFormats() {
  std::vector<Entry> entries;
  for (int i = 0; i < Count(SFC_GET_FORMAT_MAJOR_COUNT); ++i) {
    SF_FORMAT_INFO major = Describe(SFC_GET_FORMAT_MAJOR, i);
    entries.push_back({std::string(".") + major.extension + "  ( " + major.name + " )", major.format});
  }
  return entries;
}

std::vector<Entry> ExpectedEncodings(int32_t majorFormat) {
  std::vector<Entry> entries;
  for (int i = 0; i < Count(SFC_GET_FORMAT_SUBTYPE_COUNT); ++i) {
    SF_FORMAT_INFO subtype = Describe(SFC_GET_FORMAT_SUBTYPE, i);
    if (Writable(majorFormat | subtype.format)) {
      entries.push_back({subtype.name, majorFormat | subtype.format});
    }
  }
  return entries;
}

std::vector<Entry> ExpectedByteOrders(int32_t encodingWord) {
  std::vector<Entry> entries;
  if (Writable(encodingWord)) entries.push_back({"Default Byte Order", encodingWord});
  if (Writable(encodingWord | 0x10000000)) {
    entries.push_back({"Little-Endian (Intel Byte Order)", encodingWord | 0x10000000});
  }
  if (Writable(encodingWord | 0x20000000)) {
    entries.push_back({"Big-Endian (PowerPC Byte Order)", encodingWord | 0x20000000});
  }
  return entries;
}

LRESULT IndexOf(const std::vector<Entry>& entries, LRESULT data) {
  LRESULT found = CB_ERR;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].data == data) found = static_cast<LRESULT>(i);
  }
  return found;
}

std::array<unsigned char, 32> MakeBlock(int32_t formatWord, float quality, unsigned char filler) {
  std::array<unsigned char, 32> block;
  block.fill(filler);
  std::memcpy(&block[0], &kTag, 4);
  std::memcpy(&block[4], &formatWord, 4);
  std::memcpy(&block[8], &quality, 4);
  return block;
}

std::vector<Entry> PanelDriver::Entries(int list) const {
  std::vector<Entry> entries;
  LRESULT count = SendDlgItemMessageA(panel, list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    auto index = static_cast<WPARAM>(i);
    std::string text(static_cast<size_t>(SendDlgItemMessageA(panel, list, CB_GETLBTEXTLEN, index, 0)) + 1, '\0');
    SendDlgItemMessageA(panel, list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.pop_back();
    entries.push_back({text, SendDlgItemMessageA(panel, list, CB_GETITEMDATA, index, 0)});
  }
  return entries;
}

LRESULT PanelDriver::Selection(int list) const {
  return SendDlgItemMessageA(panel, list, CB_GETCURSEL, 0, 0);
}

LRESULT PanelDriver::SelectedData(int list) const {
  return SendDlgItemMessageA(panel, list, CB_GETITEMDATA, static_cast<WPARAM>(Selection(list)), 0);
}

std::string PanelDriver::Label() const {
  char text[64];
  GetDlgItemTextA(panel, kLabel, text, sizeof text);
  return text;
}

LRESULT PanelDriver::SliderPosition() const {
  return SendDlgItemMessageA(panel, kSlider, TBM_GETPOS, 0, 0);
}

void PanelDriver::Choose(int list, LRESULT index) const {
  SendDlgItemMessageA(panel, list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(panel, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(list), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(panel, list)));
}

void PanelDriver::MoveSlider(int position) const {
  SendDlgItemMessageA(panel, kSlider, TBM_SETPOS, TRUE, position);
  SendMessageA(panel, WM_HSCROLL, 0, reinterpret_cast<LPARAM>(GetDlgItem(panel, kSlider)));
}

Reported PanelDriver::Query() const {
  unsigned char buffer[32];
  std::memset(buffer, 0xA5, sizeof buffer);
  int size = -1;
  EXPECT_EQ(SendMessageA(panel, kConfigQuery, reinterpret_cast<WPARAM>(&size),
                         reinterpret_cast<LPARAM>(buffer)),
            0);
  EXPECT_EQ(size, 32);
  for (int i = 12; i < 32; ++i) EXPECT_EQ(buffer[i], 0xA5) << "byte " << i << " was written";
  Reported reported;
  std::memcpy(&reported.tag, buffer, 4);
  std::memcpy(&reported.formatWord, buffer + 4, 4);
  std::memcpy(&reported.quality, buffer + 8, 4);
  return reported;
}

}  // namespace panel_test
