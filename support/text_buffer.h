// TextBuffer: a HeapBuffer holding one NUL-terminated text; its reader never
// returns null.
#pragma once

#include "support/heap_buffer.h"

class TextBuffer : public HeapBuffer {
 public:
  explicit TextBuffer(int granularity) : HeapBuffer(granularity) {}

  // Replaces the text, cut to maxLength characters when maxLength > 0. The
  // text may point into this buffer's own storage. A null text stores "".
  void Set(const char* text, int maxLength);
  const char* Get() const;
};
