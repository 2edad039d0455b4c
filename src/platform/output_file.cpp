#include "platform/output_file.h"

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "platform/names.h"

namespace velda {

namespace {

constexpr int NameAttempts = 100;

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

}  // namespace

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
        std::remove(path_.c_str());
        path_.clear();
    }
}

}  // namespace velda
