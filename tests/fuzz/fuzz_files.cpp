// The scratch folder of a fuzz process.
#include "tests/fuzz/fuzz_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "tests/fuzz/fuzz_check.h"

namespace {

std::string BaseFolder() {
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && *tmpdir != '\0') return tmpdir;
  if (access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
  return "/tmp";
}

std::string& Folder() {
  static std::string folder;
  return folder;
}

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Folder(), ignored);
}

}  // namespace

const std::string& ScratchDirectory() {
  if (Folder().empty()) {
    std::string pattern = BaseFolder() + "/pexo-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(&pattern[0]) != nullptr);
    Folder() = pattern;
    std::atexit(RemoveFolder);
  }
  return Folder();
}

std::string ScratchPath(const std::string& name) { return ScratchDirectory() + "/" + name; }

void WriteScratchFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  FUZZ_CHECK(std::fclose(file) == 0 && written);
}
