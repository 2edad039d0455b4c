// The file system on Windows, through the W entry points: every UTF-8 path
// reaches the system as UTF-16.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/files.h"
#include "platform/names.h"
#include "platform/unicode_win.h"

namespace velda {

namespace {

// The last Windows error as an error code: an existing file as the
// file_exists that callers test for, anything else with Windows' own text.
std::error_code LastError() {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) return ErrnoCode(EEXIST);
    return WindowsError(code);
}

}  // namespace

std::FILE* OpenStream(const std::string& path, const char* mode) {
    return _wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

bool RemoveFile(const std::string& path) { return _wremove(Widen(path).c_str()) == 0; }

PathKind KindOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Directory;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::Other;
    return PathKind::File;
}

bool IsReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

FileIdentity IdentifyFile(const std::string& path) {
    HANDLE file = CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileIdentity{false, 0, 0};
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!ok) return FileIdentity{false, 0, 0};
    return FileIdentity{true, info.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Widen(JoinPath(folder, "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return LastError();
    do {
        const std::string name = Narrow(found.cFileName);
        if (name == "." || name == "..") continue;
        PathKind kind = PathKind::File;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            kind = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Other : PathKind::File;
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            kind = PathKind::Directory;
        }
        entries.push_back(FolderEntry{name, kind});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return NameBefore(a.name, b.name); });
    return {};
}

std::error_code MakeFolders(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (path.empty() || KindOf(path) == PathKind::Directory) return {};
    const std::string above = SplitPath(path).folder;
    if (!above.empty()) {
        if (const std::error_code error = MakeFolders(above)) return error;
    }
    if (CreateDirectoryW(Widen(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return {};
    return LastError();
}

unsigned long ProcessNumber() { return static_cast<unsigned long>(GetCurrentProcessId()); }

std::error_code CreateNewFile(const std::string& path, std::FILE*& stream) {
    stream = nullptr;
    const std::wstring name = Widen(path);
    // FILE_SHARE_DELETE: an interrupt handler on another thread can delete
    // the file while this one still has it open.
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        DeleteFileW(name.c_str());
        return ErrnoCode(EIO);
    }
    stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
        _close(fd);
        DeleteFileW(name.c_str());
        return ErrnoCode(EIO);
    }
    return {};
}

std::error_code MoveIntoPlace(const std::string& from, const std::string& to, bool replace) {
    if (MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) return {};
    return LastError();
}

}  // namespace velda
