// How the converter's memory is kept between files. Every picture is made
// in memory of its own and freed when written, so a batch frees and asks
// again for the same sizes file after file: the memory freed is kept for
// the next file rather than given back to the system, which would hand it
// out again page by page, each page a fault.
#pragma once

namespace velda {

// Keeps freed memory for this process's next allocations. Call once at
// start: memory_posix.cpp and memory_win.cpp.
void KeepFreedMemory();

}  // namespace velda
