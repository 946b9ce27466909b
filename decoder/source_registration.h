// The functions through which the host obtains decoders ("pcmsrc"): by type
// tag, by file name, and the list of file extensions the plug-in names.
#pragma once

#include "abi/host_interface.h"

// A source around a new decoder without a file when tag is exactly "KOVRA"
// and tagLength at least 5; null otherwise.
HostSource* makeFromTypeTag(const char* tag, int tagLength) noexcept;

// A source around a decoder opened on path, for attempt levels above 6 and
// names of five or more characters; null when refused or when the file
// cannot be opened (the source is then deleted).
HostSource* makeFromFile(const char* path, int level) noexcept;

// Extension index (0 "PAF", 1 "CAF"; null beyond) and its description,
// stored through description unless that is null.
const char* listExtensions(int index, const char** description) noexcept;
