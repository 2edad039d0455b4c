// The file system as the window and the converter use it, with one
// implementation for POSIX systems (files_posix.cpp) and one for Windows
// (files_win.cpp) behind the same functions. Paths are UTF-8 on every
// system; on Windows they reach the system as UTF-16, so that any name
// opens whatever the system's ANSI code page holds.
//
// A function here that can fail returns what went wrong as its value: a
// std::error_code, which is false when nothing did (its message() is the
// system's own text), and for reading a whole file also the step that
// failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

namespace velda {

enum class PathKind { Missing, File, Directory, Other };

// What `path` names now. Other: a device, pipe or similar.
PathKind KindOf(const std::string& path);

// True when `path` is an existing file that nobody may write: the
// read-only attribute on Windows, no write permission bit at all on POSIX.
bool IsReadOnly(const std::string& path);

// What tells one existing file from another: its volume and its file
// number. `known` is false when the path names nothing.
struct FileIdentity {
    bool known;
    uint64_t volume;
    uint64_t index;
};
FileIdentity IdentifyFile(const std::string& path);

// True when both paths exist and name the same file.
bool SameFile(const std::string& a, const std::string& b);

// std::fopen and std::remove for a UTF-8 path (whose narrow forms take the
// ANSI code page on Windows): the stream, or nullptr with errno set; and
// whether the file is gone.
std::FILE* OpenStream(const std::string& path, const char* mode);
bool RemoveFile(const std::string& path);

// Why a whole file could not be read: whether it opened, and the system's
// reason. False when it was read.
struct ReadError {
    bool opened = false;
    std::error_code system;

    explicit operator bool() const { return static_cast<bool>(system); }
};

// Reads at most `maxBytes` bytes of the file at `path` into `bytes` (a
// file that ends sooner gives fewer: that is no error); on an error
// `bytes` is empty.
ReadError ReadWholeFile(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes);

struct FolderEntry {
    std::string name;
    PathKind kind;  // a link to a folder is Other: folders are walked without following links
};

// The entries of `folder` ("." and ".." left out), in NameBefore order.
std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// Makes `folder` and the folders above it that do not exist yet.
std::error_code MakeFolders(const std::string& folder);

// A number for this process, for names no other process picks.
unsigned long ProcessNumber();

// Creates `path`, which must not exist yet (file_exists if it does), and
// opens it for binary writing into `stream`. On Windows the file may be
// deleted while it is open, so that an interrupted program can still
// remove it.
std::error_code CreateNewFile(const std::string& path, std::FILE*& stream);

// Gives the file `from` the name `to` in one step, in the same folder.
// An existing `to` is replaced only when `replace` is set, and then at
// once: there is no moment without a file of that name. Not replacing, an
// existing `to` is file_exists, and nothing changed.
std::error_code MoveIntoPlace(const std::string& from, const std::string& to, bool replace);

// The error code of a C library error number.
inline std::error_code ErrnoCode(int number) { return std::error_code(number, std::generic_category()); }

}  // namespace velda
