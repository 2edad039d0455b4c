// Reading a file whole into memory, telling a short file from a failing
// one. Every reader of picture files takes bytes, never a stream, so a
// read error is seen before anything is placed in video memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velda {

enum class ReadResult {
    Read,        // `bytes` holds the file, or its first `maxBytes` bytes
    CannotOpen,  // the file could not be opened
    ReadFailed,  // it opened, but a read failed (not the end of the file)
};

// Reads at most `maxBytes` bytes of the file at `path` into `bytes`. A file
// that ends sooner gives fewer bytes; that is not an error. On CannotOpen
// and ReadFailed, errno tells the cause and `bytes` is left empty.
ReadResult ReadFileBytes(const char* path, std::size_t maxBytes, std::vector<uint8_t>& bytes);

}  // namespace velda
