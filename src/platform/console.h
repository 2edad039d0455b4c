// What the converter says, on whatever shows it: its messages and listing
// are UTF-8 text (file names included), which a POSIX terminal shows as it
// is. A Windows console shows bytes in its own code page, so there the
// text goes to it as characters; redirected to a file or a pipe, it stays
// UTF-8 bytes. console_posix.cpp and console_win.cpp.
#pragma once

#include <cstdio>
#include <string>

namespace velda {

// Writes the UTF-8 `text` to `stream`, as characters where the stream is a
// Windows console, as its bytes otherwise. Returns false when the write
// failed.
bool WriteText(std::FILE* stream, const std::string& text);

}  // namespace velda
