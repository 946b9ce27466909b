// The host's ini file as the tests write it by hand: bytes in the struct form
// that WritePrivateProfileStructA stores, configuration blocks, and the
// section that holds the stored defaults. Worked out here, independently of
// the ini writer, so that reading tests do not lean on the code they test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace test_ini {

enum class HexCase { kUpper, kLower };

// Two hex digits a byte, no checksum.
std::string HexDigits(const std::string& bytes, HexCase hexCase = HexCase::kUpper);

// The struct form: the digits, then the checksum byte (the sum of the bytes
// modulo 256) plus checksumDamage, so that a test can store a wrong one.
std::string StructForm(const std::string& bytes, int checksumDamage = 0, HexCase hexCase = HexCase::kUpper);
std::string StructForm(const std::vector<unsigned char>& bytes, int checksumDamage = 0,
                       HexCase hexCase = HexCase::kUpper);

// A configuration block: the tag "fdns", the format word and the quality
// (both in host byte order), zeros after them; cut to size when shorter.
std::string ConfigBlock(int32_t formatWord, float quality, size_t size = 32);

// "[libsndfile sink defaults]" with default_size and default, one a line.
std::string DefaultsSection(const std::string& size, const std::string& value);

}  // namespace test_ini
