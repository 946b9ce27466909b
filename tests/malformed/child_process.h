// Cases that change what the process may do (its user, its file-size
// limit) run in a child process, so that the test program keeps its own.
#pragma once

#include <functional>

enum class ChildOutcome { kPassed, kFailed, kCrashed, kCannotDropPrivileges };

// Runs check in a child; it passes when check returns true.
ChildOutcome RunInChild(const std::function<bool()>& check);

// The same under the unprivileged user "nobody" (65534), for the cases where
// file permissions must deny something: root reads and writes through them.
ChildOutcome RunUnprivileged(const std::function<bool()>& check);

// True when this process is subject to file permissions.
bool PermissionsApply();
