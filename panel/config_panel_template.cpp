// Dialog template 155 as a resource of the module that contains the panel.
#include "panel/config_panel_template.h"

namespace {
constexpr int kTemplateNumber = 155;
PEXO_DIALOG_RESOURCE_NOTE(kConfigPanelNote, kTemplateNumber, kConfigPanelDialog);
}  // namespace

extern const int kConfigPanelTemplate = kTemplateNumber;
