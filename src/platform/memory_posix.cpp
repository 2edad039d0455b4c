// Memory on POSIX systems: glibc gives freed memory back to the system as
// soon as a few hundred KiB lie free at the top of its heap, and serves
// blocks of more than 128 KiB straight from the system; both limits are
// raised above what a batch frees between two files.
#include <cstdlib>  // says whether this is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "platform/memory.h"

namespace velda {

namespace {

constexpr int KeptBytes = 64 << 20;
constexpr int LargestHeapBlock = 4 << 20;

}  // namespace

void KeepFreedMemory() {
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, KeptBytes);
    mallopt(M_MMAP_THRESHOLD, LargestHeapBlock);
#endif
}

}  // namespace velda
