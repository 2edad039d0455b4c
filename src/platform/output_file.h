// Files that are never half-written. A new file is written beside its
// target under a temporary name and put in place only when every byte and
// the close succeeded; on any failure the old file stands as it was and
// the temporary one is removed. Save and velda-convert both write this
// way.
//
// The temporary name is short and of fixed length (".velda-1a2b3c4d.tmp"),
// so a target whose own name is as long as the system allows can still be
// written.
#pragma once

#include <cstdio>
#include <string>
#include <system_error>

#include "platform/files.h"

namespace velda {

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
