// Writing the picture in memory as the BMP file that Save produces:
// the two headers as they stand, the colour table of the mode (entry 0
// first, blue, green, red, 0), then the rows from picture line 211 up to
// line 0, each left to right. Nothing follows the last row.
//
//   SCREEN 5, 7, 8   the line's bytes unchanged (4 or 8 bits per pixel)
//   SCREEN 6         each byte p0p1p2p3 becomes 0p0 0p1, 0p2 0p3 (4-bit pixels)
//   SCREEN 10-12     24-bit blue, green, red of the decoded line
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "export/bmp_headers.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/line_decoder.h"

namespace velda {

// SCREEN 6 pixel byte v (four 2-bit pixels) as the two bytes of four
// 4-bit pixels, left pixel of each pair in the high nibble.
constexpr uint8_t Screen6HighPair(uint8_t v) {
    return static_cast<uint8_t>((((v >> 6) & 3) << 4) | ((v >> 4) & 3));
}
constexpr uint8_t Screen6LowPair(uint8_t v) {
    return static_cast<uint8_t>((((v >> 2) & 3) << 4) | (v & 3));
}

// The longest BMP row: 256 pixels of 24 bits.
constexpr int BmpMaxRowBytes = 768;

// Streams the BMP of `vram` in the given mode into `sink`, which offers
// Write(const uint8_t*, size_t); each row is handed over whole, from a row
// buffer where it must be converted, so the image is never assembled in
// memory. `palette` is the MSX palette in register form (MsxPalette). Does
// nothing for a number that is not a mode.
template <class Sink>
void EncodeBmp(Sink& sink, uint8_t screen, const ExportHeadersRecord& headers, const uint8_t* vram,
               const uint8_t* palette) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr) return;

    uint8_t headerBytes[BmpHeadersBytes];
    SerializeExportHeaders(headers, headerBytes);
    sink.Write(headerBytes, sizeof headerBytes);

    ColorRef colors[ColorTableSize];
    BuildColorTable(screen, palette, colors);
    uint8_t quads[4 * ColorTableSize];
    for (int i = 0; i < mode->bmpColorEntries; ++i) {
        quads[4 * i] = BlueOf(colors[i]);
        quads[4 * i + 1] = GreenOf(colors[i]);
        quads[4 * i + 2] = RedOf(colors[i]);
        quads[4 * i + 3] = 0;
    }
    if (mode->bmpColorEntries > 0) sink.Write(quads, static_cast<std::size_t>(4 * mode->bmpColorEntries));

    const auto rowBytes = static_cast<std::size_t>(mode->bmpRowBytes);
    uint8_t row[BmpMaxRowBytes];
    ColorRef pixels[CanvasWidth];
    for (int y = ScreenLines - 1; y >= 0; --y) {
        const uint8_t* line = vram + y * mode->bytesPerLine;
        switch (screen) {
        case 5:
        case 7:
        case 8:  // the line's bytes as they are
            sink.Write(line, rowBytes);
            break;
        case 6:
            for (int x = 0; x < mode->bytesPerLine; ++x) {
                row[2 * x] = Screen6HighPair(line[x]);
                row[2 * x + 1] = Screen6LowPair(line[x]);
            }
            sink.Write(row, rowBytes);
            break;
        default:  // SCREEN 10, 11, 12: 24 bits, blue first
            DecodeLine(screen, vram, colors, y, pixels);
            for (int x = 0; x < mode->width; ++x) {
                row[3 * x] = BlueOf(pixels[x]);
                row[3 * x + 1] = GreenOf(pixels[x]);
                row[3 * x + 2] = RedOf(pixels[x]);
            }
            sink.Write(row, rowBytes);
            break;
        }
    }
}

// A sink on a stdio stream; remembers whether any write failed.
class FileSink {
public:
    explicit FileSink(std::FILE* stream) : stream_(stream) {}
    void Put(uint8_t byte) {
        if (std::putc(byte, stream_) == EOF) ok_ = false;
    }
    void Write(const uint8_t* bytes, std::size_t count) {
        if (std::fwrite(bytes, 1, count, stream_) != count) ok_ = false;
    }
    bool Ok() const { return ok_; }

private:
    std::FILE* stream_;
    bool ok_ = true;
};

// A sink that appends to a byte vector.
class MemorySink {
public:
    explicit MemorySink(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    void Put(uint8_t byte) { bytes_.push_back(byte); }
    void Write(const uint8_t* bytes, std::size_t count) { bytes_.insert(bytes_.end(), bytes, bytes + count); }

private:
    std::vector<uint8_t>& bytes_;
};

// The BMP of the picture as a byte vector.
std::vector<uint8_t> EncodeBmpToMemory(uint8_t screen, const ExportHeadersRecord& headers, const uint8_t* vram,
                                       const uint8_t* palette);

enum class SaveOutcome {
    Saved,         // every byte written and the file closed
    CannotCreate,  // the file could not be created; nothing was written
    WriteFailed,   // a write or the close failed; the partial file is removed
};

// Writes the BMP to the file `path` ("wb": an existing file is replaced).
// On failure no partial file is left behind.
SaveOutcome WriteBmpFile(const char* path, uint8_t screen, const ExportHeadersRecord& headers,
                         const uint8_t* vram, const uint8_t* palette);

// The same through an already open stream, which this closes; `path` names
// it so that a failed file can be removed. Lets tests hand in a stream
// that fails part-way.
SaveOutcome WriteBmpStream(std::FILE* stream, const char* path, uint8_t screen,
                           const ExportHeadersRecord& headers, const uint8_t* vram, const uint8_t* palette);

}  // namespace velda
