// Files that are never half-written, and the one way a finished file is
// written: Save, velda-convert and velda-thumbnailer all call
// WriteFinishedFile. A new file is written beside its target under a
// temporary name and put in place only when every byte and the close
// succeeded; on any failure the old file stands as it was and the
// temporary one is removed, also when the program is interrupted.
//
// The temporary name is short and of fixed length (".velda-1a2b3c4d.tmp"),
// so a target whose own name is as long as the system allows can still be
// written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <system_error>

#include "platform/files.h"

namespace velda {

// What a writer hands the bytes of a finished file to, in pieces of any
// size. The first failure is kept, and what comes after it is dropped.
class FileSink {
public:
    explicit FileSink(std::FILE* stream) : stream_(stream) {}
    void Write(const uint8_t* bytes, std::size_t count);
    // The writer could not make the bytes, for `reason`: nothing is kept.
    void Fail(std::error_code reason) {
        if (!error_) error_ = reason;
    }
    // The reason for the first failure, the system's or the writer's; false
    // for none.
    std::error_code Error() const { return error_; }

private:
    std::FILE* stream_;
    std::error_code error_;
};

// What becomes of a file that already has the target's name.
enum class ExistingTarget {
    Keep,          // it stays, and nothing is written (WriteFault::Exists)
    Replace,       // the finished new file takes its place at once
    WriteInPlace,  // it is written over as the same file, for whoever reads it through a handle it holds
                   // (a file manager that made it for a thumbnail); it is left empty when that fails
};

enum class WriteFault {
    None,
    Exists,    // the target exists and is to be kept
    Folder,    // the target is a folder
    NotAFile,  // the target is a device or the like
    ReadOnly,  // the target is a read-only file, which is never replaced, whoever may
    Create,    // no file could be made beside the target; `system` says why
    Write,     // writing or closing it failed; `system` says why
    Replace,   // the finished file could not take the target's name; `system` says why
};

struct WriteError {
    WriteFault fault = WriteFault::None;
    std::error_code system;

    explicit operator bool() const { return fault != WriteFault::None; }
};

// Writes the file `target` whose bytes `write` hands to the sink it is
// given, as `existing` says for a file of that name; `write` is called only
// once the target may be written. Returns what went wrong, if anything;
// nothing is half-written either way.
WriteError WriteFinishedFile(const std::string& target, ExistingTarget existing,
                             const std::function<void(FileSink&)>& write);

// The mechanism under WriteFinishedFile: a temporary file beside the target.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { Discard(); }

    // Creates a new, empty temporary file in the folder of `target` and
    // opens it for binary writing; the error when no file can be created
    // there.
    std::error_code Create(const std::string& target);

    std::FILE* Stream() const { return stream_; }
    // The temporary file's name while it exists, "" otherwise.
    const std::string& TemporaryPath() const { return path_; }

    // Flushes and closes the stream; the error of a write that failed on
    // the way, after which the file is still to be discarded.
    std::error_code Close();

    // Closes the stream if still open and gives the file its final name;
    // an existing file of that name is replaced only when `replace` is set
    // (file_exists otherwise). On any error the temporary file is removed.
    std::error_code Commit(bool replace);

    // Closes and removes the temporary file if it still exists.
    void Discard();

private:
    std::FILE* stream_ = nullptr;
    std::string path_;
    std::string target_;
};

}  // namespace velda
