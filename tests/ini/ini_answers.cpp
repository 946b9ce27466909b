// The ini cross-check's probe, built twice: on POSIX against our reader
// (libpexo_win32), on Windows against kernel32. Writes each file of a table
// of well-formed and damaged ini files into FOLDER, asks both reading
// functions the plug-in uses, and prints one line per file; the check
// (tests/windows/ini-cross-check) compares the two programs' lines.
//
// Usage: pexo_ini_answers FOLDER
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

using Bytes = std::vector<unsigned char>;

const Bytes kData = {0x66, 0x64, 0x6E, 0x73, 0x02, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x3F, 0xFF};

// WritePrivateProfileStructA's form: two hexadecimal digits a byte, then
// the low byte of the bytes' sum.
std::string StructForm(const Bytes& data, bool lower = false) {
  const char* digits = lower ? "0123456789abcdef" : "0123456789ABCDEF";
  std::string text;
  unsigned sum = 0;
  for (unsigned char byte : data) {
    text += digits[byte >> 4];
    text += digits[byte & 15];
    sum += byte;
  }
  text += digits[(sum >> 4) & 15];
  text += digits[sum & 15];
  return text;
}

struct IniCase {
  const char* name;
  std::string content;
};

std::vector<IniCase> Cases() {
  const std::string hex = StructForm(kData);
  const std::string longLine(100000, 'x');
  std::string garbage;
  for (unsigned i = 0, x = 12345; i < 4096; ++i) {
    x = x * 1103515245u + 12345u;
    garbage += static_cast<char>((x >> 16) & 0xFF);
  }
  return {
      {"plain", "[Sec]\nkey=42\nblock=" + hex + "\n"},
      {"names-without-case", "[sEC]\nKEY=5\nBLOCK=" + hex + "\n"},
      {"blanks-around", "  [ Sec  ]  \n  key  =  12  \n block = " + hex + "  \n"},
      {"tabs-around", "\t[Sec]\t\n\tkey\t=\t12\t\n"},
      {"crlf", "[Sec]\r\nkey=3\r\nblock=" + hex + "\r\n"},
      {"no-final-line-end", "[Sec]\nkey=8"},
      {"first-key-wins", "[Sec]\nkey=1\nkey=2\n"},
      {"first-section-wins", "[Sec]\nother=1\n[Sec]\nkey=9\n"},
      {"key-before-sections", "key=1\n[Sec]\n"},
      {"comment-line", "[Sec]\n;key=1\nkey=2\n"},
      {"hash-line", "[Sec]\n#key=1\nkey=2\n"},
      {"commented-header", ";[Sec]\nkey=1\n"},
      {"text-after-header", "[Sec] ; note\nkey=6\n"},
      {"header-without-bracket", "[Sec]\n[Other\nkey=4\n"},
      {"section-prefix", "[Se]\nkey=1\n[Secs]\nkey=2\n"},
      {"key-prefix", "[Sec]\nke=1\nkeys=2\n"},
      {"no-equals", "[Sec]\nkey\nkey 5\n"},
      {"no-equals-then-key", "[Sec]\nkey\nkey=4\n"},
      {"empty-value", "[Sec]\nkey=\nblock=\n"},
      {"negative", "[Sec]\nkey=-3\n"},
      {"plus-sign", "[Sec]\nkey=+8\n"},
      {"digits-then-text", "[Sec]\nkey=12abc\n"},
      {"digits-blank-digits", "[Sec]\nkey=12 34\n"},
      {"text", "[Sec]\nkey=abc\n"},
      {"wraps-modulo-2^32", "[Sec]\nkey=4294967297\n"},
      {"hexadecimal", "[Sec]\nkey=0x10\n"},
      {"quoted", "[Sec]\nkey=\"12\"\nblock=\"" + hex + "\"\n"},
      {"empty-file", ""},
      {"blank-lines", "\n\n[Sec]\n\n\nkey=21\n\n"},
      {"byte-order-mark", "\xEF\xBB\xBF[Sec]\nkey=1\nblock=" + hex + "\n"},
      {"long-line-before", "[Sec]\n" + longLine + "\nkey=11\n"},
      {"long-value", "[Sec]\nkey=15" + longLine + "\n"},
      {"garbage-around", garbage + "\n[Sec]\nkey=5\n" + garbage},
      {"struct-lower-case", "[Sec]\nblock=" + StructForm(kData, true) + "\n"},
      {"struct-checksum-altered", "[Sec]\nblock=" + hex.substr(0, hex.size() - 2) + "00\n"},
      {"struct-checksum-missing", "[Sec]\nblock=" + hex.substr(0, hex.size() - 2) + "\n"},
      {"struct-one-digit-short", "[Sec]\nblock=" + hex.substr(1) + "\n"},
      {"struct-one-digit-more", "[Sec]\nblock=" + hex + "0\n"},
      {"struct-longer", "[Sec]\nblock=" + StructForm(Bytes(kData.begin(), kData.end() - 1)) + "\n"},
      {"struct-not-a-digit", "[Sec]\nblock=G" + hex.substr(1) + "\n"},
      {"struct-blank-inside", "[Sec]\nblock=" + hex.substr(0, 10) + " " + hex.substr(10) + "\n"},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
#if defined(_WIN32)
  const char* separator = "\\";
#else
  const char* separator = "/";
#endif
  int index = 0;
  for (const IniCase& c : Cases()) {
    // Each case a file of its own: kernel32 may keep a file it read.
    std::string path = folder + separator + "case" + std::to_string(index++) + ".ini";
    std::ofstream(path, std::ios::binary) << c.content;
    UINT number = GetPrivateProfileIntA("Sec", "key", 7, path.c_str());
    Bytes read(kData.size() + 4, 0xAA);
    BOOL found = GetPrivateProfileStructA("Sec", "block", read.data(), static_cast<UINT>(kData.size()), path.c_str());
    std::string bytes;
    char digits[3];
    for (unsigned char byte : read) {
      std::snprintf(digits, sizeof digits, "%02X", byte);
      bytes += digits;
    }
    std::printf("%s int=%u struct=%d %s\n", c.name, number, found ? 1 : 0, found ? bytes.c_str() : "-");
    std::remove(path.c_str());
  }
  return 0;
}
