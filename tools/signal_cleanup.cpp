#include "signal_cleanup.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

namespace lwtool {

namespace {

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}

std::vector<std::string>& Directories() {
    static std::vector<std::string> directories;
    return directories;
}

sigset_t CleanupSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

// A writer may still be creating files in a directory while it is removed;
// a few rounds catch what it made in between.
void RemoveTree(const std::string& directory) {
    for (int round = 0; round < 5; ++round) {
        std::error_code error;
        std::filesystem::remove_all(directory, error);
        if (!std::filesystem::exists(directory, error)) return;
    }
}

[[noreturn]] void CleanUpAndDie(int signal) {
    {
        std::lock_guard<std::mutex> hold(Lock());
        for (const std::string& directory : Directories()) RemoveTree(directory);
    }
    // Die of the signal itself, so that a shell or a parent sees why.
    ::signal(signal, SIG_DFL);
    sigset_t just;
    sigemptyset(&just);
    sigaddset(&just, signal);
    pthread_sigmask(SIG_UNBLOCK, &just, nullptr);
    raise(signal);
    _exit(128 + signal);
}

}  // namespace

void StartSignalCleanup() {
    const sigset_t signals = CleanupSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        int signal = 0;
        while (sigwait(&signals, &signal) != 0) {
        }
        CleanUpAndDie(signal);
    }).detach();
}

void RegisterTemporaryDirectory(const std::string& directory) {
    std::lock_guard<std::mutex> hold(Lock());
    Directories().push_back(directory);
}

void UnregisterTemporaryDirectory(const std::string& directory) {
    std::lock_guard<std::mutex> hold(Lock());
    std::vector<std::string>& directories = Directories();
    directories.erase(std::remove(directories.begin(), directories.end(), directory), directories.end());
}

std::unique_lock<std::mutex> HoldSignals() { return std::unique_lock<std::mutex>(Lock()); }

}  // namespace lwtool
