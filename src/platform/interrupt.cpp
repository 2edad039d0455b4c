#include "platform/interrupt.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace velda {

namespace {

// The temporary files being written. Files are made and entered here, and
// removed, under the mutex, which the interrupt also takes: it sees each
// file either not yet made or made and entered.
std::mutex gWatchedMutex;
std::set<std::string> gWatched;

}  // namespace

void RemoveWatchedAndEnd(int signalNumber) {
    gWatchedMutex.lock();  // held to the end: no file is made after this
    // On Windows the files were opened so that they can go while open.
    for (const std::string& path : gWatched) RemoveFile(path);
    EndAsSignal(signalNumber);
}

std::error_code InterruptWatch::Create(OutputFile& output, const std::string& target) {
    const std::lock_guard<std::mutex> lock(gWatchedMutex);
    if (const std::error_code error = output.Create(target)) return error;
    path_ = output.TemporaryPath();
    gWatched.insert(path_);
    return {};
}

InterruptWatch::~InterruptWatch() {
    if (path_.empty()) return;
    const std::lock_guard<std::mutex> lock(gWatchedMutex);
    gWatched.erase(path_);
}

}  // namespace velda
