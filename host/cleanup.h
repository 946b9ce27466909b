// Files that must not outlive a failed or interrupted run: temporary
// outputs are registered here, and SIGINT, SIGTERM and SIGHUP remove them
// before the process exits with 128 + the signal number.
#pragma once

namespace pexo_host {

// A process stopped by signal N exits with kExitSignalBase + N, as a shell
// reports it.
constexpr int kExitSignalBase = 128;

// Installs the removing handlers in this process.
void InstallCleanupHandlers();

// Registers a file to remove on a signal; returns a slot for Forget, or -1
// when every slot is taken (the caller then must not create the file).
int RememberTemporary(const char* path);
void ForgetTemporary(int slot);

// Removes every registered file now (no signal).
void RemoveTemporaries();

// Called with each name as it is registered (a worker tells its parent, so
// that the parent can remove the file should the worker die).
using TemporaryObserver = void (*)(const char* path);
void ObserveTemporaries(TemporaryObserver observer);

}  // namespace pexo_host
