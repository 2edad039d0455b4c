#include "image/palette_file.h"

#include <cstring>

#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"

namespace velda {

namespace {

constexpr std::size_t BankFileBytes = PalettesInBankFile * PaletteBytes;     // 256
constexpr std::size_t BsavePaletteBytes = BsaveHeaderBytes + PaletteBytes;  // 39

}  // namespace

LoadError ReadPaletteFile(const uint8_t* file, std::size_t size, int index, uint8_t* palette) {
    LoadError error;
    const uint8_t* entries = nullptr;
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
        error.fault = LoadFault::PaletteFileSize;
        error.value = static_cast<uint32_t>(size);
        return error;
    }
    std::memcpy(palette, entries, PaletteBytes);
    return error;
}

void PutPalette(uint8_t screen, const uint8_t* palette, uint8_t* vram) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr || mode->paletteEntries == 0) return;
    std::memcpy(vram + mode->paletteAddress, palette, static_cast<std::size_t>(mode->paletteEntries) * PaletteEntryBytes);
}

}  // namespace velda
