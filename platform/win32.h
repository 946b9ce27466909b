// The Win32 subset that the plug-in and hosts use. On POSIX it is exported
// by libpexo_win32.so with C linkage and the Win32 names and constant
// values; on Windows it is the system's.
#pragma once

#include "platform/win32_types.h"

#if defined(_WIN32)
// On Windows the real user32, comctl32 and kernel32 (trackbar constants
// from the common controls' header).
#include <commctrl.h>
#else

using DLGPROC = INT_PTR (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using HMENU = void*;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr LRESULT CB_OKAY = 0;
constexpr LRESULT CB_ERR = -1;
constexpr LRESULT CB_ERRSPACE = -2;
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT TBM_GETPOS = 0x0400;
constexpr UINT TBM_GETRANGEMIN = 0x0401;
constexpr UINT TBM_GETRANGEMAX = 0x0402;
constexpr UINT TBM_SETPOS = 0x0405;
constexpr UINT TBM_SETRANGE = 0x0406;
constexpr unsigned SB_THUMBPOSITION = 4;  // WM_HSCROLL's request: the thumb was dropped here

constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_FIXEDSYS = 0x0008;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD TBS_BOTH = 0x0008;
constexpr DWORD TBS_NOTICKS = 0x0010;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

// Resource kinds.
constexpr unsigned RT_DIALOG = 5;

// True for a resource name that is a number (MAKEINTRESOURCEA), not a text.
inline bool IS_INTRESOURCE(const char* name) {
  return (reinterpret_cast<uintptr_t>(name) >> 16) == 0;
}

inline const char* MAKEINTRESOURCEA(int id) {
  return reinterpret_cast<const char*>(static_cast<uintptr_t>(static_cast<uint16_t>(id)));
}
constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) {
  return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr unsigned LOWORD(uintptr_t value) { return static_cast<unsigned>(value & 0xFFFFu); }
constexpr unsigned HIWORD(uintptr_t value) { return static_cast<unsigned>((value >> 16) & 0xFFFFu); }
constexpr LPARAM MAKELPARAM(unsigned low, unsigned high) {
  return static_cast<LPARAM>(static_cast<uint32_t>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16)));
}

extern "C" {

// Windows and dialogs.
HWND CreateDialogParamA(HINSTANCE module, const char* templateName, HWND parent, DLGPROC procedure,
                        LPARAM initParam);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE module, void* param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
HWND GetParent(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemTextA(HWND dialog, int id, const char* text);
UINT GetDlgItemTextA(HWND dialog, int id, char* text, int capacity);
BOOL SetWindowTextA(HWND window, const char* text);
int GetWindowTextA(HWND window, char* text, int capacity);
int GetWindowTextLengthA(HWND window);
int wsprintfA(char* buffer, const char* format, ...);

// Ini files ("private profiles").
UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* fileName);
BOOL GetPrivateProfileStructA(const char* section, const char* key, void* data, UINT size,
                              const char* fileName);
// A null value deletes the key, a null key the whole section.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName);
// Writes data as 2 x size hexadecimal digits and a checksum byte; null data
// deletes the key.
BOOL WritePrivateProfileStructA(const char* section, const char* key, const void* data, UINT size,
                                const char* fileName);
}
#endif
