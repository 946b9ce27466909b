// WritePrivateProfileStringA and WritePrivateProfileStructA: set or delete
// one key, or delete a section, of an ini file. The old file is streamed
// into a new one beside it, changed only where the key or section lies,
// which then replaces it; a file that does not exist is created.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ini/ini_scan.h"
#include "platform/win32.h"

namespace {

// Buffered output to a file descriptor that remembers its last byte.
class Output {
 public:
  explicit Output(int fd) : fd(fd) {}
  bool Write(const void* bytes, size_t size) {
    const char* from = static_cast<const char*>(bytes);
    while (size > 0) {
      if (used == sizeof buffer && !Flush()) return false;
      size_t part = sizeof buffer - used < size ? sizeof buffer - used : size;
      std::memcpy(buffer + used, from, part);
      used += part;
      from += part;
      size -= part;
      last = from[-1];
      any = true;
    }
    return true;
  }
  bool Write(const char* text) { return Write(text, std::strlen(text)); }
  bool Flush() {
    size_t done = 0;
    while (done < used) {
      ssize_t wrote = write(fd, buffer + done, used - done);
      if (wrote < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += static_cast<size_t>(wrote);
    }
    used = 0;
    return true;
  }
  // True when what was written so far ends inside a line.
  bool InsideLine() const { return any && last != '\n'; }

 private:
  int fd;
  char buffer[4096];
  size_t used = 0;
  char last = 0;
  bool any = false;
};

// The text after "key=": a plain string or a struct in hexadecimal.
class Value {
 public:
  virtual bool WriteTo(Output& out) const = 0;

 protected:
  ~Value() = default;
};

class StringValue : public Value {
 public:
  explicit StringValue(const char* text) : text(text) {}
  bool WriteTo(Output& out) const override { return out.Write(text); }

 private:
  const char* text;
};

class StructValue : public Value {
 public:
  StructValue(const void* data, UINT size) : data(static_cast<const unsigned char*>(data)), size(size) {}
  bool WriteTo(Output& out) const override {
    static const char kDigits[] = "0123456789ABCDEF";
    unsigned sum = 0;
    char pair[2];
    for (UINT i = 0; i < size; ++i) {
      pair[0] = kDigits[data[i] >> 4];
      pair[1] = kDigits[data[i] & 0xF];
      sum += data[i];
      if (!out.Write(pair, 2)) return false;
    }
    pair[0] = kDigits[(sum >> 4) & 0xF];
    pair[1] = kDigits[sum & 0xF];
    return out.Write(pair, 2);
  }

