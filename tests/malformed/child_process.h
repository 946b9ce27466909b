// Cases that change what the process may do (its user, its file-size
// limit) run in a child process, so that the test program keeps its own.
#pragma once

#include <functional>

enum class ChildOutcome { kPassed, kFailed, kCrashed, kCannotDropPrivileges };

// Runs check in a child; it passes when check returns true.
ChildOutcome RunInChild(const std::function<bool()>& check);

// For the cases where file permissions must deny something: check in this
// process when they apply to it, otherwise (root reads and writes through
// them) in a child under the unprivileged user "nobody" (65534).
ChildOutcome RunWherePermissionsApply(const std::function<bool()>& check);
