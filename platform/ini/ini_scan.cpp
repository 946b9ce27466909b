// The ini scanner: a byte-at-a-time state machine over a fixed read buffer.
#include "platform/ini/ini_scan.h"

#include <cerrno>
#include <cstddef>
#include <cstring>

#include <unistd.h>

namespace ini {
namespace {

constexpr size_t kReadBufferSize = 4096;

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// Compares a name arriving byte by byte with the wanted one, keeping no
// more than a count: leading blanks are skipped, trailing blanks ignored.
class NameMatcher {
 public:
  explicit NameMatcher(const char* name) {
    if (name == nullptr) return;
    size_t length = std::strlen(name);
    while (length > 0 && IsBlank(static_cast<unsigned char>(*name))) {
      ++name;
      --length;
    }
    while (length > 0 && IsBlank(static_cast<unsigned char>(name[length - 1]))) --length;
    wanted = name;
    wantedLength = length;
  }
  void Reset() {
    count = 0;
    trimmed = 0;
    mismatch = false;
    started = false;
  }
  void Put(unsigned char c) {
    bool blank = IsBlank(c);
    if (!started) {
      if (blank) return;
      started = true;
    }
    if (count < wantedLength) {
      if (Lower(c) != Lower(static_cast<unsigned char>(wanted[count]))) mismatch = true;
    } else if (!blank) {
      mismatch = true;
    }
    ++count;
    if (!blank) trimmed = count;
  }
  bool Matches() const { return !mismatch && trimmed == wantedLength; }

 private:
  const char* wanted = "";
  uint64_t wantedLength = 0;
  uint64_t count = 0;    // bytes since the first non-blank
  uint64_t trimmed = 0;  // count up to the last non-blank
  bool mismatch = false;
  bool started = false;
};

class Scanner {
 public:
  Scanner(const char* section, const char* key, ValueSink* sink, Layout* layout)
      : sectionName(section), keyName(key), wantKey(key != nullptr), sink(sink), layout(layout) {}

  // Feeds one byte at offset position; returns false when the scan is over.
  bool Put(unsigned char c, int64_t position) {
    if (position < 3 && state == kLineStart && c == kByteOrderMark[position] && position == bomSkipped) {
      ++bomSkipped;
      return true;
    }
    if (c == '\n') {
      if (!seenLineEnd) {
        seenLineEnd = true;
        crlf = previous == '\r';
      }
      previous = c;
      return EndLine(position + 1);
    }
    previous = c;
    switch (state) {
      case kLineStart:
        if (IsBlank(c)) break;
        if (c == ';') {
          state = kSkip;
        } else if (c == '[') {
          state = kHeader;
          sectionName.Reset();
          sawBracket = false;
          bracketMatch = false;
        } else if (inSection) {
          state = kKey;
          keyName.Reset();
          return PutKey(c);
        } else {
          state = kSkip;
        }
        break;
      case kHeader:
        if (c == ']') {
          sawBracket = true;
          bracketMatch = sectionName.Matches();
        }
        sectionName.Put(c);
        break;
      case kKey:
        return PutKey(c);
      case kValueLead:
        if (IsBlank(c)) break;
        state = kValue;
        return PutValue(c);
      case kValue:
        return PutValue(c);
      case kSkip:
        break;
    }
    return true;
  }

  // The file ended at offset end.
  void Finish(int64_t end) {
    if (!finished && lineStart < end) EndLine(end);
    if (!finished && inSection) sectionEnd = end;
    if (layout != nullptr) {
      layout->sectionFound = sectionFound;
      layout->sectionStart = sectionStart;
      layout->sectionEnd = sectionEnd;
      layout->insertAt = insertAt;
      layout->keyFound = keyFound;
      layout->keyStart = keyStart;
      layout->keyEnd = keyEnd;
      layout->crlf = crlf;
    }
  }

  bool KeyFound() const { return keyFound; }

 private:
  enum State { kLineStart, kSkip, kHeader, kKey, kValueLead, kValue };
  static constexpr unsigned char kByteOrderMark[3] = {0xEF, 0xBB, 0xBF};

  bool PutKey(unsigned char c) {
    if (c != '=') {
      keyName.Put(c);
      return true;
    }
    keyLine = true;
    if (wantKey && !keyFound && keyName.Matches()) {
      keyFound = true;
      keyOnThisLine = true;
      keyStart = lineStart;
      state = sink != nullptr ? kValueLead : kSkip;
      return true;
    }
    state = kSkip;
    return true;
  }

  bool PutValue(unsigned char c) {
    if (sinkDone) return true;
    if (IsBlank(c)) {
      ++pendingBlanks;
      return true;
    }
    for (; pendingBlanks > 0; --pendingBlanks) {
      if (!sink->Put(' ')) return Stop();
    }
    if (!sink->Put(static_cast<char>(c))) return Stop();
    return true;
  }

  // The sink has what it needs; without a layout to fill there is no more to read.
  bool Stop() {
    sinkDone = true;
    if (layout == nullptr) {
      finished = true;
      return false;
    }
    return true;
  }

  // Ends the line that ends at offset end (its line end included).
  bool EndLine(int64_t end) {
    bool header = state == kHeader && sawBracket;
    if (header && inSection) {
      sectionEnd = lineStart;
      finished = true;
      return false;
    }
    if (header && !sectionFound && bracketMatch) {
      sectionFound = true;
      inSection = true;
      sectionStart = lineStart;
      insertAt = end;
    } else if (inSection && keyLine) {
      insertAt = end;
    }
    if (keyOnThisLine) {
      keyEnd = end;
      keyOnThisLine = false;
      if (layout == nullptr) {
        finished = true;
        return false;
      }
    }
    state = kLineStart;
    keyLine = false;
    pendingBlanks = 0;
    lineStart = end;
    return true;
  }

  NameMatcher sectionName;
  NameMatcher keyName;
  bool wantKey;
  ValueSink* sink;
  Layout* layout;

  State state = kLineStart;
  int64_t lineStart = 0;
  int64_t bomSkipped = 0;
  unsigned char previous = 0;
  bool seenLineEnd = false;
  bool crlf = false;
  bool sawBracket = false;
  bool bracketMatch = false;
  bool keyLine = false;
  bool keyOnThisLine = false;
  bool sinkDone = false;
  uint64_t pendingBlanks = 0;
  bool finished = false;

  bool inSection = false;
  bool sectionFound = false;
  int64_t sectionStart = 0;
  int64_t sectionEnd = 0;
  int64_t insertAt = 0;
  bool keyFound = false;
  int64_t keyStart = 0;
  int64_t keyEnd = 0;
};

}  // namespace

ScanResult Scan(int fd, const char* section, const char* key, ValueSink* sink, Layout* layout) {
  Scanner scanner(section, key, sink, layout);
  unsigned char buffer[kReadBufferSize];
  int64_t position = 0;
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return ScanResult::kReadError;
    }
    if (got == 0) break;
    for (ssize_t i = 0; i < got; ++i, ++position) {
      if (!scanner.Put(buffer[i], position)) {
        scanner.Finish(position + 1);
        return scanner.KeyFound() ? ScanResult::kFound : ScanResult::kNotFound;
      }
    }
  }
  scanner.Finish(position);
  return scanner.KeyFound() ? ScanResult::kFound : ScanResult::kNotFound;
}

}  // namespace ini
