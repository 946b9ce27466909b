// Module resources of the Win32 subset on POSIX: how a shared library (or
// the main program) carries its dialog templates, and how the layer finds
// them from a module handle.
//
// A resource is an ELF note in the module's own image: owner "PEXO", note
// type = the resource kind (RT_DIALOG), descriptor = the resource number
// (32 bits) followed by the resource's serialized form. The record holds no
// pointers and no relocations, so it is valid wherever the module is
// mapped. The note lives in an allocated section of type SHT_NOTE
// (".note.pexo.resource"), which the static linker places in a PT_NOTE
// segment; nothing needs to be exported and nothing registered at run time.
//
// CreateDialogParamA takes the module handle that dlopen returned, or null
// (or dlopen(nullptr)'s handle) for the main program. The layer checks that
// the handle names a loaded object, finds that object's program headers
// with dl_iterate_phdr by its load address and dynamic section, and walks
// its PT_NOTE segments. A handle that names no loaded object, a missing
// number or a malformed record all mean "no such resource".
//
// A module declares a dialog as a DialogResource with a table of
// DialogControlResource rows (the same data a resource script's DIALOGEX
// statement holds) and emits it with PEXO_DIALOG_RESOURCE_NOTE. The
// serialized dialog, all numbers little-endian, texts 8-bit and
// NUL-terminated, each record padded with zeros to a multiple of 4 bytes:
//
//   u32 number, u32 format version (1)
//   u32 style, u32 extended style, i16 x, y, width, height (dialog units)
//   u16 font point size, u16 control count, text font name, text caption
//   per control, in template (tab) order:
//     u32 id, u32 style, u32 extended style, i16 x, y, width, height,
//     text class name, text initial text
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

struct DialogControlResource {
  int id;
  const char* className;
  DWORD style;
  DWORD exStyle;
  int16_t x, y, width, height;
  const char* text;
};

struct DialogResource {
  DWORD style;
  DWORD exStyle;
  int16_t x, y, width, height;
  const char* fontName;
  uint16_t pointSize;
  const char* caption;
  const DialogControlResource* controls;
  uint16_t controlCount;
};

#if !defined(_WIN32)
// On Windows the module's dialogs are real resources, compiled from a
// resource script that is generated from the same tables.
constexpr char kResourceNoteOwner[] = "PEXO";
constexpr uint32_t kDialogResourceVersion = 1;

namespace resource_note {

constexpr size_t Padded(size_t size) { return (size + 3) & ~size_t{3}; }

constexpr size_t TextSize(const char* text) {
  size_t size = 0;
  while (text[size] != '\0') ++size;
  return size + 1;
}

// Size of the descriptor: number, version and the serialized dialog.
constexpr size_t DialogDescriptorSize(const DialogResource& dialog) {
  size_t size = 4 + 4 + 4 + 4 + 4 * 2 + 2 + 2;
  size = Padded(size + TextSize(dialog.fontName) + TextSize(dialog.caption));
  for (size_t i = 0; i < dialog.controlCount; ++i) {
    const DialogControlResource& control = dialog.controls[i];
    size += Padded(4 + 4 + 4 + 4 * 2 + TextSize(control.className) + TextSize(control.text));
  }
  return size;
}

// The note as it lies in the image: header, owner name padded to 4 bytes,
// descriptor.
template <size_t DescriptorSize>
struct Note {
  uint32_t nameSize;
  uint32_t descriptorSize;
  uint32_t type;
  char name[8];
  unsigned char descriptor[DescriptorSize];
};
static_assert(sizeof(kResourceNoteOwner) <= 8, "owner name fits its padded field");

template <size_t DescriptorSize>
class Writer {
 public:
  constexpr explicit Writer(Note<DescriptorSize>& note) : note(note) {}
  constexpr void Put16(uint32_t value) {
    Put8(value & 0xFF);
    Put8((value >> 8) & 0xFF);
  }
  constexpr void Put32(uint32_t value) {
    Put16(value & 0xFFFF);
    Put16(value >> 16);
  }
  constexpr void PutText(const char* text) {
    for (size_t i = 0; text[i] != '\0'; ++i) Put8(static_cast<unsigned char>(text[i]));
    Put8(0);
  }
  constexpr void Pad() {
    while (position % 4 != 0) Put8(0);
  }
  constexpr size_t Position() const { return position; }

 private:
  constexpr void Put8(uint32_t value) { note.descriptor[position++] = static_cast<unsigned char>(value); }
  Note<DescriptorSize>& note;
  size_t position = 0;
};

template <size_t DescriptorSize>
constexpr Note<DescriptorSize> MakeDialogNote(uint32_t number, const DialogResource& dialog) {
  Note<DescriptorSize> note{};
  note.nameSize = sizeof(kResourceNoteOwner);
  note.descriptorSize = DescriptorSize;
  note.type = RT_DIALOG;
  for (size_t i = 0; i < sizeof(kResourceNoteOwner); ++i) note.name[i] = kResourceNoteOwner[i];
  Writer<DescriptorSize> out(note);
  out.Put32(number);
  out.Put32(kDialogResourceVersion);
  out.Put32(dialog.style);
  out.Put32(dialog.exStyle);
  out.Put16(static_cast<uint16_t>(dialog.x));
  out.Put16(static_cast<uint16_t>(dialog.y));
  out.Put16(static_cast<uint16_t>(dialog.width));
  out.Put16(static_cast<uint16_t>(dialog.height));
  out.Put16(dialog.pointSize);
  out.Put16(dialog.controlCount);
  out.PutText(dialog.fontName);
  out.PutText(dialog.caption);
  out.Pad();
  for (size_t i = 0; i < dialog.controlCount; ++i) {
    const DialogControlResource& control = dialog.controls[i];
    out.Put32(static_cast<uint32_t>(control.id));
    out.Put32(control.style);
    out.Put32(control.exStyle);
    out.Put16(static_cast<uint16_t>(control.x));
    out.Put16(static_cast<uint16_t>(control.y));
    out.Put16(static_cast<uint16_t>(control.width));
    out.Put16(static_cast<uint16_t>(control.height));
    out.PutText(control.className);
    out.PutText(control.text);
    out.Pad();
  }
  // Evaluated at compile time, so a size mismatch fails the build.
  if (out.Position() != DescriptorSize) note.descriptorSize = 0;
  return note;
}

}  // namespace resource_note

// Emits dialog `dialog` (a constexpr DialogResource) as resource `number` of
// the module being linked, in a note object named `variable`. The explicit
// alignment keeps the note at the 4-byte alignment that note segments
// require (the compiler would otherwise align a large object to 16).
#define PEXO_DIALOG_RESOURCE_NOTE(variable, number, dialog)                                    \
  [[gnu::used, gnu::retain, gnu::section(".note.pexo.resource"), gnu::aligned(4)]]            \
  constexpr resource_note::Note<resource_note::DialogDescriptorSize(dialog)> variable =        \
      resource_note::MakeDialogNote<resource_note::DialogDescriptorSize(dialog)>(number, dialog); \
  static_assert(variable.descriptorSize == resource_note::DialogDescriptorSize(dialog),       \
                "dialog resource serialized to its computed size")
#endif  // !_WIN32
