// TemporaryFile and the checks made before an output is written.
#include "host/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <initializer_list>

#include "host/cleanup.h"

namespace pexo_host {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string StemOf(const std::string& path) {
  std::string base = BaseName(path);
  size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

std::string ExtensionOf(const std::string& path) {
  std::string base = BaseName(path);
  size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? "" : base.substr(dot + 1);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  if (stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string CheckFolder(const std::string& folder) {
  struct stat status;
  if (stat(folder.c_str(), &status) != 0) return folder + ": no such folder";
  if (!S_ISDIR(status.st_mode)) return folder + ": not a folder";
  return "";
}

std::string CheckOutput(const std::string& output, const std::vector<std::string>& inputs, bool replace) {
  std::string folder = FolderOf(output);
  struct stat status;
  if (stat(folder.c_str(), &status) != 0) return "folder " + folder + " does not exist";
  if (!S_ISDIR(status.st_mode)) return folder + " is not a folder";
  if (lstat(output.c_str(), &status) != 0) return "";
  for (const std::string& input : inputs) {
    if (SameFile(output, input)) return "refusing to write over the input file " + input;
  }
  if (S_ISDIR(status.st_mode)) return output + " is a folder";
  if (!replace) return output + " exists (--force replaces it)";
  return "";
}

TemporaryFile::~TemporaryFile() { Discard(); }

bool TemporaryFile::Create(const std::string& output, std::string* error) {
  Discard();
  // ".NAME.XXXXXX.part", with NAME cut so that the temporary's name is
  // no longer than the longest name the folder takes.
  const std::string folder = FolderOf(output);
  const std::string prefix = ".", suffix = ".XXXXXX.part";
  std::string base = BaseName(output);
  long longest = pathconf(folder.c_str(), _PC_NAME_MAX);
  if (longest <= 0) longest = NAME_MAX;
  size_t room = static_cast<size_t>(longest) > prefix.size() + suffix.size() + 1
                    ? static_cast<size_t>(longest) - prefix.size() - suffix.size()
                    : 1;
  if (base.size() > room) base.resize(room);
  std::string name = folder + "/" + prefix + base + suffix;
  // No signal between creating the file and registering it for removal.
  sigset_t stops, before;
  sigemptyset(&stops);
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signalNumber);
  sigprocmask(SIG_BLOCK, &stops, &before);
  int file = mkstemps(&name[0], 5);
  if (file < 0) {
    int saved = errno;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    *error = "cannot create a file in " + FolderOf(output) + ": " + std::strerror(saved);
    return false;
  }
  // The permissions a newly created file gets, not mkstemps' private ones.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(file, 0666 & ~mask);
  close(file);
  slot = RememberTemporary(name.c_str());
  sigprocmask(SIG_SETMASK, &before, nullptr);
  path = name;
  if (slot < 0) {
    Discard();
    *error = "too many temporary files at once";
    return false;
  }
  return true;
}

bool TemporaryFile::Sync(std::string* error) const {
  int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0 || fsync(file) != 0) {
    *error = std::string("cannot complete the file: ") + std::strerror(errno);
    if (file >= 0) close(file);
    return false;
  }
  close(file);
  return true;
}

bool TemporaryFile::MoveTo(const std::string& output, bool replace, std::string* error) {
  int result;
  struct stat existing;
  if (replace && lstat(output.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    // The file that is replaced keeps its permission bits.
    chmod(path.c_str(), existing.st_mode & 07777);
  }
  if (replace) {
    result = rename(path.c_str(), output.c_str());
  } else {
    result = renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, output.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
      // A file system without the flag: a hard link never replaces either.
      result = link(path.c_str(), output.c_str());
      if (result == 0) unlink(path.c_str());
    }
  }
  if (result != 0) {
    *error = errno == EEXIST ? output + " appeared while writing; it was left alone"
                             : "cannot move the file into place: " + std::string(std::strerror(errno));
    return false;
  }
  ForgetTemporary(slot);
  slot = -1;
  path.clear();
  return true;
}

bool TemporaryFile::ExchangeWith(const std::string& output, std::string* error) {
  struct stat existing;
  if (lstat(output.c_str(), &existing) != 0) return MoveTo(output, true, error);
  // The file that is replaced keeps its permission bits, as with MoveTo.
  if (S_ISREG(existing.st_mode)) chmod(path.c_str(), existing.st_mode & 07777);
  if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, output.c_str(), RENAME_EXCHANGE) == 0) return true;
  // A file system that cannot exchange names: replaced outright.
  if (errno == EINVAL || errno == ENOSYS) return MoveTo(output, true, error);
  *error = "cannot move the file into place: " + std::string(std::strerror(errno));
  return false;
}

void TemporaryFile::Discard() {
  if (!path.empty()) unlink(path.c_str());
  ForgetTemporary(slot);
  slot = -1;
  path.clear();
}

}  // namespace pexo_host
