#include "tools/file_ops.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace velda {

namespace {

// The temporary file being written, for the interrupt handler. Only plain
// data: the handler may run at any moment.
constexpr std::size_t WatchedPathBytes = 4096;
char gWatchedPath[WatchedPathBytes];
volatile std::sig_atomic_t gWatching = 0;

void Watch(const std::string& path) {
    if (path.size() >= WatchedPathBytes) return;
    std::memcpy(gWatchedPath, path.c_str(), path.size() + 1);
    gWatching = 1;
}

void Unwatch() { gWatching = 0; }

extern "C" void OnInterrupt(int signalNumber) {
    if (gWatching) {
#ifdef _WIN32
        _unlink(gWatchedPath);
#else
        unlink(gWatchedPath);  // async-signal-safe
#endif
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

unsigned long ProcessId() {
#ifdef _WIN32
    return static_cast<unsigned long>(GetCurrentProcessId());
#else
    return static_cast<unsigned long>(getpid());
#endif
}

#ifdef _WIN32
std::string WindowsErrorText(DWORD code) {
    char text[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                        0, text, sizeof text, nullptr);
    std::string result(text, length);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == '.'))
        result.pop_back();
    if (result.empty()) result = "Windows error " + std::to_string(code);
    return result;
}

bool IsSeparator(char c) { return c == '/' || c == '\\' || c == ':'; }
#else
bool IsSeparator(char c) { return c == '/'; }
#endif

// Opens a new file for binary writing; fails if the name is taken.
std::FILE* OpenExclusive(const std::string& path) {
#ifdef _WIN32
    const int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* stream = _fdopen(fd, "wb");
    if (stream == nullptr) _close(fd);
#else
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);  // the umask applies
    if (fd < 0) return nullptr;
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) close(fd);
#endif
    return stream;
}

}  // namespace

bool IsReadOnly(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
#else
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
#endif
}

PathKind KindOf(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Directory;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::Other;
    return PathKind::File;
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return PathKind::Missing;
    if (S_ISDIR(info.st_mode)) return PathKind::Directory;
    if (S_ISREG(info.st_mode)) return PathKind::File;
    return PathKind::Other;
#endif
}

FileIdentity IdentifyFile(const std::string& path) {
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileIdentity{false, 0, 0};
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!ok) return FileIdentity{false, 0, 0};
    return FileIdentity{true, info.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return FileIdentity{false, 0, 0};
    return FileIdentity{true, static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
#endif
}

bool SameFile(const std::string& a, const std::string& b) {
    const FileIdentity first = IdentifyFile(a);
    const FileIdentity second = IdentifyFile(b);
    return first.known && second.known && first.volume == second.volume && first.index == second.index;
}

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

std::string ErrorText(int errorNumber) { return std::strerror(errorNumber); }

std::size_t FileNameStart(const std::string& path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
#ifdef _WIN32
        // A double-byte character's second byte may be '\\'.
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
#endif
        if (IsSeparator(path[i])) start = i + 1;
    }
    return start;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (FileNameStart(folder) == folder.size()) return folder + name;  // ends in a separator
#ifdef _WIN32
    return folder + "\\" + name;
#else
    return folder + "/" + name;
#endif
}

bool TempOutput::Create(const std::string& target, std::string& error) {
    Discard();
    const std::size_t nameStart = FileNameStart(target);
    const std::string folder = target.substr(0, nameStart);
    const std::string name = target.substr(nameStart);
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = folder + "." + name + "." + std::to_string(ProcessId()) + "-" +
                                      std::to_string(++serial) + ".tmp";
        errno = 0;
        Watch(candidate);  // before the file exists, so an interrupt cannot miss it
        std::FILE* stream = OpenExclusive(candidate);
        if (stream != nullptr) {
            stream_ = stream;
            path_ = candidate;
            target_ = target;
            pending_ = true;
            return true;
        }
        Unwatch();
        if (errno != EEXIST) break;
    }
    error = ErrorText(errno != 0 ? errno : EEXIST);
    return false;
}

bool TempOutput::Close(std::string& error) {
    if (stream_ == nullptr) return true;
    errno = 0;
    const bool flushed = std::fflush(stream_) == 0 && !std::ferror(stream_);
    const int flushError = errno;
    errno = 0;
    const bool closed = std::fclose(stream_) == 0;
    const int closeError = errno;
    stream_ = nullptr;
    if (flushed && closed) return true;
    const int cause = !flushed ? flushError : closeError;
    error = cause != 0 ? ErrorText(cause) : "write failed";
    return false;
}

CommitOutcome TempOutput::Commit(bool replace, std::string& error) {
    if (!pending_) {
        error = "nothing was written";
        return CommitOutcome::Failed;
    }
    if (!Close(error)) {
        Discard();
        return CommitOutcome::Failed;
    }
    CommitOutcome outcome = CommitOutcome::Done;
#ifdef _WIN32
    if (!MoveFileExA(path_.c_str(), target_.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
        const DWORD code = GetLastError();
        if (!replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)) {
            outcome = CommitOutcome::TargetExists;
        } else {
            error = WindowsErrorText(code);
            outcome = CommitOutcome::Failed;
        }
    }
#else
    if (replace) {
        if (std::rename(path_.c_str(), target_.c_str()) != 0) {
            error = ErrorText(errno);
            outcome = CommitOutcome::Failed;
        }
    } else if (link(path_.c_str(), target_.c_str()) == 0) {
        unlink(path_.c_str());  // the output lives on under its final name
        pending_ = false;
    } else if (errno == EEXIST) {
        outcome = CommitOutcome::TargetExists;
    } else {
        // A file system without hard links: check, then rename. Only a
        // file made in between these two steps could be replaced.
        if (KindOf(target_) != PathKind::Missing) {
            outcome = CommitOutcome::TargetExists;
        } else if (std::rename(path_.c_str(), target_.c_str()) != 0) {
            error = ErrorText(errno);
            outcome = CommitOutcome::Failed;
        }
    }
#endif
    if (outcome == CommitOutcome::Done) {
        pending_ = false;
        Unwatch();
    } else {
        Discard();
    }
    return outcome;
}

void TempOutput::Discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (pending_) {
        std::remove(path_.c_str());
        pending_ = false;
    }
    Unwatch();
}

void RemoveTempOnInterrupt() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
#ifndef _WIN32
    std::signal(SIGHUP, OnInterrupt);
#endif
}

}  // namespace velda
