// Windows only: a UTF-8 name (file or ini path) as the UTF-16 text the
// wide-character calls take.
#pragma once

#if defined(_WIN32)

class Utf16Name {
 public:
  // Converts name, which must be valid UTF-8; null input or a name that is
  // not (or no memory for it) leaves Get() null, and the caller then uses
  // the 8-bit call with the bytes as they are.
  explicit Utf16Name(const char* name);
  ~Utf16Name();
  Utf16Name(const Utf16Name&) = delete;
  Utf16Name& operator=(const Utf16Name&) = delete;

  const wchar_t* Get() const { return text; }

 private:
  wchar_t* text = nullptr;
};

#endif
