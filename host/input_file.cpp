// OpenInput: the host's checks, then makeFromFile at attempt level 7.
#include "host/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/command_line.h"
#include "host/host_source.h"

namespace pexo_host {

constexpr int kAttemptLevel = 7;  // the level at which any file is tried

SourcePointer OpenInput(const SourceRegistration* reader, const std::string& path, std::string* error) {
  int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) {
    *error = std::string("cannot open: ") + std::strerror(errno);
    return nullptr;
  }
  struct stat status;
  bool folder = fstat(file, &status) == 0 && S_ISDIR(status.st_mode);
  close(file);
  if (folder) {
    *error = "cannot open: it is a folder";
    return nullptr;
  }
  SourcePointer source(reader->makeFromFile(NameForPlugin(path).c_str(), kAttemptLevel));
  if (source == nullptr || DecoderOf(source.get()) == nullptr) {
    *error = "not an audio file libsndfile can read";
    return nullptr;
  }
  return source;
}

}  // namespace pexo_host
