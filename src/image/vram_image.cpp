#include "image/vram_image.h"

#include <cstring>

#include "image/mode_table.h"

namespace velda {

const uint8_t DefaultPalette[PaletteBytes] = {
    0x00, 0x00, 0x00, 0x00, 0x11, 0x06, 0x33, 0x07,  //  0-3  black, black, medium green, light green
    0x17, 0x01, 0x27, 0x03, 0x51, 0x01, 0x27, 0x06,  //  4-7  dark blue, light blue, dark red, cyan
    0x71, 0x01, 0x73, 0x03, 0x61, 0x06, 0x64, 0x06,  //  8-11 medium red, light red, dark yellow, light yellow
    0x11, 0x04, 0x65, 0x02, 0x55, 0x05, 0x77, 0x07,  // 12-15 dark green, magenta, grey, white
};

void SeedDefaultPalette(uint8_t screen, uint8_t* vram) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr || mode->paletteEntries == 0) return;
    std::memcpy(vram + mode->paletteAddress, DefaultPalette,
                static_cast<std::size_t>(mode->paletteEntries) * PaletteEntryBytes);
}

bool HoldsPalette(const uint8_t* table) {
    constexpr uint8_t UnusedRedBlue = 0x88, UnusedGreen = 0xF8;
    bool any = false;
    for (int i = 0; i < PaletteBytes; i += PaletteEntryBytes) {
        if ((table[i] & UnusedRedBlue) != 0 || (table[i + 1] & UnusedGreen) != 0) return false;
        any = any || table[i] != 0 || table[i + 1] != 0;
    }
    return any;
}

void SettlePaletteTable(uint8_t screen, uint8_t* vram) {
    if (!IsPatternScreen(screen)) return;
    if (!HoldsPalette(vram + FindMode(screen)->paletteAddress)) SeedDefaultPalette(screen, vram);
}

}  // namespace velda
