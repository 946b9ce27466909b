// A build tool, run on the build machine: writes the resource script of
// dialog template 155 from the panel's declarative table, for windres to
// compile into the Windows DLL. The Linux module note is made from the same
// table, so the two forms cannot drift apart.
//
// Usage: write_panel_rc OUTPUT.rc
#include <cstdio>

#include "panel/config_panel_template.h"

namespace {

// A resource-script string: quotes are doubled, every other byte is kept.
void PutString(std::FILE* out, const char* text) {
  std::fputc('"', out);
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '"') std::fputc('"', out);
    std::fputc(*c, out);
  }
  std::fputc('"', out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.rc\n", argv[0]);
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const DialogResource& dialog = kConfigPanelDialog;
  std::fprintf(out, "// Generated from panel/config_panel_template.h; do not edit.\n");
  std::fprintf(out, "%d DIALOGEX %d, %d, %d, %d\n", kConfigPanelTemplateNumber, dialog.x, dialog.y,
               dialog.width, dialog.height);
  std::fprintf(out, "STYLE 0x%08X\n", static_cast<unsigned>(dialog.style));
  std::fprintf(out, "EXSTYLE 0x%08X\n", static_cast<unsigned>(dialog.exStyle));
  if (dialog.caption[0] != '\0') {
    std::fprintf(out, "CAPTION ");
    PutString(out, dialog.caption);
    std::fprintf(out, "\n");
  }
  std::fprintf(out, "FONT %u, ", static_cast<unsigned>(dialog.pointSize));
  PutString(out, dialog.fontName);
  std::fprintf(out, "\nBEGIN\n");
  for (unsigned i = 0; i < dialog.controlCount; ++i) {
    const DialogControlResource& control = dialog.controls[i];
    std::fprintf(out, "  CONTROL ");
    PutString(out, control.text);
    std::fprintf(out, ", %d, ", control.id);
    PutString(out, control.className);
    std::fprintf(out, ", 0x%08X, %d, %d, %d, %d, 0x%08X\n", static_cast<unsigned>(control.style),
                 control.x, control.y, control.width, control.height,
                 static_cast<unsigned>(control.exStyle));
  }
  std::fprintf(out, "END\n");
  return std::fclose(out) == 0 ? 0 : 1;
}
