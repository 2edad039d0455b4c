// The file system as the window and the converter use it, with one
// implementation for POSIX systems (files_posix.cpp) and one for Windows
// (files_win.cpp) behind the same functions. Paths are the system's own
// narrow strings: code page 932 on a Japanese Windows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
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

// The text of a C library error number ("No such file or directory").
std::string ErrorText(int errorNumber);

// Where the file name begins in `path`: after the last folder separator
// ('/', and on Windows also '\\' and a drive's ':', skipping the second
// bytes of double-byte characters).
std::size_t FileNameStart(const std::string& path);

// `folder` and `name` joined with a separator when `folder` lacks one.
std::string JoinPath(const std::string& folder, const std::string& name);

struct FolderEntry {
    std::string name;
    PathKind kind;  // a link to a folder is Other: folders are walked without following links
};

// The entries of `folder` ("." and ".." left out), sorted by name. Returns
// false with errno set when the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// Makes `folder` and the folders above it that do not exist yet. Returns
// false with errno set when one cannot be made.
bool MakeFolders(const std::string& folder);

// A number for this process, for names no other process picks.
unsigned long ProcessNumber();

// Creates `path`, which must not exist yet, and opens it for binary
// writing. On Windows the file may be deleted while it is open, so that an
// interrupted program can still remove it. Returns nullptr with errno set
// when it cannot.
std::FILE* CreateNewFile(const std::string& path);

enum class PlaceOutcome {
    Done,          // `from` now has the name `to`
    TargetExists,  // not replacing, and `to` exists; nothing changed
    Failed,        // see the error text; nothing changed
};

// Gives the file `from` the name `to` in one step, in the same folder.
// An existing `to` is replaced only when `replace` is set, and then at
// once: there is no moment without a file of that name.
PlaceOutcome MoveIntoPlace(const std::string& from, const std::string& to, bool replace, std::string& error);

}  // namespace velda
