// A shared library with a dialog of its own, numbered like one of the test
// program's, so a lookup shows which module it searched.
#include "platform/win32_resources.h"

namespace {

constexpr DialogControlResource kControls[] = {
    {10, "STATIC", WS_CHILD | WS_VISIBLE, 0, 0, 0, 30, 8, "module label"},
};
constexpr DialogResource kDialog = {WS_CHILD, 0, 0, 0, 50, 20, "MS Shell Dlg", 8, "module",
                                    kControls, 1};
PEXO_DIALOG_RESOURCE_NOTE(kDialogNote, 300, kDialog);

}  // namespace
