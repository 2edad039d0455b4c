#include "image/bsave_loader.h"

#include <algorithm>
#include <cstring>

#include "image/little_endian.h"
#include "image/mode_table.h"
#include "image/vram_image.h"

namespace velda {

namespace {

// The page sizes collections keep, in lines.
constexpr int PageDumpLines[] = {128, 192, 212, 256};
// A pattern mode's page: all of an MSX1's video memory.
constexpr std::size_t PatternPageBytes = 0x4000;

}  // namespace

LoadError ParseBsaveHeader(const uint8_t* bytes, std::size_t count, BsaveHeader& header) {
    if (count == 0) return LoadError{LoadFault::Empty};
    if (count < BsaveHeaderBytes) return LoadError{LoadFault::ShortHeader};
    header.id = bytes[0];
    header.startAddress = ReadU16(bytes + 1);
    header.endAddress = ReadU16(bytes + 3);
    header.execAddress = ReadU16(bytes + 5);
    LoadError error;
    if (header.id != BsaveId) {
        error.fault = LoadFault::WrongFirstByte;
        error.firstByte = header.id;
    } else if (header.endAddress < header.startAddress) {
        error.fault = LoadFault::EndBelowStart;
        error.endAddress = header.endAddress;
        error.startAddress = header.startAddress;
    }
    return error;
}

PlacedRange BsavePlacedRange(const BsaveHeader& header, std::size_t size) {
    // Never more than 65,536 bytes, and they always fit: the range ends at
    // endAddress + 1 <= 0x10000.
    const std::size_t length = static_cast<std::size_t>(header.endAddress) - header.startAddress + 1;
    const std::size_t present = size > BsaveHeaderBytes ? size - BsaveHeaderBytes : 0;  // a short file is accepted
    return PlacedRange{header.startAddress, static_cast<uint32_t>(std::min(length, present))};
}

LoadError PlaceBsave(const uint8_t* file, std::size_t size, uint8_t screen, uint8_t* vram, BsaveHeader& header) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr) return NoSuchScreenError(screen);
    if (LoadError error = ParseBsaveHeader(file, size, header)) return error;

    std::memset(vram, 0, static_cast<std::size_t>(mode->clearBytes));
    SeedDefaultPalette(screen, vram);
    const PlacedRange placed = BsavePlacedRange(header, size);
    std::memcpy(vram + placed.start, file + BsaveHeaderBytes, placed.length);
    SettlePaletteTable(screen, vram);
    return LoadError{};
}

bool IsPageDump(std::size_t size, uint8_t screen) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr) return false;
    if (IsPatternScreen(screen)) return size == PatternPageBytes;
    for (const int lines : PageDumpLines) {
        if (size == static_cast<std::size_t>(lines) * mode->bytesPerLine) return true;
    }
    return false;
}

void PlacePageDump(const uint8_t* file, std::size_t size, uint8_t screen, uint8_t* vram) {
    std::memset(vram, 0, static_cast<std::size_t>(FindMode(screen)->clearBytes));
    SeedDefaultPalette(screen, vram);
    std::memcpy(vram, file, size);
    SettlePaletteTable(screen, vram);
}

}  // namespace velda
