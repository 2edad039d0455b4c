// An interrupt (Ctrl+C) or a termination signal must not leave the
// converter's temporary files behind: every file being written at that
// moment is removed before the process ends.
#pragma once

#include <string>
#include <system_error>

#include "platform/output_file.h"

namespace velda {

// Makes interrupts remove the watched temporary files. Call once at start,
// before any other thread is made (on POSIX systems the signals are then
// taken by a thread of their own, and the others inherit that they do not
// take them): interrupt_posix.cpp and interrupt_win.cpp.
void RemoveTemporariesOnInterrupt();

// Removes every watched file and ends the process as the signal
// `signalNumber` ends it; no file is watched any more from the moment it
// starts.
[[noreturn]] void RemoveWatchedAndEnd(int signalNumber);

// Ends the process as the signal `signalNumber` would: the system's half.
[[noreturn]] void EndAsSignal(int signalNumber);

// Watches one output's temporary file from the moment it is made until
// the watch ends (after the output is committed or discarded).
class InterruptWatch {
public:
    InterruptWatch() = default;
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;
    ~InterruptWatch();

    // Creates the temporary file of `output` for `target`, as
    // OutputFile::Create does, and watches it. An interrupt sees both or
    // neither: it can neither miss a file that exists nor remove one of that
    // name that someone else made.
    std::error_code Create(OutputFile& output, const std::string& target);

private:
    std::string path_;  // the watched file, "" for none
};

}  // namespace velda
