// Interrupts on Windows, where the C library runs a signal handler on a
// thread of its own.
#include <csignal>
#include <cstdlib>

#include "platform/interrupt.h"

namespace velda {

namespace {

extern "C" void OnInterrupt(int signalNumber) { RemoveWatchedAndEnd(signalNumber); }

}  // namespace

void EndAsSignal(int signalNumber) {
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
    std::_Exit(128 + signalNumber);  // should the signal be ignored after all
}

void RemoveTemporariesOnInterrupt() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

}  // namespace velda
