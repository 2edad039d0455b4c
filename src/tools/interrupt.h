// An interrupt (Ctrl+C) or a termination signal must not leave the
// converter's temporary files behind: the handler removes every file being
// written at that moment before the process ends.
#pragma once

#include "platform/output_file.h"

namespace velda {

// Installs the handler. Call once at start.
void RemoveTemporariesOnInterrupt();

// While it lives, an interrupt removes the temporary file of `output`,
// which must exist already: pointed at a name before the file exists, the
// handler could remove a file someone else made under it. It lives until
// the output is committed or discarded.
class InterruptWatch {
public:
    explicit InterruptWatch(const OutputFile& output);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    int slot_;  // -1: no free slot or the name too long, nothing watched
};

}  // namespace velda
