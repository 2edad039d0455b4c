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

#include "platform/files.h"

namespace velda {

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { Discard(); }

    // Creates a new, empty temporary file in the folder of `target` and
    // opens it for binary writing. Returns false with `error` set when no
    // file can be created there.
    bool Create(const std::string& target, std::string& error);

    std::FILE* Stream() const { return stream_; }
    // The temporary file's name while it exists, "" otherwise.
    const std::string& TemporaryPath() const { return path_; }

    // Flushes and closes the stream. Returns false with `error` set when a
    // write failed on the way; the file is then still to be discarded.
    bool Close(std::string& error);

    // Closes the stream if still open and gives the file its final name;
    // an existing file of that name is replaced only when `replace` is
    // set. On any outcome but Done the temporary file is removed.
    PlaceOutcome Commit(bool replace, std::string& error);

    // Closes and removes the temporary file if it still exists.
    void Discard();

private:
    std::FILE* stream_ = nullptr;
    std::string path_;
    std::string target_;
};

}  // namespace velda
