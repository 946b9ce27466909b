// Checks of a written output before it is moved into place: the file is read
// back through the plug-in's decoder, as any host would read it, and must
// hold what was written; and, when the writer refused to open a file, the
// file system is asked for a cause.
#pragma once

#include <cstdint>
#include <string>

#include "abi/host_interface.h"

namespace pexo_host {

// "" when the file at path, opened through the reader's makeFromFile, has
// these channels and this rate and delivers exactly frames frames (its
// header agreeing, where it states a length); else what differs, naming
// both lengths. formatWord is the writer's: a headerless (RAW) file cannot
// be opened by name and is checked by its size instead.
std::string CheckWrittenFile(const SourceRegistration* reader, const std::string& path, int formatWord,
                             int channels, int rate, int64_t frames);

// Why the file system refuses data in the file at path (after the writer
// failed on it): no space left, a file-size limit, ...; "" when a trial
// write succeeds. The file is left empty.
std::string WriteProblem(const std::string& path);

}  // namespace pexo_host
