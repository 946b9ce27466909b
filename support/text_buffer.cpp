// TextBuffer: replacing the text, also from a text inside its own storage.
#include "support/text_buffer.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

// What every TextBuffer without a text reads as; never written through.
const char kEmptyText[] = "";

}  // namespace

void TextBuffer::Set(const char* text, int maxLength) {
  int length = 0;
  if (text != nullptr) {
    if (maxLength <= 0) {
      const size_t fullLength = std::strlen(text);
      if (fullLength >= static_cast<size_t>(INT_MAX)) return;  // beyond any buffer's range
      length = static_cast<int>(fullLength);
    } else {
      while (length < maxLength && text[length] != '\0') ++length;
    }
  }

  if (length == 0) {
    char* storage = Resize(1, false);
    if (storage != nullptr) storage[0] = '\0';
    return;
  }

  const int need = length + 1;
  const int old = GetSize();
  if (old < need) {
    // Growing may move the storage; a text inside it moves along.
    const auto start = reinterpret_cast<std::uintptr_t>(HeapBuffer::Get());
    const auto textAddress = reinterpret_cast<std::uintptr_t>(text);
    const bool inside = start != 0 && textAddress >= start && textAddress - start < static_cast<std::uintptr_t>(old);
    Resize(need, false);
    if (GetSize() < need) return;  // heap exhausted: the old text stays
    if (inside) text = HeapBuffer::Get() + (textAddress - start);
  }

  char* storage = HeapBuffer::Get();
  std::memmove(storage, text, static_cast<size_t>(length));
  storage[length] = '\0';
  if (need < old) Resize(need, false);
}

const char* TextBuffer::Get() const {
  const char* storage = HeapBuffer::Get();
  return storage != nullptr ? storage : kEmptyText;
}
