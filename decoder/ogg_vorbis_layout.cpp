// ReadVorbisLayout: the long block size from the identification header on
// the first page, and the final page's span from the granule positions of the
// last two pages of its stream, found by scanning the file's tail for pages
// whose checksum holds.
#include "decoder/ogg_vorbis_layout.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "platform/named_files.h"

namespace {

constexpr size_t kPageHeaderSize = 27;
// A page is at most its header, 255 lacing values and 255 x 255 bytes.
constexpr size_t kLargestPage = kPageHeaderSize + 255 + 255 * 255;
// The final page and the one before it, both of the largest size.
constexpr size_t kTailSize = 2 * kLargestPage;
constexpr uint64_t kNoGranule = ~uint64_t{0};

uint32_t Read32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint64_t Read64(const unsigned char* bytes) {
  return static_cast<uint64_t>(Read32(bytes)) | static_cast<uint64_t>(Read32(bytes + 4)) << 32;
}

// Ogg's page checksum: CRC-32, polynomial 0x04C11DB7, no reflection, over
// the page with its checksum field taken as zero; by a table of the 256
// byte values, built when compiling.
struct ChecksumTable {
  uint32_t entries[256];
};
constexpr ChecksumTable MakeChecksumTable() {
  ChecksumTable table{};
  for (uint32_t byte = 0; byte < 256; ++byte) {
    uint32_t crc = byte << 24;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    table.entries[byte] = crc;
  }
  return table;
}
constexpr ChecksumTable kChecksumTable = MakeChecksumTable();

uint32_t PageChecksum(const unsigned char* page, size_t size) {
  uint32_t crc = 0;
  for (size_t i = 0; i < size; ++i) {
    const unsigned char byte = (i >= 22 && i < 26) ? 0 : page[i];
    crc = (crc << 8) ^ kChecksumTable.entries[((crc >> 24) ^ byte) & 0xFFu];
  }
  return crc;
}

// The size of a whole, intact page starting at bytes (of which size are
// there), or 0.
size_t PageSizeAt(const unsigned char* bytes, size_t size) {
  if (size < kPageHeaderSize || std::memcmp(bytes, "OggS", 4) != 0 || bytes[4] != 0) return 0;
  const size_t segments = bytes[26];
  if (size < kPageHeaderSize + segments) return 0;
  size_t pageSize = kPageHeaderSize + segments;
  for (size_t i = 0; i < segments; ++i) pageSize += bytes[kPageHeaderSize + i];
  if (pageSize > size || PageChecksum(bytes, pageSize) != Read32(bytes + 22)) return 0;
  return pageSize;
}

// Reads up to size bytes at offset; the count read, 0 on failure.
size_t ReadAt(std::FILE* file, int64_t offset, unsigned char* buffer, size_t size) {
  if (!SeekFileTo(file, offset)) return 0;
  return std::fread(buffer, 1, size, file);
}

// The identification header is the first packet of the first page: type 1,
// "vorbis", then version, channels, rate and three bit rates; the next byte
// holds log2 of the two block sizes, the long one in the high half.
int64_t LongBlockFrames(const unsigned char* bytes, size_t size) {
  const size_t pageSize = PageSizeAt(bytes, size);
  if (pageSize == 0) return -1;
  const unsigned char* packet = bytes + kPageHeaderSize + bytes[26];
  const size_t packetRoom = pageSize - kPageHeaderSize - bytes[26];
  if (packetRoom < 30 || packet[0] != 1 || std::memcmp(packet + 1, "vorbis", 6) != 0) return -1;
  const int exponent = packet[28] >> 4;
  if (exponent < 6 || exponent > 13) return -1;  // 64 to 8192
  return int64_t{1} << exponent;
}

// Scans the tail for intact pages and answers the last granule position of
// the final page's stream minus the one before it.
int64_t FinalPageFrames(const unsigned char* tail, size_t size) {
  uint64_t last = kNoGranule, beforeLast = kNoGranule;
  uint32_t lastSerial = 0;
  bool seenLast = false;
  // Granules of every intact page in order; a page found inside another
  // page's body is not trusted, so the scan jumps over each page it accepts.
  struct Page {
    uint64_t granule;
    uint32_t serial;
  };
  constexpr size_t kMostPages = kTailSize / kPageHeaderSize + 1;
  Page* pages = new (std::nothrow) Page[kMostPages];
  if (pages == nullptr) return -1;
  size_t count = 0;
  for (size_t at = 0; at + kPageHeaderSize <= size && count < kMostPages;) {
    const size_t pageSize = PageSizeAt(tail + at, size - at);
    if (pageSize == 0) {
      ++at;
      continue;
    }
    pages[count++] = Page{Read64(tail + at + 6), Read32(tail + at + 14)};
    at += pageSize;
  }
  for (size_t i = count; i-- > 0;) {
    const Page& page = pages[i];
    if (page.granule == kNoGranule) continue;  // no packet ends on it
    if (!seenLast) {
      last = page.granule;
      lastSerial = page.serial;
      seenLast = true;
    } else if (page.serial == lastSerial) {
      beforeLast = page.granule;
      break;
    }
  }
  delete[] pages;
  if (!seenLast || beforeLast == kNoGranule || beforeLast > last) return -1;
  const uint64_t frames = last - beforeLast;
  return frames > static_cast<uint64_t>(INT64_MAX) ? -1 : static_cast<int64_t>(frames);
}

}  // namespace

VorbisLayout ReadVorbisLayout(const char* path) {
  VorbisLayout layout{-1, -1};
  if (path == nullptr) return layout;
  std::FILE* file = OpenNamedFile(path, L"rb", "rb");
  if (file == nullptr) return layout;
  unsigned char* buffer = new (std::nothrow) unsigned char[kTailSize];
  if (buffer != nullptr) {
    size_t got = ReadAt(file, 0, buffer, kLargestPage);
    layout.longBlockFrames = LongBlockFrames(buffer, got);
    const int64_t end = FileLengthOf(file);  // 64-bit, also where long has 32 bits
    if (end > 0) {
      const int64_t start = static_cast<uint64_t>(end) > kTailSize ? end - static_cast<int64_t>(kTailSize) : 0;
      got = ReadAt(file, start, buffer, static_cast<size_t>(end - start));
      layout.finalPageFrames = FinalPageFrames(buffer, got);
    }
    delete[] buffer;
  }
  std::fclose(file);
  return layout;
}
