// Puts recording wrappers into the SndfileApi slots the writer uses and into
// HostApi.PeakBuild_Create. Each call is noted in the test host's events, in
// order with the PeakBuilder's destruction, then passed on to the real
// function unless an option says otherwise. Restores the slots when it goes.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

#include "binding/host_api.h"
#include "binding/sndfile_api.h"

class SndfileRecorder {
 public:
  SndfileRecorder();
  ~SndfileRecorder();

  // SFC_GET_FORMAT_INFO is refused (returns 1) instead of answered.
  bool refuseFormatInfo = false;
  // sf_write_double is noted but not called; it reports 0 values written.
  bool fakeWrites = false;

  struct Write {
    int64_t count;      // values asked for
    size_t peakCalls;   // PeakBuilder calls the test host had seen by then
  };
  std::vector<Write> writes;

 private:
  SndfileFunctions savedSndfile;
  HostFunctions savedHost;
};
