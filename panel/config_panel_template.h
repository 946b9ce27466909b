// Dialog template 155, the configuration panel, as a declarative table: the
// data of a resource script's DIALOGEX statement, positions and sizes in
// dialog units, controls in template (tab) order.
#pragma once

#include "panel/panel.h"
#include "platform/win32_resources.h"

// The template's resource number. Defined beside the resource note, so that
// a program linking openConfigPanel from the static library links the
// template too.
extern const int kConfigPanelTemplate;
constexpr int kConfigPanelTemplateNumber = 155;

constexpr DWORD kPanelListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
constexpr DWORD kPanelTextStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr DWORD kPanelSliderStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_BOTH | TBS_NOTICKS;

inline constexpr DialogControlResource kConfigPanelControls[] = {
    {kEncodingListId, "COMBOBOX", kPanelListStyle, 0, 41, 19, 109, 98, ""},
    {kFormatListId, "COMBOBOX", kPanelListStyle, 0, 41, 3, 109, 98, ""},
    {kByteOrderListId, "COMBOBOX", kPanelListStyle, 0, 41, 34, 109, 90, ""},
    {kFormatCaptionId, "STATIC", kPanelTextStyle, 0, 0, 5, 24, 8, "Format:"},
    {kEncodingCaptionId, "STATIC", kPanelTextStyle, 0, 0, 21, 32, 8, "Encoding:"},
    {kByteOrderCaptionId, "STATIC", kPanelTextStyle, 0, 0, 36, 39, 8, "Byte Order:"},
    {kQualityCaptionId, "STATIC", kPanelTextStyle, 0, 168, 26, 88, 8, "VBR/Flac Quality (0.0-1.0):"},
    {kQualitySliderId, "msctls_trackbar32", kPanelSliderStyle, 0, 162, 34, 121, 15, ""},
    {kQualityLabelId, "STATIC", kPanelTextStyle, 0, 259, 27, 19, 8, "Static"},
};

// Hidden (no WS_VISIBLE), no caption, no menu, no class of its own.
inline constexpr DialogResource kConfigPanelDialog = {
    WS_CHILD | DS_CONTROL | DS_SETFONT | DS_FIXEDSYS,
    0,
    0, 0, 288, 51,
    "MS Shell Dlg", 8,
    "",
    kConfigPanelControls,
    sizeof kConfigPanelControls / sizeof kConfigPanelControls[0],
};
static_assert(kConfigPanelDialog.style == 0x40000448, "panel template style");
static_assert(kPanelListStyle == 0x50210003 && kPanelTextStyle == 0x50020000 &&
                  kPanelSliderStyle == 0x50010018,
              "panel control styles");
