// The Win32 handle and message types shared by the host interface and the
// Win32 subset layer.
#pragma once

#include <cstdint>

#if defined(_WIN32)
// On Windows the platform's own declarations, which have the same types.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
struct HWND__;
struct HINSTANCE__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using INT_PTR = intptr_t;
using UINT = unsigned int;
using DWORD = uint32_t;
using BOOL = int;

// The first message number free for a window class's own messages; the
// host interface numbers the panel's query from it.
constexpr UINT WM_USER = 0x0400;
#endif
