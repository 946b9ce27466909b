// SampleFormatOf and the choice of the encoding that keeps the input's.
#include "host/sample_format.h"

#include <cctype>
#include <cstdlib>

#include "host/config_choice.h"

namespace pexo_host {

SampleFormat SampleFormatOf(const std::string& encodingName) {
  SampleFormat format;
  size_t bitWord = encodingName.find(" bit");
  if (bitWord == std::string::npos || bitWord == 0) return format;
  size_t start = bitWord;
  while (start > 0 && std::isdigit(static_cast<unsigned char>(encodingName[start - 1]))) --start;
  if (start == bitWord) return format;
  int bits = std::atoi(encodingName.c_str() + start);
  std::string rest = encodingName.substr(bitWord);
  if (rest.find("float") != std::string::npos) {
    format.kind = SampleFormat::kFloat;
  } else if (rest.find("PCM") != std::string::npos || rest.find("ALAC") != std::string::npos ||
             rest.find("DWVW") != std::string::npos) {
    format.kind = SampleFormat::kInteger;  // DPCM, the delta PCM, counts too
  } else {
    return format;
  }
  format.bits = bits;
  return format;
}

int InputFormat::HeldBits() const {
  SampleFormat format = SampleFormatOf(encoding);
  return format.kind != SampleFormat::kUnknown ? format.bits : bits;
}

std::string PropertyLine(const std::string& text, const std::string& name) {
  const std::string key = name + ": ";
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, key.size(), key) == 0) return line.substr(key.size());
    at = end + 1;
  }
  return "";
}

int KeepingEncoding(const std::vector<ListEntry>& encodings, bool selectedIsDefault, const InputFormat& input) {
  // The input's own encoding.
  for (size_t i = 0; i < encodings.size(); ++i) {
    if (!input.encoding.empty() && SameEncodingName(encodings[i].text, input.encoding)) return static_cast<int>(i);
  }
  // One of the same kind and width ("24 bit ALAC" in, "Signed 24 bit PCM" out).
  const SampleFormat wanted = SampleFormatOf(input.encoding);
  if (wanted.kind != SampleFormat::kUnknown) {
    for (size_t i = 0; i < encodings.size(); ++i) {
      SampleFormat offered = SampleFormatOf(encodings[i].text);
      if (offered.kind == wanted.kind && offered.bits == wanted.bits) return static_cast<int>(i);
    }
  }
  // The stored default's encoding, offered by the target.
  if (selectedIsDefault) return -1;
  // The narrowest lossless one that holds the input's bits, else the widest.
  const int held = input.HeldBits();
  int best = -1, widest = -1;
  for (size_t i = 0; i < encodings.size(); ++i) {
    SampleFormat offered = SampleFormatOf(encodings[i].text);
    if (offered.kind == SampleFormat::kUnknown) continue;
    int index = static_cast<int>(i);
    if (widest < 0 || offered.bits > SampleFormatOf(encodings[static_cast<size_t>(widest)].text).bits) widest = index;
    if (offered.bits >= held &&
        (best < 0 || offered.bits < SampleFormatOf(encodings[static_cast<size_t>(best)].text).bits)) {
      best = index;
    }
  }
  if (best >= 0) return best;
  if (widest >= 0) return widest;
  return -1;  // nothing lossless: the panel's choice
}

}  // namespace pexo_host
