#include "image/copy_file.h"

#include <cstring>

#include "image/little_endian.h"
#include "image/mode_table.h"
#include "image/vram_image.h"

namespace velda {

namespace {

constexpr int YjkGroup = 4;  // the YJK modes copy whole groups of pixels

bool IsYjkMode(uint8_t screen) { return screen >= 10; }

// Pixel `n` of `bits` bits of the packed data, the first in the high bits.
unsigned PackedPixel(const uint8_t* data, std::size_t n, int bits) {
    const std::size_t bit = n * static_cast<std::size_t>(bits);
    const int shift = 8 - bits - static_cast<int>(bit % 8);
    return (data[bit / 8] >> shift) & ((1u << bits) - 1);
}

}  // namespace

std::size_t CopyFileBytes(uint8_t screen, uint32_t width, uint32_t height) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr || mode->bitsPerPixel == 0 || width == 0 || height == 0 || width > static_cast<uint32_t>(mode->width) ||
        height > static_cast<uint32_t>(ScreenLines) || (IsYjkMode(screen) && width % YjkGroup != 0)) {
        return 0;
    }
    const std::size_t bits = static_cast<std::size_t>(width) * height * static_cast<std::size_t>(mode->bitsPerPixel);
    return CopyHeaderBytes + (bits + 7) / 8;
}

bool IsCopyFile(const uint8_t* file, std::size_t size, uint8_t screen) {
    return size >= CopyHeaderBytes && CopyFileBytes(screen, ReadU16(file), ReadU16(file + 2)) == size;
}

LoadError PlaceCopy(const uint8_t* file, std::size_t size, uint8_t screen, uint8_t* vram, uint16_t& width,
                    uint16_t& height) {
    const ModeInfo* mode = FindMode(screen);
    LoadError error(LoadFault::None, FileKind::Copy);
    if (mode == nullptr) {
        error = NoSuchScreenError(screen);
    } else if (size == 0) {
        error.fault = LoadFault::Empty;
    } else if (size < CopyHeaderBytes) {
        error.fault = LoadFault::ShortHeader;
    } else if (!IsCopyFile(file, size, screen)) {
        error.fault = LoadFault::CopySize;
        error.width = ReadU16(file);
        error.height = ReadU16(file + 2);
        error.fileSize = static_cast<uint32_t>(size);
    }
    if (error) return error;

    width = static_cast<uint16_t>(ReadU16(file));
    height = static_cast<uint16_t>(ReadU16(file + 2));
    std::memset(vram, 0, static_cast<std::size_t>(mode->clearBytes));
    SeedDefaultPalette(screen, vram);
    const int bits = mode->bitsPerPixel;
    const int perByte = 8 / bits;
    const uint8_t* data = file + CopyHeaderBytes;
    std::size_t n = 0;
    for (int y = 0; y < height; ++y) {
        uint8_t* line = vram + static_cast<std::size_t>(y) * mode->bytesPerLine;
        for (int x = 0; x < width; ++x, ++n) {
            const int shift = (perByte - 1 - x % perByte) * bits;
            line[x / perByte] = static_cast<uint8_t>(line[x / perByte] | PackedPixel(data, n, bits) << shift);
        }
    }
    return error;
}

}  // namespace velda
