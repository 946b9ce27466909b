// Puts recording wrappers into SndfileApi's slots and into
// HostApi.PeakBuild_Create for its lifetime. Each call is noted in the test
// host's events, in order with the PeakBuilder's destruction, then passed on
// to the real function unless a test gives an answer of its own. Restores
// the slots when it goes. One recorder at a time.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "binding/host_api.h"
#include "binding/sndfile_api.h"

class SndfileRecorder {
 public:
  SndfileRecorder();
  ~SndfileRecorder();
  SndfileRecorder(const SndfileRecorder&) = delete;
  SndfileRecorder& operator=(const SndfileRecorder&) = delete;

  // SFC_GET_FORMAT_INFO is refused (returns 1) instead of answered.
  bool refuseFormatInfo = false;
  // sf_write_double is noted but not called; it reports 0 values written.
  bool fakeWrites = false;
  // When set, these answer in place of libsndfile.
  std::function<sf_count_t(SNDFILE*, double*, sf_count_t)> readAnswer;
  std::function<int(SNDFILE*, int, void*, int)> commandAnswer;
  std::function<sf_count_t(SNDFILE*, sf_count_t, int)> seekAnswer;

  struct SeekCall {
    sf_count_t frame;
    int whence;
  };
  std::vector<SeekCall> seeks;
  int reads = 0;  // sf_readf_double calls

  struct Write {
    int64_t count;      // values asked for
    size_t peakCalls;   // PeakBuilder calls the test host had seen by then
  };
  std::vector<Write> writes;

 private:
  SndfileFunctions savedSndfile;
  HostFunctions savedHost;
};
