// SinkConfigBlock: the writer's settings as the host stores them and hands
// them back. A stored and exchanged format: 32 bytes, little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr uint32_t kSinkTypeTag = 0x736E6466;  // "sndf", s in the top byte
constexpr int kSinkConfigBlockSize = 32;

struct SinkConfigBlock {
  uint32_t typeTag;
  int32_t formatWord;  // libsndfile format word: major | subtype | byte order
  float quality;       // 0.0 to 1.0
  unsigned char reserved[20];  // never read or written by the plug-in
};
static_assert(sizeof(SinkConfigBlock) == kSinkConfigBlockSize, "block layout");

// Format-word fields.
constexpr int32_t kMajorFormatMask = 0x0FFF0000;  // SF_FORMAT_TYPEMASK
constexpr int32_t kSubtypeMask = 0x0000FFFF;      // SF_FORMAT_SUBMASK
constexpr int32_t kByteOrderMask = 0x30000000;    // SF_FORMAT_ENDMASK

// Built-in default: AIFF, 16-bit PCM, the file format's byte order, 0.5.
constexpr int32_t kDefaultFormatWord = 0x20002;
constexpr float kDefaultQuality = 0.5f;

// True when the block has at least minimumSize bytes (and 4 at least) and
// begins with the tag. Blocks are not necessarily aligned, so words are
// read by copy.
inline bool HasSinkTag(const void* block, int size, int minimumSize) {
  if (block == nullptr || size < 4 || size < minimumSize) return false;
  uint32_t tag;
  std::memcpy(&tag, block, sizeof tag);
  return tag == kSinkTypeTag;
}

// The fields of a block of kSinkConfigBlockSize bytes or more, read by copy.
inline int32_t BlockFormatWord(const void* block) {
  int32_t formatWord;
  std::memcpy(&formatWord, static_cast<const unsigned char*>(block) + offsetof(SinkConfigBlock, formatWord),
              sizeof formatWord);
  return formatWord;
}
inline float BlockQuality(const void* block) {
  float quality;
  std::memcpy(&quality, static_cast<const unsigned char*>(block) + offsetof(SinkConfigBlock, quality),
              sizeof quality);
  return quality;
}
