#include "tools/interrupt.h"

#include <csignal>
#include <cstdio>
#include <mutex>
#include <set>

#ifdef _WIN32
#include <io.h>
#else
#include <pthread.h>
#include <thread>
#include <unistd.h>
#endif

namespace velda {

namespace {

// The temporary files being written. Files are made and entered here, and
// removed, under the mutex, which the interrupt also takes: it sees each
// file either not yet made or made and entered.
std::mutex gWatchedMutex;
std::set<std::string> gWatched;

// Removes every watched file and ends the process as the signal would.
[[noreturn]] void RemoveAndEnd(int signalNumber) {
    gWatchedMutex.lock();  // held to the end: no file is made after this
    for (const std::string& path : gWatched) {
#ifdef _WIN32
        _unlink(path.c_str());  // the file was opened so that it can go while open
#else
        unlink(path.c_str());
#endif
    }
    std::signal(signalNumber, SIG_DFL);
#ifndef _WIN32
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
#endif
    std::raise(signalNumber);
    std::_Exit(128 + signalNumber);  // should the signal be ignored after all
}

#ifdef _WIN32
// Windows runs the handler on a thread of its own.
extern "C" void OnInterrupt(int signalNumber) { RemoveAndEnd(signalNumber); }
#endif

}  // namespace

void RemoveTemporariesOnInterrupt() {
#ifdef _WIN32
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
#else
    // Signals that end the program are taken by one thread, which waits for
    // them; a handler interrupting a thread that holds the mutex could not
    // take it.
    sigset_t signals;
    sigemptyset(&signals);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signalNumber);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        int signalNumber = 0;
        if (sigwait(&signals, &signalNumber) == 0) RemoveAndEnd(signalNumber);
    }).detach();
#endif
}

bool InterruptWatch::Create(OutputFile& output, const std::string& target, std::string& error) {
    const std::lock_guard<std::mutex> lock(gWatchedMutex);
    if (!output.Create(target, error)) return false;
    path_ = output.TemporaryPath();
    gWatched.insert(path_);
    return true;
}

InterruptWatch::~InterruptWatch() {
    if (path_.empty()) return;
    const std::lock_guard<std::mutex> lock(gWatchedMutex);
    gWatched.erase(path_);
}

}  // namespace velda
