// The file-system calls of the converter, with one implementation for
// POSIX systems and one for Windows behind the same functions.
//
// Output is never written in place: it goes to a new temporary file in the
// output's own folder and is renamed onto the final name only once it is
// complete, so a failure or an interruption never leaves a partial file
// under the final name.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

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

// True when standard error is an interactive terminal.
bool StderrIsTerminal();

// The text of a C library error number ("No such file or directory").
std::string ErrorText(int errorNumber);

// Where the file name begins in `path`: after the last folder separator
// ('/', and on Windows also '\\' and a drive's ':', skipping the second
// bytes of double-byte characters).
std::size_t FileNameStart(const std::string& path);

// `folder` and `name` joined with a separator when `folder` lacks one.
std::string JoinPath(const std::string& folder, const std::string& name);

enum class CommitOutcome {
    Done,          // the output now has the final name
    TargetExists,  // not replacing: a file of that name appeared meanwhile
    Failed,        // see the error text
};

// A temporary output file beside its final name. The destructor removes
// the temporary file unless it was committed.
class TempOutput {
public:
    TempOutput() = default;
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;
    ~TempOutput() { Discard(); }

    // Creates a new, empty temporary file in the folder of `target` and
    // opens it for binary writing. Returns false with `error` set when no
    // file can be created there.
    bool Create(const std::string& target, std::string& error);

    std::FILE* Stream() const { return stream_; }
    const std::string& Path() const { return path_; }

    // Tells that someone else has closed the stream (and perhaps removed
    // the file).
    void StreamClosed() { stream_ = nullptr; }

    // Flushes and closes the stream. Returns false with `error` set when a
    // write failed on the way.
    bool Close(std::string& error);

    // Closes the stream if still open and gives the file its final name;
    // an existing file of that name is replaced only when `replace` is
    // set. On any outcome but Done the temporary file is removed.
    CommitOutcome Commit(bool replace, std::string& error);

    // Closes and removes the temporary file if it still exists.
    void Discard();

private:
    std::FILE* stream_ = nullptr;
    std::string path_;
    std::string target_;
    bool pending_ = false;  // the temporary file exists under path_
};

// Makes an interrupt (Ctrl+C) or termination signal remove the temporary
// file being written before the process ends. Call once at start.
void RemoveTempOnInterrupt();

}  // namespace velda
