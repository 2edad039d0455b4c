#include "export/bmp_writer.h"

#include <sys/stat.h>

namespace velda {

namespace {

// Removes what a failed write left at `path`: only an ordinary file, never
// a device that happened to be named as the output.
void RemovePartialFile(const char* path) {
    struct stat info;
    if (stat(path, &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG) std::remove(path);
}

}  // namespace

std::vector<uint8_t> EncodeBmpToMemory(uint8_t screen, const ExportHeadersRecord& headers, const uint8_t* vram,
                                       const uint8_t* palette) {
    std::vector<uint8_t> bytes;
    if (const ModeInfo* mode = FindMode(screen)) bytes.reserve(static_cast<std::size_t>(mode->bmpFileSize));
    MemorySink sink(bytes);
    EncodeBmp(sink, screen, headers, vram, palette);
    return bytes;
}

SaveOutcome WriteBmpStream(std::FILE* stream, const char* path, uint8_t screen,
                           const ExportHeadersRecord& headers, const uint8_t* vram, const uint8_t* palette) {
    FileSink sink(stream);
    EncodeBmp(sink, screen, headers, vram, palette);
    const bool written = sink.Ok() && std::fflush(stream) == 0 && !std::ferror(stream);
    const bool closed = std::fclose(stream) == 0;
    if (written && closed) return SaveOutcome::Saved;
    RemovePartialFile(path);
    return SaveOutcome::WriteFailed;
}

SaveOutcome WriteBmpFile(const char* path, uint8_t screen, const ExportHeadersRecord& headers,
                         const uint8_t* vram, const uint8_t* palette) {
    std::FILE* stream = std::fopen(path, "wb");
    if (stream == nullptr) return SaveOutcome::CannotCreate;
    return WriteBmpStream(stream, path, screen, headers, vram, palette);
}

}  // namespace velda
