#include "image/mode_table.h"

#include "image/vram_image.h"

namespace velda {

namespace {

constexpr int Screen13PaletteAddress = 0x2020;
constexpr int Screen24PaletteAddress = 0x1B80;
constexpr int Screen56PaletteAddress = 0x7680;
constexpr int Screen7PaletteAddress = 0xFA80;
constexpr int PaletteTableBytes = 32;
constexpr int ClearPage0 = Screen56PaletteAddress + PaletteTableBytes;  // 30,368
constexpr int ClearBothPages = Screen7PaletteAddress + PaletteTableBytes;  // 64,160
constexpr int ClearPatternModes = 0x4000;  // the 16 KiB of an MSX1's video memory

struct SpriteTables {
    int mode, attributes, patterns;
};
constexpr SpriteTables Mode1Sprites = {1, 0x1B00, 0x3800};
constexpr SpriteTables Screen4Sprites = {2, 0x1E00, 0x3800};
constexpr SpriteTables Screen56Sprites = {2, 0x7600, 0x7800};
constexpr SpriteTables Screen7Sprites = {2, 0xFA00, 0xF000};

constexpr ModeInfo MakeMode(uint8_t screen, int bitsPerPixel, int width, int bytesPerLine, int clearBytes,
                            int paletteAddress, int paletteEntries, SpriteTables sprites) {
    return ModeInfo{screen,         bitsPerPixel,   width,       bytesPerLine, ScreenLines * bytesPerLine,
                    clearBytes,     paletteAddress, paletteEntries, ScreenLines, sprites.mode,
                    sprites.attributes, sprites.patterns};
}

constexpr ModeInfo MakePatternMode(uint8_t screen, int paletteAddress, SpriteTables sprites) {
    return ModeInfo{screen,         0,  256,          0,  0, ClearPatternModes, paletteAddress, PaletteSize,
                    PatternLines, sprites.mode, sprites.attributes, sprites.patterns};
}

constexpr ModeInfo Modes[] = {
    MakePatternMode(1, Screen13PaletteAddress, Mode1Sprites),
    MakePatternMode(2, Screen24PaletteAddress, Mode1Sprites),
    MakePatternMode(3, Screen13PaletteAddress, Mode1Sprites),
    MakePatternMode(4, Screen24PaletteAddress, Screen4Sprites),
    MakeMode(5, 4, 256, 128, ClearPage0, Screen56PaletteAddress, 16, Screen56Sprites),
    MakeMode(6, 2, 512, 128, ClearPage0, Screen56PaletteAddress, 4, Screen56Sprites),
    MakeMode(7, 4, 512, 256, ClearBothPages, Screen7PaletteAddress, 16, Screen7Sprites),
    MakeMode(8, 8, 256, 256, ClearBothPages, NoPaletteTable, 0, Screen7Sprites),
    MakeMode(10, 8, 256, 256, ClearBothPages, Screen7PaletteAddress, 16, Screen7Sprites),
    MakeMode(11, 8, 256, 256, ClearBothPages, Screen7PaletteAddress, 16, Screen7Sprites),
    MakeMode(12, 8, 256, 256, ClearBothPages, NoPaletteTable, 0, Screen7Sprites),
};

}  // namespace

const ModeInfo* FindMode(unsigned screen) {
    for (const ModeInfo& mode : Modes) {
        if (mode.screen == screen) return &mode;
    }
    return nullptr;
}

}  // namespace velda
