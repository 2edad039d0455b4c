// An interrupt (Ctrl+C) or a termination signal must not leave the
// converter's temporary files behind: every file being written at that
// moment is removed before the process ends.
#pragma once

#include <string>

#include "platform/output_file.h"

namespace velda {

// Makes interrupts remove the watched temporary files. Call once at start,
// before any other thread is made (on POSIX systems the signals are then
// taken by a thread of their own, and the others inherit that they do not
// take them).
void RemoveTemporariesOnInterrupt();

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
    bool Create(OutputFile& output, const std::string& target, std::string& error);

private:
    std::string path_;  // the watched file, "" for none
};

}  // namespace velda
