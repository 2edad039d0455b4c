// The file system on POSIX systems.
#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/names.h"

namespace velda {

std::FILE* OpenStream(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

PathKind KindOf(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return PathKind::Missing;
    if (S_ISDIR(info.st_mode)) return PathKind::Directory;
    if (S_ISREG(info.st_mode)) return PathKind::File;
    return PathKind::Other;
}

bool IsReadOnly(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

FileIdentity IdentifyFile(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return FileIdentity{false, 0, 0};
    return FileIdentity{true, static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return ErrnoCode(errno);
    errno = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat info;
        PathKind kind = PathKind::Missing;
        if (lstat(JoinPath(folder, name).c_str(), &info) == 0) {
            kind = S_ISDIR(info.st_mode) ? PathKind::Directory : S_ISREG(info.st_mode) ? PathKind::File : PathKind::Other;
            // A link to a file is read as the file; one to a folder is not walked.
            if (S_ISLNK(info.st_mode) && KindOf(JoinPath(folder, name)) == PathKind::File) kind = PathKind::File;
        }
        entries.push_back(FolderEntry{name, kind});
        errno = 0;
    }
    const int cause = errno;
    closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return NameBefore(a.name, b.name); });
    return cause != 0 ? ErrnoCode(cause) : std::error_code();
}

std::error_code MakeFolders(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty() || KindOf(path) == PathKind::Directory) return {};
    const std::string above = SplitPath(path).folder;
    if (!above.empty()) {
        if (const std::error_code error = MakeFolders(above)) return error;
    }
    if (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return {};  // the umask applies
    return ErrnoCode(errno);
}

unsigned long ProcessNumber() {
    static const unsigned long number = static_cast<unsigned long>(getpid());
    return number;
}

std::error_code CreateNewFile(const std::string& path, std::FILE*& stream) {
    // "x": created anew or not at all (O_EXCL), 0666 less the umask.
    errno = 0;
    stream = std::fopen(path.c_str(), "wbx");
    return stream != nullptr ? std::error_code() : ErrnoCode(errno != 0 ? errno : EIO);
}

std::error_code MoveIntoPlace(const std::string& from, const std::string& to, bool replace) {
    if (replace) return std::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : ErrnoCode(errno);
    // A second name that cannot replace anything, then the first removed.
    if (link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());
        return {};
    }
    if (errno == EEXIST) return ErrnoCode(EEXIST);
    // A file system without hard links: check, then rename. Only a file
    // made in between these two steps could be replaced.
    if (KindOf(to) != PathKind::Missing) return ErrnoCode(EEXIST);
    return std::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : ErrnoCode(errno);
}

}  // namespace velda
