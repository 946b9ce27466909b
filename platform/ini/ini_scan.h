// Streaming lookup of one section and key in an ini file. The file is read
// through a fixed buffer and never held whole; the value found is handed on
// a byte at a time, so nothing grows with the file or its lines.
#pragma once

#include <cstdint>

namespace ini __attribute__((visibility("hidden"))) {

// Receives the value of the key found, surrounding blanks removed.
class ValueSink {
 public:
  // Returns false once the rest of the value no longer matters.
  virtual bool Put(char c) = 0;

 protected:
  ~ValueSink() = default;
};

// Where the section and key lie in the file, as byte offsets.
struct Layout {
  bool sectionFound = false;
  int64_t sectionStart = 0;  // start of its header line
  int64_t sectionEnd = 0;    // start of the next header line, or the file's end
  int64_t insertAt = 0;      // end of its last key line, or of its header line
  bool keyFound = false;
  int64_t keyStart = 0;  // the key's line, its line end included
  int64_t keyEnd = 0;
  bool crlf = false;  // the file's first line ends in CR LF
};

enum class ScanResult { kFound, kNotFound, kReadError };

// Looks for key (null: only the section) in the first section whose name
// equals section. Names are compared without regard to ASCII case and with
// surrounding blanks ignored; the first matching section and the first
// matching key in it win. A line whose first non-blank byte is ';' is a
// comment; a line starting with '[' and holding a ']' is a section header
// (its name ends at the last ']'); any other line holding '=' is a key line;
// the rest are ignored. Lines end in LF, a CR before it counts as a blank.
//
// With a sink, the value of the key found goes to it and the scan stops at
// the end of that line. With a layout, the scan goes on to the end of the
// section and the layout is filled in.
ScanResult Scan(int fd, const char* section, const char* key, ValueSink* sink, Layout* layout);

}  // namespace ini
