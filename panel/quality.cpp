// The quality's two faces in the panel: the slider position (hundredths)
// and the value label.
#include <cmath>
#include <cstdio>

#include "panel/panel.h"

namespace {
constexpr float kSliderMax = 100.0f;
}  // namespace

int QualitySliderPosition(float quality) {
  // Rounded, not truncated: 0.53f x 100 is 52.99998, which must stay 53.
  // Limited first, so a damaged block (NaN, huge) converts without overflow.
  float hundredths = quality * 100.0f;
  if (!(hundredths > 0.0f)) return 0;  // also NaN
  if (hundredths > kSliderMax) return static_cast<int>(kSliderMax);
  return static_cast<int>(std::lround(hundredths));
}

void ShowQuality(HWND panel, float quality) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(quality));
  SetDlgItemTextA(panel, kQualityLabelId, text);
}
