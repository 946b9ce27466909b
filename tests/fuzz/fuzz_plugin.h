// The plug-in, linked in, started once per process by the recording test
// host, as a host starts it: the records it registered.
#pragma once

#include "abi/host_interface.h"

struct StartedPlugin {
  const SourceRegistration* source;  // "pcmsrc"
  const SinkRegistration* sink;      // "pcmsink"
};

// Runs the entry on the first call; aborts when it registers nothing.
const StartedPlugin& StartPlugin();
