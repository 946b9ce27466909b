// Writing and reading the stored defaults through the profile functions.
#include "host/stored_defaults.h"

#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "abi/sink_config.h"
#include "platform/win32.h"

namespace pexo_host {
namespace {

constexpr int kLargestBlock = 1 << 16;

bool MakeFolders(const std::string& folder, std::string* error) {
  if (folder.empty()) return true;
  struct stat status;
  if (stat(folder.c_str(), &status) == 0) return true;
  size_t slash = folder.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash), error)) return false;
  if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
    *error = "cannot create folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

bool WriteStoredDefaults(const std::string& path, const std::vector<unsigned char>& block, std::string* error) {
  size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash), error)) return false;
  // Should the second write fail, the size and the value disagree, which
  // the reader takes as no defaults at all.
  // Each write streams the ini into a temporary beside it and renames that
  // into place; the profile functions know nothing of the host's cleanup,
  // so a stop signal waits until both writes are done and no temporary can
  // outlive the run.
  const std::string size = std::to_string(block.size());
  sigset_t stops, before;
  sigemptyset(&stops);
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signalNumber);
  sigprocmask(SIG_BLOCK, &stops, &before);
  errno = 0;
  bool written = WritePrivateProfileStructA(kSinkDefaultsSection, kSinkDefaultsBlockKey, block.data(),
                                            static_cast<UINT>(block.size()), path.c_str()) &&
                 WritePrivateProfileStringA(kSinkDefaultsSection, kSinkDefaultsSizeKey, size.c_str(), path.c_str());
  const int cause = errno;
  if (!written) *error = "cannot write " + path + (cause != 0 ? std::string(": ") + std::strerror(cause) : std::string());
  sigprocmask(SIG_SETMASK, &before, nullptr);
  return written;
}

StoredDefaults ReadStoredDefaults(const std::string& path) {
  StoredDefaults stored;
  stored.size = static_cast<int>(GetPrivateProfileIntA(kSinkDefaultsSection, kSinkDefaultsSizeKey, 0, path.c_str()));
  if (stored.size < 1 || stored.size > kLargestBlock) return stored;
  std::vector<unsigned char> block(static_cast<size_t>(stored.size));
  if (GetPrivateProfileStructA(kSinkDefaultsSection, kSinkDefaultsBlockKey, block.data(), static_cast<UINT>(block.size()),
                               path.c_str())) {
    stored.valid = true;
    stored.block = std::move(block);
  }
  return stored;
}

}  // namespace pexo_host
