// Finding a resource in a loaded module by kind and number (see
// platform/win32_resources.h for where modules keep them).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

namespace win32_layer {

// The resource's bytes after its number, inside the module's mapped image
// and valid while the module stays loaded. `module` is a handle from dlopen,
// or null for the main program. False when the handle names no loaded
// object or the object has no such resource.
bool FindModuleResource(HINSTANCE module, uint32_t kind, uint32_t number,
                        const unsigned char** data, size_t* size);

}  // namespace win32_layer
