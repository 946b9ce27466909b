// Dialog template 155 as a resource of the module that contains the panel:
// an ELF note on POSIX; on Windows the resource script made from the same
// table (panel/resource_script/) is compiled into the DLL.
#include "panel/config_panel_template.h"

namespace {
#if !defined(_WIN32)
PEXO_DIALOG_RESOURCE_NOTE(kConfigPanelNote, kConfigPanelTemplateNumber, kConfigPanelDialog);
#endif
}  // namespace

extern const int kConfigPanelTemplate = kConfigPanelTemplateNumber;
