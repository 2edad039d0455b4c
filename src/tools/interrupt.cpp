#include "tools/interrupt.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace velda {

namespace {

// One slot for each file being written at once. Plain data and lock-free
// atomics only: the handler may run at any moment, and on Windows on a
// thread of its own.
constexpr int Slots = 64;
constexpr std::size_t SlotPathBytes = 4096;
enum SlotState : int { Free, Claimed, Watching };
std::atomic<int> gState[Slots];
char gPath[Slots][SlotPathBytes];

extern "C" void OnInterrupt(int signalNumber) {
    for (int i = 0; i < Slots; ++i) {
        if (gState[i].load() != Watching) continue;
#ifdef _WIN32
        _unlink(gPath[i]);  // the file was opened so that it can go while open
#else
        unlink(gPath[i]);  // async-signal-safe
#endif
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

}  // namespace

void RemoveTemporariesOnInterrupt() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
#ifndef _WIN32
    std::signal(SIGHUP, OnInterrupt);
#endif
}

InterruptWatch::InterruptWatch(const OutputFile& output) : slot_(-1) {
    const std::string& path = output.TemporaryPath();
    if (path.empty() || path.size() >= SlotPathBytes) return;
    for (int i = 0; i < Slots; ++i) {
        int expected = Free;
        if (!gState[i].compare_exchange_strong(expected, Claimed)) continue;
        std::memcpy(gPath[i], path.c_str(), path.size() + 1);
        gState[i].store(Watching);  // only now may the handler read the name
        slot_ = i;
        return;
    }
}

InterruptWatch::~InterruptWatch() {
    if (slot_ >= 0) gState[slot_].store(Free);
}

}  // namespace velda
