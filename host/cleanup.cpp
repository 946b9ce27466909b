// The signal-time removal of temporary files. The handler only calls
// async-signal-safe functions (unlink, _exit) on fixed storage.
#include "host/cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <initializer_list>
#include <climits>
#include <cstring>

namespace pexo_host {
namespace {

constexpr int kSlots = 8;
char paths[kSlots][PATH_MAX];
volatile sig_atomic_t used[kSlots];
TemporaryObserver observer = nullptr;

void RemoveAndExit(int signalNumber) {
  for (int i = 0; i < kSlots; ++i) {
    if (used[i]) unlink(paths[i]);
  }
  _exit(kExitSignalBase + signalNumber);
}

}  // namespace

void InstallCleanupHandlers() {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = &RemoveAndExit;
  sigfillset(&action.sa_mask);  // one cleanup at a time
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaction(signalNumber, &action, nullptr);
}

int RememberTemporary(const char* path) {
  if (path == nullptr || std::strlen(path) >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    if (!used[i]) {
      std::strcpy(paths[i], path);
      std::atomic_signal_fence(std::memory_order_seq_cst);
      used[i] = 1;  // only after the name is complete
      if (observer != nullptr) observer(path);
      return i;
    }
  }
  return -1;
}

void ObserveTemporaries(TemporaryObserver newObserver) { observer = newObserver; }

void ForgetTemporary(int slot) {
  if (slot >= 0 && slot < kSlots) used[slot] = 0;
}

void RemoveTemporaries() {
  for (int i = 0; i < kSlots; ++i) {
    if (used[i]) {
      unlink(paths[i]);
      used[i] = 0;
    }
  }
}

}  // namespace pexo_host
