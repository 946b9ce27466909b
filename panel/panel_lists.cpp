// The panel's three lists, built from libsndfile's enumeration: formats,
// the encodings that the selected format can write, and the byte orders
// that the selected encoding can be written in.
#include <cstdio>
#include <cstring>

#include "binding/sndfile_api.h"
#include "panel/panel.h"
#include "sink/sink_config_block.h"

namespace {

// The selections compare with these: an encoding entry by major and
// subtype (byte order cleared), a byte-order entry by all three fields.
constexpr int32_t kFormatAndEncodingMask = SF_FORMAT_TYPEMASK | SF_FORMAT_SUBMASK;
constexpr int32_t kFormatEncodingAndOrderMask = kFormatAndEncodingMask | SF_FORMAT_ENDMASK;
static_assert(kFormatAndEncodingMask == 0x0FFFFFFF && kFormatEncodingAndOrderMask == 0x3FFFFFFF,
              "selection masks");
constexpr int32_t kLittleEndian = SF_ENDIAN_LITTLE;
constexpr int32_t kBigEndian = SF_ENDIAN_BIG;

// Entry texts are wsprintfA's: at most 1023 characters.
constexpr int kEntryTextSize = 1024;

// Appends an entry at the index the current count gives it (the lists are
// unsorted) and attaches the format word, sign-extended, as its item data.
void AppendEntry(HWND panel, int list, const char* text, int32_t formatWord) {
  LRESULT index = SendDlgItemMessageA(panel, list, CB_GETCOUNT, 0, 0);
  SendDlgItemMessageA(panel, list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  SendDlgItemMessageA(panel, list, CB_SETITEMDATA, static_cast<WPARAM>(index),
                      static_cast<LPARAM>(formatWord));
}

// The low 32 bits of an entry's item data; CB_ERR's -1 for no such entry.
int32_t ItemData(HWND panel, int list, LRESULT index) {
  LRESULT data = SendDlgItemMessageA(panel, list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return static_cast<int32_t>(static_cast<uint32_t>(data));
}

int32_t SelectedItemData(HWND panel, int list) {
  return ItemData(panel, list, SendDlgItemMessageA(panel, list, CB_GETCURSEL, 0, 0));
}

// Selects every entry whose item data equals `wanted` in turn, so the last
// one wins; with none, the list keeps no selection.
void SelectMatching(HWND panel, int list, int32_t wanted) {
  LRESULT count = SendDlgItemMessageA(panel, list, CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    if (ItemData(panel, list, index) == wanted) {
      SendDlgItemMessageA(panel, list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
  }
}

void Select(HWND panel, int list, int32_t wantedFormat, int32_t mask) {
  if (wantedFormat < 0) {
    SendDlgItemMessageA(panel, list, CB_SETCURSEL, 0, 0);
  } else {
    SelectMatching(panel, list, wantedFormat & mask);
  }
}

// One channel: the lists offer what libsndfile can write at all.
bool Writable(int32_t formatWord) {
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  info.channels = 1;
  info.format = formatWord;
  return SndfileApi.sf_format_check(&info) != 0;
}

int Count(int command) {
  int count = 0;
  SndfileApi.sf_command(nullptr, command, &count, sizeof count);
  return count;
}

// Format information for an enumeration index; zeroed first, so a refused
// call leaves null texts, not garbage.
SF_FORMAT_INFO Describe(int command, int index) {
  SF_FORMAT_INFO info;
  std::memset(&info, 0, sizeof info);
  info.format = index;
  SndfileApi.sf_command(nullptr, command, &info, sizeof info);
  return info;
}

const char* TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

void FillFormatList(HWND panel, int32_t formatWord) {
  int count = Count(SFC_GET_FORMAT_MAJOR_COUNT);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO major = Describe(SFC_GET_FORMAT_MAJOR, i);
    char text[kEntryTextSize];
    wsprintfA(text, ".%s  ( %s )", TextOrEmpty(major.extension), TextOrEmpty(major.name));
    AppendEntry(panel, kFormatListId, text, major.format);
  }
  SelectMatching(panel, kFormatListId, formatWord & kMajorFormatMask);
}

void FillEncodingList(HWND panel, int32_t wantedFormat) {
  SendDlgItemMessageA(panel, kEncodingListId, CB_RESETCONTENT, 0, 0);
  SendDlgItemMessageA(panel, kByteOrderListId, CB_RESETCONTENT, 0, 0);
  // Without a selected format this is 0x0FFF0000, which no candidate passes.
  int32_t major = SelectedItemData(panel, kFormatListId) & kMajorFormatMask;
  int count = Count(SFC_GET_FORMAT_SUBTYPE_COUNT);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO subtype = Describe(SFC_GET_FORMAT_SUBTYPE, i);
    int32_t candidate = major | subtype.format;
    if (Writable(candidate)) AppendEntry(panel, kEncodingListId, TextOrEmpty(subtype.name), candidate);
  }
  Select(panel, kEncodingListId, wantedFormat, kFormatAndEncodingMask);
  FillByteOrderList(panel, wantedFormat);
}

void FillByteOrderList(HWND panel, int32_t wantedFormat) {
  SendDlgItemMessageA(panel, kByteOrderListId, CB_RESETCONTENT, 0, 0);
  int32_t encoding = SelectedItemData(panel, kEncodingListId);  // -1 with no selection
  if (!Writable(encoding)) {
    std::printf("Something might have gone wrong... Format not available: %06x \n",
                static_cast<unsigned>(encoding));
  } else {
    AddByteOrderItem(panel, "Default Byte Order", encoding);
  }
  if (Writable(encoding | kLittleEndian)) {
    AddByteOrderItem(panel, "Little-Endian (Intel Byte Order)", encoding | kLittleEndian);
  }
  if (Writable(encoding | kBigEndian)) {
    AddByteOrderItem(panel, "Big-Endian (PowerPC Byte Order)", encoding | kBigEndian);
  }
  Select(panel, kByteOrderListId, wantedFormat, kFormatEncodingAndOrderMask);
}

void AddByteOrderItem(HWND panel, const char* text, int32_t formatWord) {
  AppendEntry(panel, kByteOrderListId, text, formatWord);
}
