// The host's peak builder: min/max peaks of every block the writer hands it,
// one pair per channel for each run of kFramesPerPeak frames. When the
// writer destroys it, the peaks are kept under the output's file name until
// the host takes them.
#pragma once

#include <string>
#include <vector>

#include "abi/host_interface.h"

namespace pexo_host {

constexpr int kFramesPerPeak = 256;

struct Peaks {
  int sampleRate = 0;
  int channels = 0;
  long long frames = 0;
  // Per peak, per channel: minimum then maximum.
  std::vector<float> minMax;
  size_t Count() const { return channels > 0 ? minMax.size() / (2 * static_cast<size_t>(channels)) : 0; }
};

class HostPeakBuilder : public PeakBuilder {
 public:
  HostPeakBuilder(const char* path, int sampleRate, int channels);
  ~HostPeakBuilder() override;
  HostPeakBuilder(const HostPeakBuilder&) = delete;
  HostPeakBuilder& operator=(const HostPeakBuilder&) = delete;

  // count1 frames of count2 interleaved channels in buffers[0].
  void AddBlock(double** buffers, int count1, int count2, int value3, int value4) override;
  void Reserved() override {}
  // Request 0: the number of peaks so far. Others: 0.
  int PeakQuery(int request, void* data, int size) override;
  // Fills the host's peak record: bytes 0-31 the overall minimum and
  // maximum of the first four channels (single-precision pairs), the 32-bit
  // field at byte 32 the number of peaks.
  void PeakRecordQuery(void* record, int index, int flags) override;

 private:
  void FinishPeak();

  std::string path;
  Peaks peaks;
  int framesInPeak = 0;
  std::vector<float> current;  // the peak being built
  std::vector<float> overall;  // min/max over everything so far
};

// PeakBuild_Create as this host offers it: null for an unusable format.
PeakBuilder* CreatePeakBuilder(void* reserved, const char* path, int sampleRate, int channels);

// Moves the peaks of the builder destroyed for path into peaks. False when
// there are none.
bool TakeFinishedPeaks(const std::string& path, Peaks* peaks);

}  // namespace pexo_host
