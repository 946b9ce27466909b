// Writing outputs without destroying data: each output is written under a
// temporary name in its own folder and moved into place only when it is
// complete; an existing file is replaced only when asked, and never when it
// is one of the inputs.
#pragma once

#include <string>
#include <vector>

namespace pexo_host {

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path);
std::string BaseName(const std::string& path);
// The name without its last extension ("a.b.wav" gives "a.b").
std::string StemOf(const std::string& path);
// The last extension without the dot, or "".
std::string ExtensionOf(const std::string& path);

// True when both names exist and are the same file.
bool SameFile(const std::string& a, const std::string& b);

// Why the folder cannot take outputs, or "" when it can.
std::string CheckFolder(const std::string& folder);

// Why the output may not be written, or "" when it may.
std::string CheckOutput(const std::string& output, const std::vector<std::string>& inputs, bool replace);

// A temporary file beside the output, registered for removal on a signal
// until Discard or Keep.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  ~TemporaryFile();  // discards a file that was not kept
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Create(const std::string& output, std::string* error);
  const std::string& Path() const { return path; }
  // Flushes the written file to the disk, so that a full disk shows here.
  bool Sync(std::string* error) const;
  // Moves the file to output (replacing only when replace is set).
  bool MoveTo(const std::string& output, bool replace, std::string* error);
  // Puts the file at output. A file already there changes places with it
  // and stays at Path(), still removed on a signal or with this object, so
  // that a second call puts it back; with none there, as MoveTo.
  bool ExchangeWith(const std::string& output, std::string* error);
  void Discard();

 private:
  std::string path;
  int slot = -1;
};

}  // namespace pexo_host
