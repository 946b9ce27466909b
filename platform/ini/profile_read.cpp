// GetPrivateProfileIntA and GetPrivateProfileStructA: one value of an ini
// file, as an integer or as a checksummed block of bytes in hexadecimal.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

#include "platform/ini/ini_scan.h"
#include "platform/win32.h"

namespace {

// Decimal digits with an optional sign, up to the first other byte, taken
// modulo 2^32 as Win32 does; an empty value counts as no value.
class IntValue : public ini::ValueSink {
 public:
  bool Put(char c) override {
    if (!any) {
      any = true;
      if (c == '-' || c == '+') {
        negative = c == '-';
        return true;
      }
    }
    if (c < '0' || c > '9') return false;
    value = value * 10u + static_cast<uint32_t>(c - '0');
    return true;
  }
  bool Any() const { return any; }
  UINT Value() const { return negative ? 0u - value : value; }

 private:
  bool any = false;
  bool negative = false;
  uint32_t value = 0;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Exactly 2 x size hexadecimal digits of data, either case, then two of the
// checksum: the sum of the data bytes modulo 256. Decodes straight into the
// caller's storage, which a value that fails may have partly overwritten.
class StructValue : public ini::ValueSink {
 public:
  StructValue(unsigned char* data, uint64_t size) : data(data), dataDigits(2 * size) {}
  bool Put(char c) override {
    int digit = HexDigit(c);
    if (digit < 0 || digits >= dataDigits + 2) {
      bad = true;
      return false;
    }
    uint64_t index = digits++;
    if (index < dataDigits) {
      unsigned char& byte = data[index / 2];
      if (index % 2 == 0) {
        byte = static_cast<unsigned char>(digit << 4);
      } else {
        byte = static_cast<unsigned char>(byte | digit);
        sum += byte;
      }
    } else {
      checksum = (checksum << 4) | static_cast<unsigned>(digit);
    }
    return true;
  }
  bool Complete() const { return !bad && digits == dataDigits + 2 && (sum & 0xFFu) == checksum; }

 private:
  unsigned char* data;
  uint64_t dataDigits;
  uint64_t digits = 0;
  unsigned sum = 0;
  unsigned checksum = 0;
  bool bad = false;
};

// Scans the file for the key; false when there is no file or no such key.
bool Find(const char* section, const char* key, const char* fileName, ini::ValueSink* sink) {
  if (section == nullptr || key == nullptr || fileName == nullptr) return false;
  int fd = open(fileName, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ini::ScanResult result = ini::Scan(fd, section, key, sink, nullptr);
  close(fd);
  return result == ini::ScanResult::kFound;
}

}  // namespace

extern "C" UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                                      const char* fileName) {
  IntValue value;
  if (!Find(section, key, fileName, &value) || !value.Any()) return static_cast<UINT>(defaultValue);
  return value.Value();
}

extern "C" BOOL GetPrivateProfileStructA(const char* section, const char* key, void* data, UINT size,
                                         const char* fileName) {
  if (data == nullptr && size != 0) return 0;
  StructValue value(static_cast<unsigned char*>(data), size);
  return Find(section, key, fileName, &value) && value.Complete() ? 1 : 0;
}
