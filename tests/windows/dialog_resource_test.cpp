// Dialog template 155 as Windows finds it in the built DLL: windres's
// binary form (DLGTEMPLATEEX) read field by field and compared with the
// declarative table the resource script was written from, so that what a
// host's CreateDialogParamA gets is exactly the panel's table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "panel/config_panel_template.h"

namespace {

// Reads the packed little-endian template.
class TemplateReader {
 public:
  TemplateReader(const unsigned char* data, size_t size) : data(data), size(size) {}
  bool Failed() const { return failed; }
  size_t Position() const { return position; }
  uint16_t Word() {
    uint16_t value = 0;
    Take(&value, 2);
    return value;
  }
  uint32_t Dword() {
    uint32_t value = 0;
    Take(&value, 4);
    return value;
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  // A text, or a predefined class's ordinal ("#133"); "" for none.
  std::string TextOrOrdinal() {
    uint16_t first = Word();
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    std::string text;
    for (uint16_t unit = first; unit != 0 && !failed; unit = Word()) text += unit < 128 ? static_cast<char>(unit) : '?';
    return text;
  }
  void AlignTo4() { position = (position + 3) & ~size_t{3}; }
  void Skip(size_t bytes) { position += bytes; }

 private:
  void Take(void* out, size_t bytes) {
    if (position + bytes > size) {
      failed = true;
      return;
    }
    std::memcpy(out, data + position, bytes);
    position += bytes;
  }
  const unsigned char* data;
  size_t size;
  size_t position = 0;
  bool failed = false;
};

// The ordinal form of a predefined class ("#133" for COMBOBOX), or the
// name in capitals: a template may hold either, and Windows takes both.
std::string ClassOrdinal(const char* name) {
  const struct {
    const char* name;
    int ordinal;
  } predefined[] = {{"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82}, {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84},
                    {"COMBOBOX", 0x85}};
  std::string upper;
  for (const char* c = name; *c != '\0'; ++c) upper += static_cast<char>(*c >= 'a' && *c <= 'z' ? *c - 32 : *c);
  for (const auto& known : predefined)
    if (upper == known.name) return "#" + std::to_string(known.ordinal);
  return upper;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return text;
}

TEST(DialogResource, Template155InTheDllIsThePanelsTable) {
  HMODULE dll = LoadLibraryExA("sarnic_pexo.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(dll, nullptr) << GetLastError();
  HRSRC found = FindResourceA(dll, MAKEINTRESOURCEA(kConfigPanelTemplateNumber), MAKEINTRESOURCEA(5));
  ASSERT_NE(found, nullptr) << "no RT_DIALOG 155";
  HGLOBAL loaded = LoadResource(dll, found);
  ASSERT_NE(loaded, nullptr);
  TemplateReader in(static_cast<const unsigned char*>(LockResource(loaded)), SizeofResource(dll, found));

  const DialogResource& want = kConfigPanelDialog;
  EXPECT_EQ(in.Word(), 1);       // dlgVer
  EXPECT_EQ(in.Word(), 0xFFFF);  // signature of the extended form
  in.Dword();                    // help id
  EXPECT_EQ(in.Dword(), want.exStyle);
  EXPECT_EQ(in.Dword(), want.style);
  const uint16_t count = in.Word();
  EXPECT_EQ(count, want.controlCount);
  EXPECT_EQ(in.Short(), want.x);
  EXPECT_EQ(in.Short(), want.y);
  EXPECT_EQ(in.Short(), want.width);
  EXPECT_EQ(in.Short(), want.height);
  EXPECT_EQ(in.TextOrOrdinal(), "");  // no menu
  EXPECT_EQ(in.TextOrOrdinal(), "");  // no class of its own
  EXPECT_EQ(in.TextOrOrdinal(), want.caption);
  EXPECT_EQ(in.Word(), want.pointSize);
  in.Word();  // weight
  in.Skip(2);  // italic, character set
  EXPECT_EQ(in.TextOrOrdinal(), want.fontName);

  for (uint16_t i = 0; i < count && i < want.controlCount && !in.Failed(); ++i) {
    const DialogControlResource& control = want.controls[i];
    SCOPED_TRACE(control.id);
    in.AlignTo4();
    in.Dword();  // help id
    EXPECT_EQ(in.Dword(), control.exStyle);
    EXPECT_EQ(in.Dword(), control.style);
    EXPECT_EQ(in.Short(), control.x);
    EXPECT_EQ(in.Short(), control.y);
    EXPECT_EQ(in.Short(), control.width);
    EXPECT_EQ(in.Short(), control.height);
    EXPECT_EQ(in.Dword(), static_cast<uint32_t>(control.id));
    std::string stored = Upper(in.TextOrOrdinal());
    EXPECT_TRUE(stored == Upper(control.className) || stored == ClassOrdinal(control.className))
        << stored << " for " << control.className;
    EXPECT_EQ(in.TextOrOrdinal(), control.text);
    in.Skip(in.Word());  // creation data
  }
  EXPECT_FALSE(in.Failed()) << "the template ends early";
  FreeLibrary(dll);
}

}  // namespace
