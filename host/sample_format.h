// What an encoding stores per sample, read from its libsndfile name, and
// the choice of an encoding that keeps what the input holds: the same
// encoding, else one of the same kind and width, else the stored
// default's, else the target's narrowest lossless one that holds the
// input's bits (the widest when none does).
#pragma once

#include <string>
#include <vector>

#include "host/panel_driver.h"

namespace pexo_host {

struct SampleFormat {
  enum Kind { kUnknown, kInteger, kFloat } kind = kUnknown;  // kUnknown: lossy or no plain width
  int bits = 0;
};
// "Signed 24 bit PCM", "24 bit ALAC", "12 bit DWVW": integer; "32 bit
// float": float; "Vorbis", "U-Law", "GSM 6.10": unknown.
SampleFormat SampleFormatOf(const std::string& encodingName);

// What the input is, as its decoder tells it.
struct InputFormat {
  std::string container;  // the properties text's "Format:" line
  std::string encoding;   // its "Encoding:" line
  int bits = 0;           // SampleBits
  // The bits it holds: the encoding's width, else SampleBits.
  int HeldBits() const;
};
// The value of "Name: value" in a properties text with CR LF line ends.
std::string PropertyLine(const std::string& text, const std::string& name);

// Index in encodings of the entry that keeps what the input holds, given
// whether the entry selected now is the stored default's encoding; -1 to
// keep the selection.
int KeepingEncoding(const std::vector<ListEntry>& encodings, bool selectedIsDefault, const InputFormat& input);

}  // namespace pexo_host
