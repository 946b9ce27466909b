// The peaks file: a small text file with one line per peak, which plotting
// tools read as it is.
//
//   pexo-peaks 1
//   sample_rate 48000
//   channels 2
//   frames_per_peak 256
//   frames 96000
//   peaks 375
//   -0.5 0.5 -0.25 0.25      (per channel: minimum maximum)
//   ...
#pragma once

#include <string>

#include "host/peak_builder.h"

namespace pexo_host {

bool WritePeakFile(const Peaks& peaks, const std::string& path, std::string* error);

}  // namespace pexo_host
