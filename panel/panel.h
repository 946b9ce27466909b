// The sink's configuration panel: a child dialog in a host's window in
// which the user chooses container, encoding, byte order and quality. The
// choice lives only in the controls; the host collects it as a
// SinkConfigBlock with the kConfigQuery message.
#pragma once

#include <cstdint>

#include "abi/sink_config.h"
#include "platform/win32.h"


// The dialog's creation parameter: the block the host gave. Read only while
// the dialog is being created.
struct ConfigPanelStart {
  const void* block;
  int blockSize;
};

// The registration record's openConfigPanel: a panel (hidden) inside
// `parentWindow` for a block of at least 4 bytes that begins with the sink's
// tag; null for any other block or when the dialog cannot be created.
HWND openConfigPanel(const void* block, int blockSize, HWND parentWindow) noexcept;

// The panel's dialog procedure; 0 for every message.
INT_PTR ConfigPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Rebuild the encoding list (and below it the byte-order list) for the
// selected format, or the byte-order list for the selected encoding, and
// select the entry matching wantedFormat; a negative wantedFormat selects
// the first entry.
void FillEncodingList(HWND panel, int32_t wantedFormat);
void FillByteOrderList(HWND panel, int32_t wantedFormat);
void AddByteOrderItem(HWND panel, const char* text, int32_t formatWord);

// Fills the format list with every major format and selects formatWord's.
void FillFormatList(HWND panel, int32_t formatWord);

// Slider position for a quality: quality x 100 rounded to the nearest
// integer, limited to the slider's range (NaN counts as 0).
int QualitySliderPosition(float quality);
// Shows a quality in the value label as "%.2f".
void ShowQuality(HWND panel, float quality);
