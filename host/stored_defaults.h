// The writer's stored defaults in the host's ini file: the section
// "libsndfile sink defaults" with "default_size" (the block's size) and
// "default" (the block in struct form: each byte as two hexadecimal digits
// in storage order, then a checksum byte, the sum of the bytes modulo 256).
#pragma once

#include <string>
#include <vector>

namespace pexo_host {

constexpr const char* kDefaultsSection = "libsndfile sink defaults";

std::string EncodeStructForm(const std::vector<unsigned char>& bytes);
// False for a wrong length, a non-hexadecimal digit or a checksum mismatch.
bool DecodeStructForm(const std::string& text, size_t size, std::vector<unsigned char>* bytes);

// Stores the block in the ini file at path, keeping the rest of the file.
bool WriteStoredDefaults(const std::string& path, const std::vector<unsigned char>& block, std::string* error);

// What the ini file holds: found is false when the keys are missing; valid
// only when the size is positive and the struct form decodes to it.
struct StoredDefaults {
  bool found = false;
  bool valid = false;
  std::string sizeText;
  std::string structText;
  std::vector<unsigned char> block;
};
bool ReadStoredDefaults(const std::string& path, StoredDefaults* defaults, std::string* error);

}  // namespace pexo_host
