// WAV files built byte by byte, with any header field as damaged as a case
// needs.
#pragma once

#include <cstdint>
#include <string>

struct WaveHeader {
  uint16_t formatTag = 1;  // PCM
  uint16_t channels = 1;
  uint32_t sampleRate = 8000;
  uint16_t bitsPerSample = 16;
  uint16_t blockAlign = 2;
  int frames = 100;          // frames of data actually present
  int64_t dataSize = -1;     // claimed data size; -1: the true one
  int64_t riffSize = -1;     // claimed RIFF size; -1: the true one
};

// Length of the header in front of the samples.
constexpr int kWaveHeaderSize = 44;

std::string WaveFile(const WaveHeader& header);
