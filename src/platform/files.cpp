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

LoadError ReadWholeFile(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes) {
    const auto refused = [&](LoadFault fault, int cause) {
        bytes.clear();
        LoadError error(fault);
        error.file = path;
        error.system = ErrnoCode(cause != 0 ? cause : EIO);
        return error;
    };
    errno = 0;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) return refused(LoadFault::CannotOpen, errno);
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
    if (failed) return refused(LoadFault::ReadFailed, cause);
    bytes.resize(got);
    return LoadError{};
}

std::error_code WriteInPlace(const std::string& path, const std::vector<uint8_t>& bytes) {
    // Only a file that exists ("r+b" creates none); "wb" then empties that
    // same file rather than making a new one.
    errno = 0;
    std::FILE* stream = std::fopen(path.c_str(), "r+b");
    if (stream != nullptr) {
        std::fclose(stream);
        stream = std::fopen(path.c_str(), "wb");
    }
    if (stream == nullptr) return ErrnoCode(errno != 0 ? errno : EIO);
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    const int cause = errno;
    const bool closed = std::fclose(stream) == 0;
    if (written && closed) return std::error_code{};
    const int reason = cause != 0 ? cause : errno != 0 ? errno : EIO;
    if (std::FILE* emptied = std::fopen(path.c_str(), "wb")) std::fclose(emptied);
    return ErrnoCode(reason);
}

}  // namespace velda
