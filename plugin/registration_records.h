// The two records the entry registers with the host: constant data of the
// library that keeps its address for as long as the library is loaded.
#pragma once

#include "abi/host_interface.h"

extern const SourceRegistration kSourceRegistration;  // key "pcmsrc"
extern const SinkRegistration kSinkRegistration;      // key "pcmsink"
