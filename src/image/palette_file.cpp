#include "image/palette_file.h"

#include <cstring>

#include "image/bsave_loader.h"
#include "image/little_endian.h"
#include "image/mode_table.h"
#include "image/vram_image.h"

namespace velda {

namespace {

constexpr std::size_t BankFileBytes = PalettesInBankFile * PaletteBytes;     // 256
constexpr std::size_t BsavePaletteBytes = BsaveHeaderBytes + PaletteBytes;  // 39
constexpr std::size_t ShortestDumpBytes = BsaveHeaderBytes + PaletteEntryBytes;
constexpr uint16_t PaletteTableAddresses[] = {0x7680, 0xFA80};

// A BSAVE dump of fewer entries than a whole palette table, from its start.
bool IsShortPaletteDump(const uint8_t* file, std::size_t size) {
    if (size < ShortestDumpBytes || size >= BsavePaletteBytes || file[0] != BsaveId) return false;
    const uint16_t start = ReadU16(file + 1);
    for (const uint16_t address : PaletteTableAddresses) {
        if (start == address) return true;
    }
    return false;
}

// Where the mode's share of the palette table lies in video memory, and
// how long it is; false for a mode without one.
bool PaletteShare(uint8_t screen, std::size_t& address, std::size_t& bytes) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr || mode->paletteEntries == 0) return false;
    address = static_cast<std::size_t>(mode->paletteAddress);
    bytes = static_cast<std::size_t>(mode->paletteEntries) * PaletteEntryBytes;
    return true;
}

}  // namespace

LoadError ReadPaletteFile(const uint8_t* file, std::size_t size, int index, uint8_t* palette) {
    LoadError error;
    const uint8_t* entries = nullptr;
    std::size_t bytes = PaletteBytes;
    switch (size) {
    case BankFileBytes:
        entries = file + static_cast<std::size_t>(index % PalettesInBankFile) * PaletteBytes;
        break;
    case PaletteBytes:
        entries = file;
        break;
    case BsavePaletteBytes:
        if (file[0] != BsaveId) {
            error.fault = LoadFault::PaletteFileMark;
            return error;
        }
        entries = file + BsaveHeaderBytes;
        break;
    default:
        if (!IsShortPaletteDump(file, size)) {
            error.fault = LoadFault::PaletteFileSize;
            error.fileSize = static_cast<uint32_t>(size);
            return error;
        }
        // Whole entries only: half of one sets no colour.
        entries = file + BsaveHeaderBytes;
        bytes = (size - BsaveHeaderBytes) / PaletteEntryBytes * PaletteEntryBytes;
        break;
    }
    std::memcpy(palette, entries, bytes);
    return error;
}

void PutPalette(uint8_t screen, const uint8_t* palette, uint8_t* vram) {
    std::size_t address = 0, bytes = 0;
    if (PaletteShare(screen, address, bytes)) std::memcpy(vram + address, palette, bytes);
}

void CapturePalette(uint8_t screen, const uint8_t* vram, uint8_t* palette) {
    std::size_t address = 0, bytes = 0;
    if (PaletteShare(screen, address, bytes)) std::memcpy(palette, vram + address, bytes);
}

}  // namespace velda
