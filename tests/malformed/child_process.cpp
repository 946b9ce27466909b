// Child processes for the malformed-input cases.
#include "tests/malformed/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace {

constexpr int kPassed = 0;
constexpr int kFailed = 1;
constexpr int kCannotDrop = 3;
constexpr uid_t kNobody = 65534;

ChildOutcome Run(const std::function<bool()>& check, bool unprivileged) {
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return ChildOutcome::kCrashed;
  if (child == 0) {
    if (unprivileged && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(kCannotDrop);
    bool passed = check();
    std::fflush(nullptr);
    _exit(passed ? kPassed : kFailed);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return ChildOutcome::kCrashed;
  switch (WEXITSTATUS(status)) {
    case kPassed: return ChildOutcome::kPassed;
    case kCannotDrop: return ChildOutcome::kCannotDropPrivileges;
    default: return ChildOutcome::kFailed;
  }
}

}  // namespace

ChildOutcome RunInChild(const std::function<bool()>& check) { return Run(check, false); }
ChildOutcome RunWherePermissionsApply(const std::function<bool()>& check) {
  if (geteuid() != 0) return check() ? ChildOutcome::kPassed : ChildOutcome::kFailed;
  return Run(check, true);
}
