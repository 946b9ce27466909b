// Puts an sf_open into SndfileApi that writes its file through libsndfile's
// virtual I/O, leaving a hole wherever libsndfile writes a run of zero bytes,
// and the matching sf_close. libsndfile lays the file out exactly as through
// its own file I/O, so a render of gigabytes of silence costs its sample
// conversion and almost no disk. Restores the slots when it goes.
#pragma once

#include "binding/sndfile_api.h"

class SparseOutput {
 public:
  SparseOutput();
  ~SparseOutput();
  SparseOutput(const SparseOutput&) = delete;
  SparseOutput& operator=(const SparseOutput&) = delete;

 private:
  SndfileFunctions saved;
};
