// libsndfile's own lists of major formats and subtypes, asked once through
// the plug-in's binding, for targets that pick format words from them.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/fuzz/fuzz_input.h"

struct SndfileFormats {
  std::vector<int32_t> majors;
  std::vector<int32_t> subtypes;
  std::vector<int32_t> writable;  // major | subtype pairs that pass the check for 1 channel
};

// Needs the plug-in started (libsndfile bound).
const SndfileFormats& Formats();

// A format word: mostly a writable pair, else any listed major and subtype,
// each with a byte order; sometimes any 32-bit value at all.
int32_t ChooseFormatWord(FuzzInput& in);

// Whether libsndfile accepts the word for that many channels.
bool FormatPasses(int32_t formatWord, int channels);
