// Ctrl-C, kill and a closed terminal (SIGINT, SIGTERM, SIGHUP) must not leave
// the temporary files of an unfinished output behind, nor cut the commit of
// the outputs in half.
//
// The signals are blocked in every thread and taken by a thread of their own
// (sigwait), which can then clean up with ordinary code, not the little a
// signal handler may call. It removes every registered temporary directory
// and ends the process by the signal, as if the tool had not caught it. A
// commit holds the lock while it moves files: a signal that comes meanwhile
// waits for the moves to finish.
#ifndef LOOPWEAVE_TOOL_SIGNAL_CLEANUP_H
#define LOOPWEAVE_TOOL_SIGNAL_CLEANUP_H

#include <mutex>
#include <string>

namespace lwtool {

// Call once at the start of main(), before any other thread exists.
void StartSignalCleanup();

// While a registration lives, a signal removes its directory and all in it.
void RegisterTemporaryDirectory(const std::string& directory);
void UnregisterTemporaryDirectory(const std::string& directory);

// Held while files move into place.
std::unique_lock<std::mutex> HoldSignals();

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_SIGNAL_CLEANUP_H
