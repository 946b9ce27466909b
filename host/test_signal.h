// The demo's test signal: two seconds of stereo at 48 kHz, a 440 Hz tone on
// the left and a 1 kHz tone on the right, faded in and out over 10 ms.
#pragma once

#include <cstdint>
#include <vector>

#include "host/audio_writer.h"

namespace pexo_host {

constexpr int kSignalRate = 48000;
constexpr int kSignalChannels = 2;
constexpr int64_t kSignalFrames = 2 * kSignalRate;

// Interleaved samples.
std::vector<double> MakeTestSignal();

// Frames served from memory.
class MemoryFrames : public FrameSource {
 public:
  MemoryFrames(const std::vector<double>& samples, int channels, int rate)
      : samples(samples), channels(channels), rate(rate) {}
  int Channels() override { return channels; }
  int SampleRate() override { return rate; }
  int64_t TotalFrames() override { return static_cast<int64_t>(samples.size()) / channels; }
  int Read(double* buffer, int frameCount) override;

 private:
  const std::vector<double>& samples;
  int channels;
  int rate;
  size_t position = 0;  // in samples
};

}  // namespace pexo_host
