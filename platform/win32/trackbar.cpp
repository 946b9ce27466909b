// The trackbar class ("msctls_trackbar32"): a position kept within a range.
#include "platform/win32/control_procedures.h"

namespace win32_layer {
namespace {

void Clamp(Window& window) {
  if (window.position > window.rangeMax) window.position = window.rangeMax;
  if (window.position < window.rangeMin) window.position = window.rangeMin;
}

}  // namespace

LRESULT TrackbarProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)wParam;  // the redraw flag: there is nothing to draw
  switch (message) {
    case TBM_GETPOS:
      return window.position;
    case TBM_GETRANGEMIN:
      return window.rangeMin;
    case TBM_GETRANGEMAX:
      return window.rangeMax;
    case TBM_SETRANGE:
      // Minimum in the low word, maximum in the high word, both signed 16-bit.
      window.rangeMin = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
      window.rangeMax = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)));
      Clamp(window);
      return 0;
    case TBM_SETPOS:
      // Limited to the range before it is narrowed, so no value wraps.
      if (lParam > window.rangeMax) {
        window.position = window.rangeMax;
      } else if (lParam < window.rangeMin) {
        window.position = window.rangeMin;
      } else {
        window.position = static_cast<int>(lParam);
      }
      return 0;
    default: {
      LRESULT result = 0;
      WindowTextMessage(window, message, wParam, lParam, &result);
      return result;
    }
  }
}

}  // namespace win32_layer
