// ReplaceNonFinite: NaN to 0, infinities to full scale.
#include "host/sample_conditioner.h"

#include <cmath>

namespace pexo_host {

void ReplaceNonFinite(double* samples, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    double value = samples[i];
    if (std::isnan(value)) {
      samples[i] = 0.0;
    } else if (std::isinf(value)) {
      samples[i] = value > 0 ? 1.0 : -1.0;
    }
  }
}

}  // namespace pexo_host
