#include "platform/output_file.h"

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "platform/interrupt.h"
#include "platform/names.h"

namespace velda {

namespace {

constexpr int NameAttempts = 100;
// The stream's buffer: a whole BMP goes out in one to three writes.
constexpr std::size_t BufferBytes = 64 * 1024;

// A candidate temporary name in `folder`: the same length whatever the
// target is called, and different for every call in this process and,
// almost always, from those of other processes.
std::string TemporaryName(const std::string& folder) {
    static std::atomic<uint32_t> serial{0};
    const uint32_t mixed = static_cast<uint32_t>(ProcessNumber()) * 2654435761u ^ (++serial * 0x9E3779B9u);
    char name[32];
    std::snprintf(name, sizeof name, ".velda-%08lx.tmp", static_cast<unsigned long>(mixed));
    return folder + name;
}

std::error_code LastErrno() { return ErrnoCode(errno != 0 ? errno : EIO); }

// Writes the existing file `target` over in place: "r+b" opens only a file
// that exists, and "wb" then empties that same file rather than making a
// new one.
WriteError WriteOver(const std::string& target, const std::function<void(FileSink&)>& write) {
    errno = 0;
    std::FILE* stream = OpenStream(target, "r+b");
    if (stream != nullptr) {
        std::fclose(stream);
        stream = OpenStream(target, "wb");
    }
    if (stream == nullptr) return WriteError{WriteFault::Create, LastErrno()};
    FileSink sink(stream);
    write(sink);
    errno = 0;
    std::error_code error = sink.Error();
    if (std::fclose(stream) != 0 && !error) error = LastErrno();
    if (!error) return WriteError{};
    if (std::FILE* emptied = OpenStream(target, "wb")) std::fclose(emptied);
    return WriteError{WriteFault::Write, error};
}

}  // namespace

void FileSink::Write(const uint8_t* bytes, std::size_t count) {
    if (error_) return;
    errno = 0;
    if (std::fwrite(bytes, 1, count, stream_) != count) error_ = LastErrno();
}

WriteError WriteFinishedFile(const std::string& target, ExistingTarget existing,
                             const std::function<void(FileSink&)>& write) {
    switch (KindOf(target)) {
    case PathKind::Directory:
        return WriteError{WriteFault::Folder, {}};
    case PathKind::Other:
        return WriteError{WriteFault::NotAFile, {}};
    case PathKind::File:
        if (existing == ExistingTarget::Keep) return WriteError{WriteFault::Exists, {}};
        if (IsReadOnly(target)) return WriteError{WriteFault::ReadOnly, {}};
        if (existing == ExistingTarget::WriteInPlace) return WriteOver(target, write);
        break;
    case PathKind::Missing:
        break;
    }
    // Declared before `temp`, whose stream uses it until it is closed.
    char buffer[BufferBytes];
    InterruptWatch watch;  // ends only after `temp` has gone, whichever way
    OutputFile temp;
    if (const std::error_code error = watch.Create(temp, target)) return WriteError{WriteFault::Create, error};
    std::setvbuf(temp.Stream(), buffer, _IOFBF, sizeof buffer);  // before any write
    FileSink sink(temp.Stream());
    write(sink);
    std::error_code error = sink.Error();
    if (!error) error = temp.Close();
    if (error) return WriteError{WriteFault::Write, error};  // the destructor discards it
    error = temp.Commit(existing == ExistingTarget::Replace);
    if (error == std::errc::file_exists) return WriteError{WriteFault::Exists, {}};
    if (error) return WriteError{WriteFault::Replace, error};
    return WriteError{};
}

std::error_code OutputFile::Create(const std::string& target) {
    Discard();
    const std::string folder = SplitPath(target).folder;
    std::error_code error = ErrnoCode(EEXIST);
    for (int attempt = 0; attempt < NameAttempts && error == std::errc::file_exists; ++attempt) {
        const std::string candidate = TemporaryName(folder);
        error = CreateNewFile(candidate, stream_);
        if (!error) {
            path_ = candidate;
            target_ = target;
        }
    }
    return error;
}

std::error_code OutputFile::Close() {
    if (stream_ == nullptr) return {};
    errno = 0;
    const bool flushed = std::fflush(stream_) == 0 && !std::ferror(stream_);
    const int flushError = errno;
    errno = 0;
    const bool closed = std::fclose(stream_) == 0;
    const int closeError = errno;
    stream_ = nullptr;
    if (flushed && closed) return {};
    const int cause = !flushed ? flushError : closeError;
    return ErrnoCode(cause != 0 ? cause : EIO);
}

std::error_code OutputFile::Commit(bool replace) {
    if (path_.empty()) return ErrnoCode(EBADF);  // nothing was written
    std::error_code error = Close();
    if (!error) error = MoveIntoPlace(path_, target_, replace);
    if (error) {
        Discard();
    } else {
        path_.clear();
    }
    return error;
}

void OutputFile::Discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!path_.empty()) {
        RemoveFile(path_);
        path_.clear();
    }
}

}  // namespace velda
