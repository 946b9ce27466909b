// What a host needs to keep and edit the writer's settings: the layout of
// the configuration block it stores and hands back (also the panel's
// answer to kConfigQuery), the ini section of the stored defaults, and the
// panel's control ids for hosts that drive the panel as a user would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The writer's type tag: "sndf" with the s in the most significant byte, so
// a block stored little-endian begins with the bytes 66 64 6E 73. It opens
// every configuration block the writer accepts and is what typeTagAndLabel
// answers.
constexpr uint32_t kSinkTypeTag = 0x736E6466;

// SinkConfigBlock: a stored and exchanged format, 32 bytes, little-endian.
// Hosts keep the bytes as they got them and hand them back with their size.
struct SinkConfigBlock {
  uint32_t typeTag;            // kSinkTypeTag
  int32_t formatWord;          // libsndfile format word: major | subtype | byte order
  float quality;               // 0.0 to 1.0, in steps of 0.01 from the panel
  unsigned char reserved[20];  // never read or written by the plug-in
};
constexpr int kSinkConfigBlockSize = 32;
static_assert(sizeof(SinkConfigBlock) == kSinkConfigBlockSize, "block layout");

// True when the block has at least minimumSize bytes (and 4 at least) and
// begins with the tag. Blocks need not be aligned, so words are read by
// copy; nothing past the size is read.
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

// The host's ini section of the stored defaults, with the keys
// "default_size" (the block's size as a decimal integer) and "default" (the
// block in the struct form of WritePrivateProfileStructA). The plug-in only
// reads them; writing them is the host's business.
constexpr const char* kSinkDefaultsSection = "libsndfile sink defaults";
constexpr const char* kSinkDefaultsSizeKey = "default_size";
constexpr const char* kSinkDefaultsBlockKey = "default";

// Controls of the configuration panel (dialog template 155). A host acts as
// the user with CB_SETCURSEL followed by WM_COMMAND (id, CBN_SELCHANGE) on
// the lists, and TBM_SETPOS followed by WM_HSCROLL on the slider. Each
// list entry's item data is its format word.
constexpr int kFormatListId = 1006;     // major formats
constexpr int kEncodingListId = 1008;   // the selected format's subtypes
constexpr int kByteOrderListId = 1009;  // the selected encoding's byte orders
constexpr int kByteOrderCaptionId = 1010;
constexpr int kEncodingCaptionId = 1011;
constexpr int kQualityCaptionId = 1012;
constexpr int kFormatCaptionId = 1014;
constexpr int kQualityLabelId = 1015;   // the quality as "%.2f"
constexpr int kQualitySliderId = 1016;  // trackbar 0 to 100: quality x 100
