// Puts recording wrappers into SndfileApi's seek, read and command slots for
// its lifetime; each forwards to the real entry point unless a test gives an
// answer of its own.
#pragma once

#include <sndfile.h>

#include <functional>
#include <vector>

struct SeekCall {
  sf_count_t frame;
  int whence;
};

class SndfileSpy {
 public:
  SndfileSpy();
  ~SndfileSpy();  // restores the table as it was
  SndfileSpy(const SndfileSpy&) = delete;
  SndfileSpy& operator=(const SndfileSpy&) = delete;

  std::vector<SeekCall> seeks;
  int reads = 0;
  // When set, these answer in place of libsndfile.
  std::function<sf_count_t(SNDFILE*, double*, sf_count_t)> readAnswer;
  std::function<int(SNDFILE*, int, void*, int)> commandAnswer;
};
