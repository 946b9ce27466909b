// openConfigPanel: the panel dialog, created from template 155 of the
// plug-in's own module inside the host's window.
#include "binding/host_api.h"
#include "panel/config_panel_template.h"
#include "panel/panel.h"
#include "sink/sink_config_block.h"

HWND openConfigPanel(const void* block, int blockSize, HWND parentWindow) noexcept {
  if (!HasSinkTag(block, blockSize, 4)) return nullptr;
#if defined(_WIN32)
  // The slider is comctl32's trackbar, whose class exists only once the
  // common controls are initialised (cheap after the first time).
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  if (!InitCommonControlsEx(&controls)) return nullptr;
#endif
  // Lives on this stack: the dialog reads it during creation only.
  ConfigPanelStart start = {block, blockSize};
  return CreateDialogParamA(pluginInstance, MAKEINTRESOURCEA(kConfigPanelTemplate), parentWindow,
                            &ConfigPanelProc, reinterpret_cast<LPARAM>(&start));
}
