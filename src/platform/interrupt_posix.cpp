// Interrupts on POSIX systems: the signals that end the program are taken
// by one thread, which waits for them; a handler interrupting a thread
// that holds the list of watched files could not take it.
#include <pthread.h>

#include <csignal>
#include <cstdlib>
#include <thread>

#include "platform/interrupt.h"

namespace velda {

void EndAsSignal(int signalNumber) {
    std::signal(signalNumber, SIG_DFL);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    std::raise(signalNumber);
    std::_Exit(128 + signalNumber);  // should the signal be ignored after all
}

void RemoveTemporariesOnInterrupt() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signalNumber);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        int signalNumber = 0;
        if (sigwait(&signals, &signalNumber) == 0) RemoveWatchedAndEnd(signalNumber);
    }).detach();
}

}  // namespace velda