 private:
  const unsigned char* data;
  UINT size;
};

bool HasLineBreak(const char* text) { return std::strpbrk(text, "\r\n") != nullptr; }

// A name or value that would not read back as written is refused.
bool Writable(const char* section, const char* key, const char* value) {
  if (HasLineBreak(section)) return false;
  if (key != nullptr && (HasLineBreak(key) || std::strchr(key, '=') != nullptr)) return false;
  if (key != nullptr) {
    const char* first = key + std::strspn(key, " \t\v\f");
    if (*first == '[' || *first == ';') return false;
  }
  return value == nullptr || !HasLineBreak(value);
}

// Copies bytes [from, to) of in (to < 0: up to its end) to out.
bool Copy(int in, int64_t from, int64_t to, Output& out) {
  if (lseek(in, from, SEEK_SET) != from) return false;
  char buffer[4096];
  int64_t left = to < 0 ? INT64_MAX : to - from;
  while (left > 0) {
    size_t want = left < static_cast<int64_t>(sizeof buffer) ? static_cast<size_t>(left) : sizeof buffer;
    ssize_t got = read(in, buffer, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return to < 0;
    if (!out.Write(buffer, static_cast<size_t>(got))) return false;
    left -= got;
  }
  return true;
}

struct Edit {
  int64_t cutFrom = 0;  // bytes [cutFrom, cutTo) of the old file are left out
  int64_t cutTo = 0;
  bool newSection = false;  // write the section header before the key
  const Value* value = nullptr;  // the key line to put at cutFrom, if any
};

bool WriteKeyLine(Output& out, const char* section, const char* key, const Edit& edit, const char* lineEnd) {
  if (out.InsideLine() && !out.Write(lineEnd)) return false;
  if (edit.newSection && !(out.Write("[") && out.Write(section) && out.Write("]") && out.Write(lineEnd))) {
    return false;
  }
  return out.Write(key) && out.Write("=") && edit.value->WriteTo(out) && out.Write(lineEnd);
}

// Writes the edited file to out.
bool WriteEdited(int in, Output& out, const char* section, const char* key, const Edit& edit,
                 const char* lineEnd) {
  if (in >= 0 && !Copy(in, 0, edit.cutFrom, out)) return false;
  if (edit.value != nullptr && !WriteKeyLine(out, section, key, edit, lineEnd)) return false;
  if (in >= 0 && !Copy(in, edit.cutTo, -1, out)) return false;
  return out.Flush();
}

// Flushes the folder that holds path, so that a rename in it is on the disk.
void SyncFolderOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  int descriptor;
  if (slash == nullptr || slash == path) {
    descriptor = open(slash == nullptr ? "." : "/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  } else {
    // The folder's name, copied without an allocation that could throw; with
    // no memory for it the rename stands, only not yet flushed.
    size_t length = static_cast<size_t>(slash - path);
    char* folder = static_cast<char*>(std::malloc(length + 1));
    if (folder == nullptr) return;
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    descriptor = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::free(folder);
  }
  if (descriptor < 0) return;
  (void)fsync(descriptor);
  close(descriptor);
}

// Sets key to value (null value: deletes the key; null key: deletes the section).
bool EditProfile(const char* section, const char* key, const Value* value, const char* fileName) {
  int in = open(fileName, O_RDONLY | O_CLOEXEC);
  if (in < 0 && errno != ENOENT) return false;

  ini::Layout layout;
  struct stat status {};
  if (in >= 0) {
    bool readable = fstat(in, &status) == 0 && S_ISREG(status.st_mode) &&
                    ini::Scan(in, section, key, nullptr, &layout) != ini::ScanResult::kReadError;
    if (!readable) {
      close(in);
      return false;
    }
  }

  Edit edit;
  int64_t end = in >= 0 ? static_cast<int64_t>(status.st_size) : 0;
  if (key == nullptr || value == nullptr) {
    // Deleting what is not there changes nothing.
    bool present = key == nullptr ? layout.sectionFound : layout.keyFound;
    if (!present) {
      if (in >= 0) close(in);
      return true;
    }
    edit.cutFrom = key == nullptr ? layout.sectionStart : layout.keyStart;
    edit.cutTo = key == nullptr ? layout.sectionEnd : layout.keyEnd;
  } else {
    edit.value = value;
    if (layout.keyFound) {
      edit.cutFrom = layout.keyStart;
      edit.cutTo = layout.keyEnd;
    } else {
      edit.cutFrom = edit.cutTo = layout.sectionFound ? layout.insertAt : end;
      edit.newSection = !layout.sectionFound;
    }
  }
  const char* lineEnd = layout.crlf ? "\r\n" : "\n";

  if (in < 0) {
    int out = open(fileName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) return false;
    Output output(out);
    bool written = WriteEdited(-1, output, section, key, edit, lineEnd) && fsync(out) == 0;
    if (close(out) != 0) written = false;
    if (!written) unlink(fileName);
    if (written) SyncFolderOf(fileName);
    return written;
  }

  // A linked ini file is rewritten where the link points, so that the link
  // stays a link; the rename then happens in the target's folder.
  char* resolved = realpath(fileName, nullptr);
  const char* target = resolved != nullptr ? resolved : fileName;
  size_t nameLength = std::strlen(target);
  char* temporary = static_cast<char*>(std::malloc(nameLength + 8));
  if (temporary == nullptr) {
    std::free(resolved);
    close(in);
    return false;
  }
  std::memcpy(temporary, target, nameLength);
  std::memcpy(temporary + nameLength, ".XXXXXX", 8);
  int out = mkostemp(temporary, O_CLOEXEC);
  bool written = out >= 0;
  if (written) {
    Output output(out);
    // The owner is kept where this process may set it; the mode always.
    (void)!fchown(out, status.st_uid, status.st_gid);
    written = fchmod(out, status.st_mode & 07777) == 0 &&
              WriteEdited(in, output, section, key, edit, lineEnd);
    // On the disk before it replaces the old file, and the rename after it.
    if (written) written = fsync(out) == 0;
    if (close(out) != 0) written = false;
    if (written) written = std::rename(temporary, target) == 0;
    if (!written) unlink(temporary);
    if (written) SyncFolderOf(target);
  }
  std::free(temporary);
  std::free(resolved);
  close(in);
  return written;
}

}  // namespace

extern "C" BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                           const char* fileName) {
  if (section == nullptr || fileName == nullptr || !Writable(section, key, value)) return 0;
  StringValue text(value);
  return EditProfile(section, key, value != nullptr ? &text : nullptr, fileName) ? 1 : 0;
}

extern "C" BOOL WritePrivateProfileStructA(const char* section, const char* key, const void* data,
                                           UINT size, const char* fileName) {
  if (section == nullptr || key == nullptr || fileName == nullptr || !Writable(section, key, nullptr)) {
    return 0;
  }
  StructValue hex(data, size);
  return EditProfile(section, key, data != nullptr ? &hex : nullptr, fileName) ? 1 : 0;
}
