#include "image/read_file.h"

#include <cerrno>
#include <cstdio>

namespace velda {

ReadResult ReadFileBytes(const char* path, std::size_t maxBytes, std::vector<uint8_t>& bytes) {
    bytes.clear();
    std::FILE* stream = std::fopen(path, "rb");
    if (stream == nullptr) return ReadResult::CannotOpen;
    bytes.resize(maxBytes);
    errno = 0;
    const std::size_t got = std::fread(bytes.data(), 1, maxBytes, stream);
    const bool failed = std::ferror(stream) != 0;
    const int cause = errno;
    std::fclose(stream);
    if (failed) {
        bytes.clear();
        errno = cause != 0 ? cause : EIO;
        return ReadResult::ReadFailed;
    }
    bytes.resize(got);
    return ReadResult::Read;
}

}  // namespace velda
