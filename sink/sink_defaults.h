// The stored default configuration block, read from the host's ini file.
#pragma once

// Section the panel reads the stored defaults from.
constexpr const char* kSinkDefaultsSection = "libsndfile sink defaults";

// Reads the stored block of the section. Returns its size (1 or more) and
// points block at the bytes, or returns 0 and leaves block untouched. The
// bytes stay valid until the next call.
int ReadSinkDefaults(const void** block, const char* section);
