// Reading a serialized dialog template, every field checked against the
// record's size.
#include "platform/win32/dialog_template.h"

#include <cstring>

#include "platform/win32_resources.h"

namespace win32_layer {
namespace {

class Reader {
 public:
  Reader(const unsigned char* data, size_t size) : data(data), size(size) {}
  bool Word(uint32_t* value) {
    if (size - position < 4) return false;
    const unsigned char* bytes = data + position;
    *value = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
             (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    position += 4;
    return true;
  }
  bool Half(uint16_t* value) {
    if (size - position < 2) return false;
    *value = static_cast<uint16_t>(data[position] | (data[position + 1] << 8));
    position += 2;
    return true;
  }
  bool Signed(int16_t* value) {
    uint16_t half;
    if (!Half(&half)) return false;
    *value = static_cast<int16_t>(half);
    return true;
  }
  bool Text(std::string* text) {
    const void* end = std::memchr(data + position, '\0', size - position);
    if (end == nullptr) return false;
    size_t length = static_cast<size_t>(static_cast<const unsigned char*>(end) - (data + position));
    text->assign(reinterpret_cast<const char*>(data + position), length);
    position += length + 1;
    return true;
  }
  bool Pad() {
    size_t padded = (position + 3) & ~size_t{3};
    if (padded > size) return false;
    position = padded;
    return true;
  }

 private:
  const unsigned char* data;
  size_t size;
  size_t position = 0;
};

bool ReadRectangle(Reader& in, int16_t* x, int16_t* y, int16_t* width, int16_t* height) {
  return in.Signed(x) && in.Signed(y) && in.Signed(width) && in.Signed(height);
}

}  // namespace

bool ParseDialogTemplate(const unsigned char* data, size_t size, DialogTemplate* dialog) {
  // The record begins after the 4-byte number, so 4-byte padding measured
  // from here is padding in the whole descriptor too.
  Reader in(data, size);
  uint32_t version;
  uint16_t count;
  if (!in.Word(&version) || version != kDialogResourceVersion) return false;
  if (!in.Word(&dialog->style) || !in.Word(&dialog->exStyle) ||
      !ReadRectangle(in, &dialog->x, &dialog->y, &dialog->width, &dialog->height) ||
      !in.Half(&dialog->pointSize) || !in.Half(&count) || !in.Text(&dialog->fontName) ||
      !in.Text(&dialog->caption) || !in.Pad()) {
    return false;
  }
  dialog->controls.clear();
  for (uint16_t i = 0; i < count; ++i) {
    DialogControlTemplate control;
    uint32_t id;
    if (!in.Word(&id) || !in.Word(&control.style) || !in.Word(&control.exStyle) ||
        !ReadRectangle(in, &control.x, &control.y, &control.width, &control.height) ||
        !in.Text(&control.className) || !in.Text(&control.text) || !in.Pad()) {
      return false;
    }
    control.id = static_cast<int>(id);
    dialog->controls.push_back(std::move(control));
  }
  return true;
}

}  // namespace win32_layer
