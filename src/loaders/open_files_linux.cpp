// The files of this process as Linux names them in /proc/self/fd.
#include "loaders/open_files.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velda {

namespace {

constexpr char OwnDescriptors[] = "/proc/self/fd";

std::string DescriptorLink(int descriptor) { return std::string(OwnDescriptors) + "/" + std::to_string(descriptor); }

// Whether `descriptor` reads, from its start, exactly the `size` bytes
// `bytes`; its own position is left where it was.
bool Begins(int descriptor, const uint8_t* bytes, std::size_t size) {
    std::vector<uint8_t> read(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = pread(descriptor, read.data() + done, size - done, static_cast<off_t>(done));
        if (count <= 0) return false;
        done += static_cast<std::size_t>(count);
    }
    return std::memcmp(read.data(), bytes, size) == 0;
}

}  // namespace

std::string PathOfDescriptor(int descriptor) {
    std::string path(PATH_MAX, '\0');
    const ssize_t length = readlink(DescriptorLink(descriptor).c_str(), path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size() || path[0] != '/') return "";
    path.resize(static_cast<std::size_t>(length));
    // The name must still be the file's: a deleted file's link says so in
    // its name, and a renamed one's names another file or none.
    struct stat open, named;
    if (fstat(descriptor, &open) != 0 || !S_ISREG(open.st_mode) || stat(path.c_str(), &named) != 0 ||
        named.st_dev != open.st_dev || named.st_ino != open.st_ino) {
        return "";
    }
    return path;
}

OpenFilesStartingWith::OpenFilesStartingWith(const uint8_t* start, std::size_t size) {
    // The descriptors are listed before any is opened here, which would
    // add its own to the list.
    std::vector<int> listed;
    if (DIR* folder = opendir(OwnDescriptors)) {
        while (const dirent* entry = readdir(folder)) {
            if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != dirfd(folder)) {
                listed.push_back(std::atoi(entry->d_name));
            }
        }
        closedir(folder);
    }
    for (const int descriptor : listed) {
        const std::string link = DescriptorLink(descriptor);
        struct stat info;
        // Only regular files are opened: opening a pipe's link could wait
        // for a writer.
        if (stat(link.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || static_cast<uint64_t>(info.st_size) < size) {
            continue;
        }
        const int own = open(link.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (own < 0) continue;
        if (Begins(own, start, size)) {
            descriptors_.push_back(own);
        } else {
            close(own);
        }
    }
}

OpenFilesStartingWith::~OpenFilesStartingWith() {
    for (const int descriptor : descriptors_) close(descriptor);
}

std::string OpenFilesStartingWith::PathHolding(const std::vector<uint8_t>& kept, uint64_t fileSize) const {
    std::string found;
    for (const int descriptor : descriptors_) {
        struct stat info;
        if (fstat(descriptor, &info) != 0 || static_cast<uint64_t>(info.st_size) != fileSize ||
            !Begins(descriptor, kept.data(), kept.size())) {
            continue;
        }
        const std::string path = PathOfDescriptor(descriptor);
        if (path.empty() || (!found.empty() && path != found)) return "";
        found = path;
    }
    return found;
}

}  // namespace velda
