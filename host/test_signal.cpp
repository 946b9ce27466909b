// The test signal and its frame source.
#include "host/test_signal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace pexo_host {

std::vector<double> MakeTestSignal() {
  const double pi = std::acos(-1.0);
  const int64_t fade = kSignalRate / 100;
  std::vector<double> samples(static_cast<size_t>(kSignalFrames * kSignalChannels));
  for (int64_t frame = 0; frame < kSignalFrames; ++frame) {
    double t = static_cast<double>(frame) / kSignalRate;
    double gain = 1.0;
    if (frame < fade) gain = static_cast<double>(frame) / fade;
    if (kSignalFrames - 1 - frame < fade) gain = static_cast<double>(kSignalFrames - 1 - frame) / fade;
    samples[static_cast<size_t>(2 * frame)] = gain * 0.5 * std::sin(2 * pi * 440.0 * t);
    samples[static_cast<size_t>(2 * frame + 1)] = gain * 0.25 * std::sin(2 * pi * 1000.0 * t);
  }
  return samples;
}

int MemoryFrames::Read(double* buffer, int frameCount) {
  if (frameCount <= 0) return 0;
  size_t left = (samples.size() - position) / static_cast<size_t>(channels);
  size_t frames = std::min(left, static_cast<size_t>(frameCount));
  std::memcpy(buffer, samples.data() + position, frames * static_cast<size_t>(channels) * sizeof(double));
  position += frames * static_cast<size_t>(channels);
  return static_cast<int>(frames);
}

}  // namespace pexo_host
