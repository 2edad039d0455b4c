#include "platform/files.h"

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace velda {

bool SameFile(const std::string& a, const std::string& b) {
    const FileIdentity first = IdentifyFile(a);
    const FileIdentity second = IdentifyFile(b);
    return first.known && second.known && first.volume == second.volume && first.index == second.index;
}

ReadError ReadWholeFile(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes) {
    const auto refused = [&bytes](bool opened, int cause) {
        bytes.clear();
        return ReadError{opened, ErrnoCode(cause != 0 ? cause : EIO)};
    };
    errno = 0;
    std::FILE* stream = OpenStream(path, "rb");
    if (stream == nullptr) return refused(false, errno);
    // Room for what an ordinary file holds, not for the most that is read:
    // the room is filled before it is read into, and a vector used again
    // keeps what it had. A size of 0 says nothing: files of the system
    // (/proc) give it and still hold bytes. A folder opens on POSIX systems,
    // but holds no file to read.
    struct stat info;
    const bool known = fstat(fileno(stream), &info) == 0;
    if (known && S_ISDIR(info.st_mode)) {
        std::fclose(stream);
        return refused(false, EISDIR);
    }
    const bool sized = known && S_ISREG(info.st_mode) && info.st_size > 0;
    bytes.resize(sized ? std::min(maxBytes, static_cast<std::size_t>(info.st_size)) : maxBytes);
    errno = 0;
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), stream);
    const bool failed = std::ferror(stream) != 0;
    const int cause = errno;
    std::fclose(stream);
    if (failed) return refused(true, cause);
    bytes.resize(got);
    return ReadError{};
}

}  // namespace velda
