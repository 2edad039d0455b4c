#include "image/mode_table.h"

namespace velda {

namespace {

constexpr int Screen56PaletteAddress = 0x7680;
constexpr int Screen7PaletteAddress = 0xFA80;
constexpr int PaletteTableBytes = 32;
constexpr int ClearPage0 = Screen56PaletteAddress + PaletteTableBytes;  // 30,368
constexpr int ClearBothPages = Screen7PaletteAddress + PaletteTableBytes;  // 64,160

constexpr ModeInfo MakeMode(uint8_t screen, int bitsPerPixel, int width, int bytesPerLine, int clearBytes,
                            int paletteAddress, int paletteEntries) {
    return ModeInfo{screen,        bitsPerPixel,   width, bytesPerLine, ScreenLines * bytesPerLine, clearBytes,
                    paletteAddress, paletteEntries};
}

constexpr ModeInfo Modes[] = {
    MakeMode(5, 4, 256, 128, ClearPage0, Screen56PaletteAddress, 16),
    MakeMode(6, 2, 512, 128, ClearPage0, Screen56PaletteAddress, 4),
    MakeMode(7, 4, 512, 256, ClearBothPages, Screen7PaletteAddress, 16),
    MakeMode(8, 8, 256, 256, ClearBothPages, NoPaletteTable, 0),
    MakeMode(10, 8, 256, 256, ClearBothPages, Screen7PaletteAddress, 16),
    MakeMode(11, 8, 256, 256, ClearBothPages, Screen7PaletteAddress, 16),
    MakeMode(12, 8, 256, 256, ClearBothPages, NoPaletteTable, 0),
};

}  // namespace

const ModeInfo* FindMode(unsigned screen) {
    for (const ModeInfo& mode : Modes) {
        if (mode.screen == screen) return &mode;
    }
    return nullptr;
}

}  // namespace velda
