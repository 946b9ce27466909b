// The COMBOBOX class: a list of texts with item data and one selection.
// Only the list part exists; a drop-down list shows its selection as the
// window text.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/win32/allocation.h"
#include "platform/win32/control_procedures.h"

namespace win32_layer {
namespace {

// Win32 orders sorted lists without regard to letter case.
bool SortsBefore(const std::string& left, const std::string& right) {
  size_t count = std::min(left.size(), right.size());
  for (size_t i = 0; i < count; ++i) {
    int a = std::tolower(static_cast<unsigned char>(left[i]));
    int b = std::tolower(static_cast<unsigned char>(right[i]));
    if (a != b) return a < b;
  }
  return left.size() < right.size();
}

// The item an index names, or null. Indexes arrive as WPARAM and are
// compared as signed values, so (WPARAM)-1 names nothing.
ComboBoxItem* ItemAt(Window& window, WPARAM index) {
  intptr_t position = static_cast<intptr_t>(index);
  if (position < 0 || static_cast<size_t>(position) >= window.items.size()) return nullptr;
  return &window.items[static_cast<size_t>(position)];
}

// The new item's index, or CB_ERRSPACE with the list unchanged.
LRESULT AddString(Window& window, LPARAM lParam) {
  const char* text = reinterpret_cast<const char*>(lParam);
  ComboBoxItem item;
  if (!Allocates([&] { item.text = text != nullptr ? text : ""; })) return CB_ERRSPACE;
  size_t index = window.items.size();
  if ((window.style & CBS_SORT) != 0) {
    index = 0;
    while (index < window.items.size() && !SortsBefore(item.text, window.items[index].text)) ++index;
  }
  if (!Allocates([&] {
        window.items.insert(window.items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
      })) {
    return CB_ERRSPACE;
  }
  if (window.selection >= 0 && static_cast<size_t>(window.selection) >= index) ++window.selection;
  return static_cast<LRESULT>(index);
}

}  // namespace

LRESULT ComboBoxProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case CB_ADDSTRING:
      return AddString(window, lParam);
    case CB_GETCOUNT:
      return static_cast<LRESULT>(window.items.size());
    case CB_GETCURSEL:
      return window.selection;  // -1 is CB_ERR
    case CB_SETCURSEL:
      // Out of range (and -1) clears the selection; no notification either way.
      if (ItemAt(window, wParam) == nullptr) {
        window.selection = -1;
        return CB_ERR;
      }
      window.selection = static_cast<int>(wParam);
      return window.selection;
    case CB_GETITEMDATA: {
      ComboBoxItem* item = ItemAt(window, wParam);
      return item != nullptr ? item->data : CB_ERR;
    }
    case CB_SETITEMDATA: {
      ComboBoxItem* item = ItemAt(window, wParam);
      if (item == nullptr) return CB_ERR;
      item->data = lParam;
      return TRUE;
    }
    case CB_GETLBTEXTLEN: {
      ComboBoxItem* item = ItemAt(window, wParam);
      return item != nullptr ? static_cast<LRESULT>(item->text.size()) : CB_ERR;
    }
    case CB_GETLBTEXT: {
      // No capacity is given: the caller sized the buffer by CB_GETLBTEXTLEN.
      ComboBoxItem* item = ItemAt(window, wParam);
      char* out = reinterpret_cast<char*>(lParam);
      if (item == nullptr || out == nullptr) return CB_ERR;
      std::memcpy(out, item->text.c_str(), item->text.size() + 1);
      return static_cast<LRESULT>(item->text.size());
    }
    case CB_RESETCONTENT:
      window.items.clear();
      window.selection = -1;
      return CB_OKAY;
    case WM_GETTEXT: {
      // The selection's text is copied out, never copied within.
      static const std::string kNoSelection;
      const std::string& text =
          window.selection >= 0 ? window.items[static_cast<size_t>(window.selection)].text : kNoSelection;
      return CopyTextOut(text, wParam, lParam);
    }
    case WM_GETTEXTLENGTH:
      return window.selection >= 0
                 ? static_cast<LRESULT>(window.items[static_cast<size_t>(window.selection)].text.size())
                 : 0;
    case WM_SETTEXT:
      return CB_ERR;  // a drop-down list has no edit field to take a text
    default:
      return 0;
  }
}

}  // namespace win32_layer
