// The test process's id, for names of its own temporary files.
#pragma once

#if defined(_WIN32)
#include "platform/win32_types.h"
#else
#include <unistd.h>
#endif

namespace test_host {

inline long ProcessId() {
#if defined(_WIN32)
  return static_cast<long>(GetCurrentProcessId());
#else
  return static_cast<long>(getpid());
#endif
}

}  // namespace test_host
