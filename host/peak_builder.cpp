// HostPeakBuilder: real min/max peaks of the written samples.
#include "host/peak_builder.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>

namespace pexo_host {
namespace {

std::mutex finishedLock;
std::map<std::string, Peaks>& Finished() {
  static std::map<std::string, Peaks> finished;
  return finished;
}

void ResetMinMax(std::vector<float>& pairs) {
  for (size_t i = 0; i < pairs.size(); i += 2) {
    pairs[i] = std::numeric_limits<float>::infinity();
    pairs[i + 1] = -std::numeric_limits<float>::infinity();
  }
}

}  // namespace

HostPeakBuilder::HostPeakBuilder(const char* path, int sampleRate, int channels)
    : path(path != nullptr ? path : ""),
      current(2 * static_cast<size_t>(channels)),
      overall(2 * static_cast<size_t>(channels)) {
  peaks.sampleRate = sampleRate;
  peaks.channels = channels;
  ResetMinMax(current);
  ResetMinMax(overall);
}

HostPeakBuilder::~HostPeakBuilder() {
  if (framesInPeak > 0) FinishPeak();
  std::lock_guard<std::mutex> hold(finishedLock);
  Finished()[path] = std::move(peaks);
}

void HostPeakBuilder::FinishPeak() {
  // A run of silent-by-NaN frames still gives a peak: 0/0.
  for (size_t i = 0; i < current.size(); i += 2) {
    if (current[i] > current[i + 1]) current[i] = current[i + 1] = 0.0f;
  }
  peaks.minMax.insert(peaks.minMax.end(), current.begin(), current.end());
  ResetMinMax(current);
  framesInPeak = 0;
}

void HostPeakBuilder::AddBlock(double** buffers, int count1, int count2, int, int) {
  // A block of another channel layout cannot be read as this file's frames.
  if (buffers == nullptr || buffers[0] == nullptr || count1 <= 0 || count2 != peaks.channels) return;
  const double* samples = buffers[0];
  const size_t channels = static_cast<size_t>(count2);
  for (int frame = 0; frame < count1; ++frame) {
    for (size_t channel = 0; channel < channels; ++channel) {
      double value = samples[static_cast<size_t>(frame) * channels + channel];
      if (std::isnan(value)) continue;
      float sample = static_cast<float>(value);
      float& low = current[2 * channel];
      float& high = current[2 * channel + 1];
      if (sample < low) low = sample;
      if (sample > high) high = sample;
      if (sample < overall[2 * channel]) overall[2 * channel] = sample;
      if (sample > overall[2 * channel + 1]) overall[2 * channel + 1] = sample;
    }
    ++peaks.frames;
    if (++framesInPeak == kFramesPerPeak) FinishPeak();
  }
}

int HostPeakBuilder::PeakQuery(int request, void*, int) {
  if (request != 0) return 0;
  size_t count = peaks.Count() + (framesInPeak > 0 ? 1 : 0);
  return count > static_cast<size_t>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                       : static_cast<int>(count);
}

void HostPeakBuilder::PeakRecordQuery(void* record, int, int) {
  if (record == nullptr) return;
  auto* bytes = static_cast<unsigned char*>(record);
  float pairs[8] = {};
  for (size_t i = 0; i < 8 && i < overall.size(); ++i) {
    pairs[i] = std::isfinite(overall[i]) ? overall[i] : 0.0f;
  }
  std::memcpy(bytes, pairs, sizeof pairs);
  int count = PeakQuery(0, nullptr, 0);
  std::memcpy(bytes + kPeakRecordCountOffset, &count, sizeof count);
}

PeakBuilder* CreatePeakBuilder(void*, const char* path, int sampleRate, int channels) {
  if (path == nullptr || sampleRate <= 0 || channels <= 0 || channels > 4096) return nullptr;
  return new HostPeakBuilder(path, sampleRate, channels);
}

bool TakeFinishedPeaks(const std::string& path, Peaks* peaks) {
  std::lock_guard<std::mutex> hold(finishedLock);
  auto found = Finished().find(path);
  if (found == Finished().end()) return false;
  *peaks = std::move(found->second);
  Finished().erase(found);
  return true;
}

}  // namespace pexo_host
