// The struct form of the stored defaults and their place in the ini file.
#include "host/stored_defaults.h"

#include <cstdlib>

#include "host/ini_file.h"

namespace pexo_host {
namespace {

int HexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return -1;
}

}  // namespace

std::string EncodeStructForm(const std::vector<unsigned char>& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  unsigned sum = 0;
  for (unsigned char byte : bytes) {
    text += digits[byte >> 4];
    text += digits[byte & 15];
    sum += byte;
  }
  text += digits[(sum >> 4) & 15];
  text += digits[sum & 15];
  return text;
}

bool DecodeStructForm(const std::string& text, size_t size, std::vector<unsigned char>* bytes) {
  if (text.size() != 2 * size + 2) return false;
  std::vector<unsigned char> decoded;
  unsigned sum = 0;
  for (size_t i = 0; i < size + 1; ++i) {
    int high = HexValue(text[2 * i]);
    int low = HexValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    unsigned char byte = static_cast<unsigned char>(high * 16 + low);
    if (i == size) {
      if (byte != (sum & 255)) return false;
    } else {
      decoded.push_back(byte);
      sum += byte;
    }
  }
  *bytes = std::move(decoded);
  return true;
}

bool WriteStoredDefaults(const std::string& path, const std::vector<unsigned char>& block, std::string* error) {
  IniFile ini;
  if (!ini.Load(path, error)) return false;
  ini.Set(kDefaultsSection, "default_size", std::to_string(block.size()));
  ini.Set(kDefaultsSection, "default", EncodeStructForm(block));
  return ini.Save(path, error);
}

bool ReadStoredDefaults(const std::string& path, StoredDefaults* defaults, std::string* error) {
  IniFile ini;
  if (!ini.Load(path, error)) return false;
  *defaults = StoredDefaults();
  bool haveSize = ini.Get(kDefaultsSection, "default_size", &defaults->sizeText);
  bool haveBlock = ini.Get(kDefaultsSection, "default", &defaults->structText);
  defaults->found = haveSize || haveBlock;
  char* end = nullptr;
  long size = std::strtol(defaults->sizeText.c_str(), &end, 10);
  if (haveSize && haveBlock && end != defaults->sizeText.c_str() && size > 0 && size < (1 << 20)) {
    defaults->valid = DecodeStructForm(defaults->structText, static_cast<size_t>(size), &defaults->block);
  }
  return true;
}

}  // namespace pexo_host
