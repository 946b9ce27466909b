// OpenInput: the host's checks, then makeFromFile at attempt level 7.
#include "host/input_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/command_line.h"
#include "host/host_source.h"

namespace pexo_host {

constexpr int kAttemptLevel = 7;  // the level at which any file is tried

SourcePointer OpenInput(const SourceRegistration* reader, const std::string& path, std::string* error) {
  // Looked at, not opened: opening a pipe would take its writer's data.
  struct stat status;
  if (stat(path.c_str(), &status) != 0 || access(path.c_str(), R_OK) != 0) {
    *error = std::string("cannot open: ") + std::strerror(errno);
    return nullptr;
  }
  if (S_ISDIR(status.st_mode)) {
    *error = "cannot open: it is a folder";
    return nullptr;
  }
  SourcePointer source(reader->makeFromFile(NameForPlugin(path).c_str(), kAttemptLevel));
  if (source == nullptr || DecoderOf(source.get()) == nullptr) {
    // libsndfile reads some formats (FLAC among them) only from a file it
    // can seek in; from a pipe the open fails however good the data.
    *error = S_ISREG(status.st_mode) || S_ISBLK(status.st_mode)
                 ? "not an audio file libsndfile can read"
                 : "libsndfile cannot read it from a pipe or device: this format needs a seekable file "
                   "(copy it to a file first)";
    return nullptr;
  }
  return source;
}

}  // namespace pexo_host
