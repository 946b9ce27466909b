// The struct form, configuration blocks and the defaults section, by hand.
#include "tests/common/stored_defaults.h"

#include <cstdio>
#include <cstring>

namespace test_ini {
namespace {

void AppendByte(std::string* text, unsigned byte, HexCase hexCase) {
  char pair[3];
  std::snprintf(pair, sizeof pair, hexCase == HexCase::kUpper ? "%02X" : "%02x", byte & 0xFF);
  *text += pair;
}

}  // namespace

std::string HexDigits(const std::string& bytes, HexCase hexCase) {
  std::string text;
  for (unsigned char byte : bytes) AppendByte(&text, byte, hexCase);
  return text;
}

std::string StructForm(const std::string& bytes, int checksumDamage, HexCase hexCase) {
  unsigned sum = 0;
  for (unsigned char byte : bytes) sum += byte;
  std::string text = HexDigits(bytes, hexCase);
  AppendByte(&text, sum + static_cast<unsigned>(checksumDamage), hexCase);
  return text;
}

std::string StructForm(const std::vector<unsigned char>& bytes, int checksumDamage, HexCase hexCase) {
  return StructForm(std::string(bytes.begin(), bytes.end()), checksumDamage, hexCase);
}

std::string ConfigBlock(int32_t formatWord, float quality, size_t size) {
  std::string block(size < 12 ? 12 : size, '\0');
  std::memcpy(&block[0], "fdns", 4);
  std::memcpy(&block[4], &formatWord, 4);
  std::memcpy(&block[8], &quality, 4);
  block.resize(size);
  return block;
}

std::string DefaultsSection(const std::string& size, const std::string& value) {
  return "[libsndfile sink defaults]\ndefault_size=" + size + "\ndefault=" + value + "\n";
}

}  // namespace test_ini
