// The writer's side of the configuration block: the format-word fields it
// reads and the built-in default. The block's layout and readers are the
// host interface's (abi/sink_config.h).
#pragma once

#include <sndfile.h>

#include <cstdint>

#include "abi/sink_config.h"

// Format-word fields.
constexpr int32_t kMajorFormatMask = SF_FORMAT_TYPEMASK;
constexpr int32_t kSubtypeMask = SF_FORMAT_SUBMASK;
constexpr int32_t kByteOrderMask = SF_FORMAT_ENDMASK;

// Built-in default: AIFF, 16-bit PCM, the file format's byte order, 0.5.
constexpr int32_t kDefaultFormatWord = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
constexpr float kDefaultQuality = 0.5f;
static_assert(kDefaultFormatWord == 0x20002, "built-in default");
