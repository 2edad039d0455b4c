#include "image/bsave_loader.h"

#include <cstring>

#include "image/mode_table.h"
#include "image/vram_image.h"

namespace velda {

CurrentFileRecord CurrentFile;

namespace {

uint16_t ReadU16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

}  // namespace

bool ParseBsaveHeader(const uint8_t* bytes, std::size_t count, BsaveHeader& header) {
    if (count < BsaveHeaderBytes) return false;
    header.id = bytes[0];
    header.startAddress = ReadU16(bytes + 1);
    header.endAddress = ReadU16(bytes + 3);
    header.execAddress = ReadU16(bytes + 5);
    return header.id == BsaveId && header.endAddress >= header.startAddress;
}

void CaptureColors(uint8_t screen) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr) return;
    if (mode->paletteEntries > 0) {
        std::memcpy(MsxPalette, VramImage + mode->paletteAddress,
                    static_cast<std::size_t>(mode->paletteEntries) * PaletteEntryBytes);
    }
    BuildColorTable(screen, MsxPalette, ColorTable);
}

LoadOutcome LoadBsaveFrom(std::FILE* stream, uint8_t screen) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr) return LoadOutcome::NotBsave;

    uint8_t bytes[BsaveHeaderBytes];
    const std::size_t got = std::fread(bytes, 1, sizeof bytes, stream);
    BsaveHeader header{};
    if (!ParseBsaveHeader(bytes, got, header)) return LoadOutcome::NotBsave;

    std::memset(VramImage, 0, static_cast<std::size_t>(mode->clearBytes));
    CurrentFile.startAddress = header.startAddress;
    CurrentFile.endAddress = header.endAddress;
    SeedDefaultPalette(screen);
    // 32-bit length: 0x0000..0xFFFF is 65,536 bytes, and it always fits.
    const std::size_t length = static_cast<std::size_t>(header.endAddress) - header.startAddress + 1;
    std::fread(VramImage + header.startAddress, 1, length, stream);  // a short file is accepted
    CaptureColors(screen);
    return LoadOutcome::Accepted;
}

LoadOutcome LoadBsave(uint8_t screen) {
    std::FILE* stream = std::fopen(CurrentFile.path, "rb");
    if (stream == nullptr) return LoadOutcome::CannotOpen;
    const LoadOutcome outcome = LoadBsaveFrom(stream, screen);
    std::fclose(stream);
    return outcome;
}

}  // namespace velda
