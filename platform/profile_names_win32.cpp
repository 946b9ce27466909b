// ReadProfileInt, ReadProfileStruct on Windows: kernel32's wide-character
// profile functions, so an ini path in any script is found. A path that is
// not UTF-8 goes to the 8-bit functions unchanged.
#include "platform/profile_names.h"

#include "platform/utf16_name.h"

namespace {

// Section and key names are ASCII; this widens them without a table.
class AsciiWide {
 public:
  explicit AsciiWide(const char* text) {
    size_t i = 0;
    for (; text[i] != '\0' && i + 1 < sizeof buffer / sizeof buffer[0]; ++i)
      buffer[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    buffer[i] = L'\0';
  }
  const wchar_t* Get() const { return buffer; }

 private:
  wchar_t buffer[256];
};

}  // namespace

UINT ReadProfileInt(const char* section, const char* key, int defaultValue, const char* path) {
  Utf16Name widePath(path);
  if (widePath.Get() == nullptr) return GetPrivateProfileIntA(section, key, defaultValue, path);
  return GetPrivateProfileIntW(AsciiWide(section).Get(), AsciiWide(key).Get(), defaultValue, widePath.Get());
}

BOOL ReadProfileStruct(const char* section, const char* key, void* data, UINT size, const char* path) {
  Utf16Name widePath(path);
  if (widePath.Get() == nullptr) return GetPrivateProfileStructA(section, key, data, size, path);
  return GetPrivateProfileStructW(AsciiWide(section).Get(), AsciiWide(key).Get(), data, size, widePath.Get());
}
