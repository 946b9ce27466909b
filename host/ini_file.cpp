// IniFile: reading, changing and safely rewriting an ini file.
#include "host/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "host/cleanup.h"

namespace pexo_host {
namespace {

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// The name of a "[name]" line, or false for any other line.
bool SectionName(const std::string& line, std::string* name) {
  std::string text = Trim(line);
  if (text.empty() || text[0] != '[') return false;
  size_t close = text.find(']');
  if (close == std::string::npos) return false;
  *name = Trim(text.substr(1, close - 1));
  return true;
}

// The key of a "key=value" line, or false for any other line.
bool KeyName(const std::string& line, std::string* key, std::string* value) {
  std::string text = Trim(line);
  if (text.empty() || text[0] == ';' || text[0] == '#' || text[0] == '[') return false;
  size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  *key = Trim(text.substr(0, equals));
  if (value != nullptr) *value = Trim(text.substr(equals + 1));
  return true;
}

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

bool IniFile::Load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (errno == ENOENT) {
      lines.clear();
      return true;
    }
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    *error = "cannot read " + path;
    return false;
  }
  Parse(text.str());
  return true;
}

void IniFile::Parse(const std::string& text) {
  lines.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t newline = text.find('\n', start);
    if (newline == std::string::npos) {
      lines.push_back({text.substr(start), ""});
      break;
    }
    size_t end = newline > start && text[newline - 1] == '\r' ? newline - 1 : newline;
    lines.push_back({text.substr(start, end - start), text.substr(end, newline + 1 - end)});
    start = newline + 1;
  }
}

int IniFile::FindSection(const std::string& section) const {
  std::string name;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (SectionName(lines[i].text, &name) && SameName(name, section)) return static_cast<int>(i);
  }
  return -1;
}

int IniFile::FindKey(int header, const std::string& key) const {
  std::string name;
  for (size_t i = static_cast<size_t>(header) + 1; i < lines.size(); ++i) {
    if (SectionName(lines[i].text, &name)) break;
    if (KeyName(lines[i].text, &name, nullptr) && SameName(name, key)) return static_cast<int>(i);
  }
  return -1;
}

bool IniFile::Get(const std::string& section, const std::string& key, std::string* value) const {
  int header = FindSection(section);
  if (header < 0) return false;
  int line = FindKey(header, key);
  if (line < 0) return false;
  std::string name;
  KeyName(lines[static_cast<size_t>(line)].text, &name, value);
  if (value->size() >= 2 && (*value)[0] == '"' && value->back() == '"') *value = value->substr(1, value->size() - 2);
  return true;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
  std::string newline = !lines.empty() && lines[0].end == "\r\n" ? "\r\n" : "\n";
  std::string text = key + "=" + value;
  int header = FindSection(section);
  if (header < 0) {
    if (!lines.empty()) {
      if (lines.back().end.empty()) lines.back().end = newline;
      if (!Trim(lines.back().text).empty()) lines.push_back({"", newline});
    }
    lines.push_back({"[" + section + "]", newline});
    lines.push_back({text, newline});
    return;
  }
  int line = FindKey(header, key);
  if (line >= 0) {
    lines[static_cast<size_t>(line)].text = text;
    return;
  }
  // After the section's last non-empty line.
  size_t last = static_cast<size_t>(header);
  std::string name;
  for (size_t i = last + 1; i < lines.size() && !SectionName(lines[i].text, &name); ++i) {
    if (!Trim(lines[i].text).empty()) last = i;
  }
  if (lines[last].end.empty()) lines[last].end = newline;
  lines.insert(lines.begin() + static_cast<long>(last) + 1, Line{text, newline});
}

std::string IniFile::Text() const {
  std::string text;
  for (const Line& line : lines) text += line.text + line.end;
  return text;
}

bool IniFile::Save(const std::string& path, std::string* error) const {
  // Through a symbolic link to the file it names.
  std::string target = path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) target = resolved;
  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
  if (!MakeFolders(folder, error)) return false;

  std::string temporary = target + ".XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  int file = mkstemp(name.data());
  if (file < 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  int slot = RememberTemporary(name.data());
  struct stat status;
  if (stat(target.c_str(), &status) == 0) (void)fchmod(file, status.st_mode & 07777);
  else (void)fchmod(file, 0644);
  std::string text = Text();
  size_t done = 0;
  bool good = true;
  while (good && done < text.size()) {
    ssize_t written = write(file, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = ENOSPC;
    if (written <= 0) good = false;
    else done += static_cast<size_t>(written);
  }
  if (good && fsync(file) != 0) good = false;
  int savedError = errno;
  if (close(file) != 0 && good) {
    good = false;
    savedError = errno;
  }
  if (good && rename(name.data(), target.c_str()) != 0) {
    good = false;
    savedError = errno;
  }
  ForgetTemporary(slot);
  if (!good) {
    unlink(name.data());
    *error = "cannot write " + path + ": " + std::strerror(savedError);
    return false;
  }
  return true;
}

}  // namespace pexo_host
