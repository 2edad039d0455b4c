// A file read at random on POSIX systems: pread, which takes its own
// offset, so that threads reading one file never meet.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/containers.h"
#include "platform/files.h"

namespace velda {

namespace {

class FileSource : public ByteSource {
public:
    FileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
    ~FileSource() override { close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    uint64_t Size() const override { return size_; }

    bool ReadAt(uint64_t offset, std::size_t size, uint8_t* out) const override {
        if (offset > size_ || size_ - offset < size) return false;
        while (size > 0) {
            const ssize_t got = pread(fd_, out, size, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            out += got;
            size -= static_cast<std::size_t>(got);
            offset += static_cast<uint64_t>(got);
        }
        return true;
    }

private:
    int fd_;
    uint64_t size_;
};

}  // namespace

LoadError OpenFileSource(const std::string& path, std::shared_ptr<const ByteSource>& source) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    int cause = fd < 0 ? errno : fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (cause == 0 && !S_ISREG(info.st_mode)) cause = EINVAL;  // a pipe or device has no bytes to read at random
    if (cause != 0) {
        if (fd >= 0) close(fd);
        LoadError error(LoadFault::CannotOpen);
        error.file = path;
        error.system = ErrnoCode(cause);
        return error;
    }
    source = std::make_shared<FileSource>(fd, static_cast<uint64_t>(info.st_size));
    return LoadError{};
}

}  // namespace velda
