// The Win32 functions are C interfaces: like the system's own, they answer
// an exhausted heap with their failure result (a null window, FALSE,
// CB_ERRSPACE), never with an exception. This layer keeps windows, texts and
// lists in standard containers, whose only exceptions are allocation
// failures; each place that allocates runs through Allocates, before it
// changes anything a failure would leave half done.
#pragma once

#include <exception>

namespace win32_layer {

// Runs step; false when it ran out of memory (std::bad_alloc, or a size
// the container refuses).
template <typename Step>
bool Allocates(Step&& step) noexcept {
  try {
    step();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace win32_layer
