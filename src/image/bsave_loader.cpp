#include "image/bsave_loader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/mode_table.h"
#include "image/read_file.h"
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

PlacedRange BsavePlacedRange(const BsaveHeader& header, std::size_t size) {
    // Never more than 65,536 bytes, and they always fit: the range ends at
    // endAddress + 1 <= 0x10000.
    const std::size_t length = static_cast<std::size_t>(header.endAddress) - header.startAddress + 1;
    const std::size_t present = size > BsaveHeaderBytes ? size - BsaveHeaderBytes : 0;  // a short file is accepted
    return PlacedRange{header.startAddress, static_cast<uint32_t>(std::min(length, present))};
}

LoadOutcome PlaceBsave(const uint8_t* file, std::size_t size, uint8_t screen, uint8_t* vram, BsaveHeader& header) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr || !ParseBsaveHeader(file, size, header)) return LoadOutcome::NotBsave;

    std::memset(vram, 0, static_cast<std::size_t>(mode->clearBytes));
    SeedDefaultPalette(screen, vram);
    const PlacedRange placed = BsavePlacedRange(header, size);
    std::memcpy(vram + placed.start, file + BsaveHeaderBytes, placed.length);
    return LoadOutcome::Accepted;
}

void CapturePalette(uint8_t screen, const uint8_t* vram, uint8_t* palette) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr || mode->paletteEntries == 0) return;
    std::memcpy(palette, vram + mode->paletteAddress,
                static_cast<std::size_t>(mode->paletteEntries) * PaletteEntryBytes);
}

LoadOutcome LoadBsaveBytes(const uint8_t* file, std::size_t size, uint8_t screen) {
    BsaveHeader header{};
    if (PlaceBsave(file, size, screen, VramImage, header) != LoadOutcome::Accepted) return LoadOutcome::NotBsave;
    CurrentFile.startAddress = header.startAddress;
    CurrentFile.endAddress = header.endAddress;
    CapturePalette(screen, VramImage, MsxPalette);
    BuildColorTable(screen, MsxPalette, ColorTable);
    return LoadOutcome::Accepted;
}

LoadOutcome ReadBsaveFile(uint8_t screen) {
    std::vector<uint8_t> file;
    switch (ReadFileBytes(CurrentFile.path, MaxBsaveFileBytes, file)) {
    case ReadResult::Read:
        return LoadBsaveBytes(file.data(), file.size(), screen);
    case ReadResult::CannotOpen:
        return LoadOutcome::CannotOpen;
    case ReadResult::ReadFailed:
    default:
        return LoadOutcome::ReadFailed;
    }
}

void ResetImageModel() {
    std::memset(VramImage, 0, sizeof VramImage);
    std::memset(MsxPalette, 0, sizeof MsxPalette);
    std::memset(ColorTable, 0, sizeof ColorTable);
    std::memset(&CurrentFile, 0, sizeof CurrentFile);
    ScreenMode = 5;
}

}  // namespace velda
