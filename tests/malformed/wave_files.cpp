// Writing WAV headers field by field.
#include "tests/malformed/wave_files.h"

namespace {

void Put16(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, static_cast<uint16_t>(value & 0xFFFF));
  Put16(out, static_cast<uint16_t>(value >> 16));
}

}  // namespace

std::string WaveFile(const WaveHeader& header) {
  std::string samples;
  int channels = header.channels == 0 ? 1 : header.channels;
  for (int i = 0; i < header.frames * channels; ++i) Put16(samples, static_cast<uint16_t>(i * 37));
  uint32_t dataSize = header.dataSize < 0 ? static_cast<uint32_t>(samples.size()) : static_cast<uint32_t>(header.dataSize);

  std::string body = "WAVEfmt ";
  Put32(body, 16);
  Put16(body, header.formatTag);
  Put16(body, header.channels);
  Put32(body, header.sampleRate);
  Put32(body, header.sampleRate * header.blockAlign);
  Put16(body, header.blockAlign);
  Put16(body, header.bitsPerSample);
  body += "data";
  Put32(body, dataSize);
  body += samples;

  std::string file = "RIFF";
  Put32(file, header.riffSize < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(header.riffSize));
  return file + body;
}
