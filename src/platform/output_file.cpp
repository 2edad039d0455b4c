#include "platform/output_file.h"

#include <atomic>
#include <cerrno>
#include <cstdint>

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

bool OutputFile::Create(const std::string& target, std::string& error) {
    Discard();
    const std::string folder = target.substr(0, FileNameStart(target));
    int cause = EEXIST;
    for (int attempt = 0; attempt < NameAttempts && cause == EEXIST; ++attempt) {
        const std::string candidate = TemporaryName(folder);
        errno = 0;
        if (std::FILE* stream = CreateNewFile(candidate)) {
            stream_ = stream;
            path_ = candidate;
            target_ = target;
            return true;
        }
        cause = errno != 0 ? errno : EIO;
    }
    error = ErrorText(cause);
    return false;
}

bool OutputFile::Close(std::string& error) {
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

PlaceOutcome OutputFile::Commit(bool replace, std::string& error) {
    if (path_.empty()) {
        error = "nothing was written";
        return PlaceOutcome::Failed;
    }
    if (!Close(error)) {
        Discard();
        return PlaceOutcome::Failed;
    }
    const PlaceOutcome outcome = MoveIntoPlace(path_, target_, replace, error);
    if (outcome == PlaceOutcome::Done) {
        path_.clear();
    } else {
        Discard();
    }
    return outcome;
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
