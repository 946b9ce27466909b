// Rewrites a closed WAV that outgrew its RIFF header as RF64.
#include "sink/rf64_growth.h"

#include <sndfile.h>
#include <stdio.h>

#include <cstring>

#include "platform/named_files.h"
#include "sink/size_limits.h"
#include "support/heap_buffer.h"

namespace {

constexpr int64_t kRiffSizeMax = 0xFFFFFFFFll;  // the largest 32-bit chunk size
constexpr int64_t kDs64ChunkSize = 36;          // "ds64", its size, 28 bytes of sizes
constexpr int kRiffHeaderSize = 12;             // "RIFF", its size, "WAVE"
constexpr int kMoveChunk = 1 << 20;
constexpr int kMostChunksBeforeData = 64;

void PutLittle(unsigned char* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetLittle32(const unsigned char* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

bool ReadAt(FILE* file, int64_t offset, void* data, size_t size) {
  return SeekFileTo(file, offset) && fread(data, 1, size, file) == size;
}

bool WriteAt(FILE* file, int64_t offset, const void* data, size_t size) {
  return SeekFileTo(file, offset) && fwrite(data, 1, size, file) == size;
}

// Where the chunks before the audio stand in libsndfile's WAV header.
struct WavLayout {
  int64_t dataChunk = -1;  // offset of the "data" chunk's id
  int64_t factChunk = -1;  // offset of the "fact" chunk's id, if any
  int blockAlign = 0;      // bytes per frame, from the format chunk
};

bool ReadLayout(FILE* file, int64_t fileLength, WavLayout* layout) {
  unsigned char head[kRiffHeaderSize];
  if (!ReadAt(file, 0, head, sizeof head)) return false;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return false;
  int64_t offset = kRiffHeaderSize;
  for (int chunk = 0; chunk < kMostChunksBeforeData && offset + 8 <= fileLength; ++chunk) {
    unsigned char header[8 + 16];
    if (!ReadAt(file, offset, header, 8)) return false;
    uint32_t size = GetLittle32(header + 4);
    if (std::memcmp(header, "data", 4) == 0) {
      layout->dataChunk = offset;
      return layout->blockAlign > 0;
    }
    if (std::memcmp(header, "fmt ", 4) == 0) {
      if (size < 16 || !ReadAt(file, offset + 8, header + 8, 16)) return false;
      layout->blockAlign = header[8 + 12] | header[8 + 13] << 8;
    } else if (std::memcmp(header, "fact", 4) == 0) {
      if (size < 4) return false;
      layout->factChunk = offset;
    }
    offset += 8 + static_cast<int64_t>(size) + (size & 1);
  }
  return false;
}

// Moves the bytes from offset to the end of the file up by distance, from
// the end down so that nothing is overwritten before it has moved. The first
// write is the one that lengthens the file: when there is no room for it,
// nothing has changed.
bool MoveUp(FILE* file, int64_t offset, int64_t fileLength, int64_t distance) {
  HeapBuffer buffer(kMoveChunk);
  char* bytes = buffer.Resize(kMoveChunk, false);
  if (bytes == nullptr || buffer.GetSize() != kMoveChunk) return false;
  for (int64_t end = fileLength; end > offset;) {
    int64_t length = end - offset < kMoveChunk ? end - offset : kMoveChunk;
    if (!ReadAt(file, end - length, bytes, static_cast<size_t>(length))) return false;
    if (!WriteAt(file, end - length + distance, bytes, static_cast<size_t>(length))) return false;
    end -= length;
  }
  return true;
}

bool Rewrite(FILE* file, int64_t frames) {
  const int64_t fileLength = FileLengthOf(file);  // -1 when it cannot be known
  if (fileLength < 0) return false;
  if (fileLength - 8 <= kRiffSizeMax) return true;  // an ordinary WAV

  WavLayout layout;
  if (!ReadLayout(file, fileLength, &layout)) return false;
  const int64_t dataStart = layout.dataChunk + 8;
  const int64_t dataBytes = frames * layout.blockAlign;
  if (frames < 0 || dataBytes / layout.blockAlign != frames || dataStart + dataBytes > fileLength) return false;

  if (!MoveUp(file, kRiffHeaderSize, fileLength, kDs64ChunkSize)) return false;

  unsigned char head[kRiffHeaderSize + kDs64ChunkSize];
  std::memcpy(head, "RF64", 4);
  PutLittle(head + 4, kRiffSizeMax, 4);
  std::memcpy(head + 8, "WAVEds64", 8);
  PutLittle(head + 16, 28, 4);
  PutLittle(head + 20, static_cast<uint64_t>(fileLength + kDs64ChunkSize - 8), 8);  // RF64 size
  PutLittle(head + 28, static_cast<uint64_t>(dataBytes), 8);
  PutLittle(head + 36, static_cast<uint64_t>(frames), 8);
  PutLittle(head + 44, 0, 4);  // no table of further chunk sizes
  if (!WriteAt(file, 0, head, sizeof head)) return false;

  // 0xFFFFFFFF in a 32-bit size means: see ds64.
  unsigned char size[4];
  PutLittle(size, kRiffSizeMax, 4);
  if (!WriteAt(file, layout.dataChunk + kDs64ChunkSize + 4, size, sizeof size)) return false;
  if (layout.factChunk >= 0) {
    PutLittle(size, frames > kRiffSizeMax ? kRiffSizeMax : static_cast<uint64_t>(frames), 4);
    if (!WriteAt(file, layout.factChunk + kDs64ChunkSize + 8, size, sizeof size)) return false;
  }
  return fflush(file) == 0;
}

}  // namespace

bool GrowsIntoRf64(int formatWord) {
  switch (formatWord & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
      break;
    default:
      return false;
  }
  switch (formatWord & SF_FORMAT_ENDMASK) {
    case SF_ENDIAN_FILE:
    case SF_ENDIAN_LITTLE:
      break;
    case SF_ENDIAN_CPU: {
      const uint16_t probe = 1;
      unsigned char first;
      std::memcpy(&first, &probe, 1);
      if (first != 1) return false;
      break;
    }
    default:
      return false;
  }
  switch (formatWord & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
      return true;
    default:
      return false;
  }
}

bool GrowIntoRf64IfNeeded(const char* path, int formatWord, int channels, int64_t frames) {
  // Far enough below 4 GiB, whatever the header holds besides the audio.
  constexpr int64_t kSurelyOrdinary = kRiffSizeMax - 64 * 1024;
  const int64_t width = MostBytesPerSample(formatWord & SF_FORMAT_SUBMASK);
  if (channels <= 0 || frames <= kSurelyOrdinary / (width * channels)) return true;
  if (path == nullptr || path[0] == '\0') return false;
  FILE* file = OpenNamedFile(path, L"r+b", "r+b");
  if (file == nullptr) return false;
  bool done = Rewrite(file, frames);
  if (fclose(file) != 0) done = false;
  return done;
}
