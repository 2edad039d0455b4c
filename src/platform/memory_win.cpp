// Memory on Windows, whose heap keeps the blocks a process frees for its
// next allocations.
#include "platform/memory.h"

namespace velda {

void KeepFreedMemory() {}

}  // namespace velda
