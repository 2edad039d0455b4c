// The file system on POSIX systems.
#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"

namespace velda {

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

std::size_t FileNameStart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return false;
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
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    errno = cause;
    return cause == 0;
}

bool MakeFolders(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty() || KindOf(path) == PathKind::Directory) return true;
    const std::size_t nameStart = FileNameStart(path);
    if (nameStart > 0 && !MakeFolders(path.substr(0, nameStart))) return false;
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;  // the umask applies
}

unsigned long ProcessNumber() {
    static const unsigned long number = static_cast<unsigned long>(getpid());
    return number;
}

std::FILE* CreateNewFile(const std::string& path) {
    // "x": created anew or not at all (O_EXCL), 0666 less the umask.
    return std::fopen(path.c_str(), "wbx");
}

PlaceOutcome MoveIntoPlace(const std::string& from, const std::string& to, bool replace, std::string& error) {
    if (replace) {
        if (std::rename(from.c_str(), to.c_str()) == 0) return PlaceOutcome::Done;
        error = ErrorText(errno);
        return PlaceOutcome::Failed;
    }
    // A second name that cannot replace anything, then the first removed.
    if (link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());
        return PlaceOutcome::Done;
    }
    if (errno == EEXIST) return PlaceOutcome::TargetExists;
    // A file system without hard links: check, then rename. Only a file
    // made in between these two steps could be replaced.
    if (KindOf(to) != PathKind::Missing) return PlaceOutcome::TargetExists;
    if (std::rename(from.c_str(), to.c_str()) == 0) return PlaceOutcome::Done;
    error = ErrorText(errno);
    return PlaceOutcome::Failed;
}

}  // namespace velda
