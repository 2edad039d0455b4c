#include "image/read_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <sys/stat.h>

namespace velda {

ReadResult ReadFileBytes(const char* path, std::size_t maxBytes, std::vector<uint8_t>& bytes) {
    std::FILE* stream = std::fopen(path, "rb");
    if (stream == nullptr) {
        bytes.clear();
        return ReadResult::CannotOpen;
    }
    // Room for what an ordinary file holds, not for the most that is read:
    // the room is filled before it is read into, and a vector used again
    // keeps what it had. A size of 0 says nothing: files of the system
    // (/proc) give it and still hold bytes.
    struct stat info;
    const bool sized = fstat(fileno(stream), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
    bytes.resize(sized ? std::min(maxBytes, static_cast<std::size_t>(info.st_size)) : maxBytes);
    errno = 0;
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), stream);
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
