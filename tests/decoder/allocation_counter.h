// Counts the C++ heap allocations of the test binary: it replaces the global
// operator new and delete, and counts only while a Scope is alive.
#pragma once

namespace allocation_counter {

class Scope {
 public:
  Scope();
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

  long Allocations() const;  // operator new calls since construction
  long Outstanding() const;  // those allocations not yet released
};

// Makes the next nothrow operator new (single or array) return null.
void FailNextNothrowAllocation();

}  // namespace allocation_counter
