// A file read at random on Windows: each read names its own offset, so
// that threads reading one file never meet.
#include <windows.h>

#include "platform/containers.h"
#include "platform/unicode_win.h"

namespace velda {

namespace {

class FileSource : public ByteSource {
public:
    FileSource(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    ~FileSource() override { CloseHandle(file_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    uint64_t Size() const override { return size_; }

    bool ReadAt(uint64_t offset, std::size_t size, uint8_t* out) const override {
        if (offset > size_ || size_ - offset < size) return false;
        while (size > 0) {
            OVERLAPPED at = {};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD wanted = static_cast<DWORD>(size < 0x40000000 ? size : 0x40000000);
            DWORD got = 0;
            if (!ReadFile(file_, out, wanted, &got, &at) || got == 0) return false;
            out += got;
            size -= got;
            offset += got;
        }
        return true;
    }

private:
    HANDLE file_;
    uint64_t size_;
};

}  // namespace

LoadError OpenFileSource(const std::string& path, std::shared_ptr<const ByteSource>& source) {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size = {};
    const bool opened = file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size);
    if (!opened) {
        LoadError error(LoadFault::CannotOpen);
        error.file = path;
        error.system = WindowsError(GetLastError());
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        return error;
    }
    source = std::make_shared<FileSource>(file, static_cast<uint64_t>(size.QuadPart));
    return LoadError{};
}

}  // namespace velda
