// Opening an input through the plug-in's decoder, with a reason when it
// cannot be: the host checks the file itself first, so that a missing or
// unreadable file is told apart from one libsndfile does not understand.
#pragma once

#include <memory>
#include <string>

#include "abi/host_interface.h"

namespace pexo_host {

struct SourceDeleter {
  void operator()(HostSource* source) const { delete source; }
};
using SourcePointer = std::unique_ptr<HostSource, SourceDeleter>;

// The source (with its decoder open) or null and a reason.
SourcePointer OpenInput(const SourceRegistration* reader, const std::string& path, std::string* error);

}  // namespace pexo_host
