// An ini file as text that can be changed key by key: everything not
// changed (other sections, keys, comments, line ends) stays as it was.
// Section and key names compare without regard to case, as the platform's
// profile functions do.
#pragma once

#include <string>
#include <vector>

namespace pexo_host {

class IniFile {
 public:
  // Reads path; a file that does not exist reads as empty. False with a
  // reason when the file exists but cannot be read.
  bool Load(const std::string& path, std::string* error);
  void Parse(const std::string& text);

  // The first value of key in the first section of that name, trimmed.
  bool Get(const std::string& section, const std::string& key, std::string* value) const;
  // Replaces the first such key, or adds it at the end of its section, or
  // adds the section at the end of the file.
  void Set(const std::string& section, const std::string& key, const std::string& value);

  std::string Text() const;
  // Writes the text to a new file beside path and renames it over path, so
  // that a failed write leaves the old file whole. Creates missing folders.
  bool Save(const std::string& path, std::string* error) const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\n", "\r\n" or "" for a last line without one
  };
  // Index of the section's header line, or -1.
  int FindSection(const std::string& section) const;
  // Index of the key's line within the section starting after header, or -1.
  int FindKey(int header, const std::string& key) const;

  std::vector<Line> lines;
};

}  // namespace pexo_host
