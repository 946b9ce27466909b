// The writer's stored defaults in the host's ini file: the section
// "libsndfile sink defaults" with "default_size" (the block's size) and
// "default" (the block in struct form). They are written and read with the
// same profile functions of the Win32 layer that the panel reads them with,
// so both sides agree on the file.
#pragma once

#include <string>
#include <vector>

namespace pexo_host {

// Stores the block in the ini file at path, keeping the rest of the file;
// creates the file's folder when it is missing.
bool WriteStoredDefaults(const std::string& path, const std::vector<unsigned char>& block, std::string* error);

// What the ini file holds: size is "default_size" (0 when missing); valid
// when the struct form reads back at that size.
struct StoredDefaults {
  int size = 0;
  bool valid = false;
  std::vector<unsigned char> block;
};
StoredDefaults ReadStoredDefaults(const std::string& path);

}  // namespace pexo_host
