// The stored default configuration block, read from the host's ini file.
#pragma once

#include "abi/sink_config.h"

// Reads the stored block of the section. Returns its size (1 or more) and
// points block at the bytes, or returns 0 and leaves block untouched. The
// bytes stay valid until the next call.
int ReadSinkDefaults(const void** block, const char* section);
