#include "image/vram_image.h"

#include <cstring>

#include "image/mode_table.h"

namespace velda {

const uint8_t DefaultPalette[PaletteBytes] = {
    0x00, 0x00,  //  0 black
    0x00, 0x00,  //  1 black
    0x11, 0x06,  //  2 medium green
    0x33, 0x07,  //  3 light green
    0x17, 0x01,  //  4 dark blue
    0x27, 0x03,  //  5 light blue
    0x51, 0x01,  //  6 dark red
    0x27, 0x06,  //  7 cyan
    0x71, 0x01,  //  8 medium red
    0x73, 0x03,  //  9 light red
    0x61, 0x06,  // 10 dark yellow
    0x64, 0x06,  // 11 light yellow
    0x11, 0x04,  // 12 dark green
    0x65, 0x02,  // 13 magenta
    0x55, 0x05,  // 14 grey
    0x77, 0x07,  // 15 white
};

void SeedDefaultPalette(uint8_t screen, uint8_t* vram) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr || mode->paletteEntries == 0) return;
    std::memcpy(vram + mode->paletteAddress, DefaultPalette,
                static_cast<std::size_t>(mode->paletteEntries) * PaletteEntryBytes);
}

}  // namespace velda
