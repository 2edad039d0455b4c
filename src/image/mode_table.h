// The constants of each MSX screen mode that VELDA shows, keyed by the
// MSX-BASIC screen number.
//
// SCREEN 1-4 draw 192 lines from tables of 8 x 8 patterns (their layout is
// render/pattern_modes.h's); the others are bitmaps of 212 lines, line y
// at y * bytesPerLine:
//
//   mode  pixels in a byte             width  bytes/line  palette table
//   5     2 x 4 bits  [left|right]      256    128         0x7680, 16 entries
//   6     4 x 2 bits  [p0|p1|p2|p3]     512    128         0x7680,  4 entries
//   7     2 x 4 bits                    512    256         0xFA80, 16 entries
//   8     1 x GGGRRRBB                  256    256         none
//   10/11 1 x YYYYAkkk (YJK + palette)  256    256         0xFA80, 16 entries
//   12    1 x YYYYYkkk (YJK)            256    256         none
//
// Palette tables of SCREEN 1 and 3 at 0x2020, of SCREEN 2 and 4 at 0x1B80.
//
// Sprite tables, where MSX-BASIC puts them (the colour table of sprite
// mode 2 is the 512 bytes below the attribute table):
//   SCREEN 1-3   mode 1  attributes 0x1B00, patterns 0x3800
//   SCREEN 4     mode 2  attributes 0x1E00, patterns 0x3800
//   SCREEN 5, 6  mode 2  attributes 0x7600, patterns 0x7800
//   SCREEN 7-12  mode 2  attributes 0xFA00, patterns 0xF000
#pragma once

#include <cstdint>

namespace velda {

constexpr int ScreenLines = 212;    // the lines of the bitmap modes, the most any mode shows
constexpr int PatternLines = 192;   // the lines of SCREEN 1-4
constexpr int CanvasWidth = 512;    // the widest mode
constexpr int CanvasHeight = ScreenLines;
constexpr int NoPaletteTable = -1;  // paletteAddress of SCREEN 8 and 12
constexpr int SpriteColorTableBytes = 0x200;  // below the attribute table, in sprite mode 2

struct ModeInfo {
    uint8_t screen;         // MSX-BASIC screen number
    int bitsPerPixel;       // in video memory; 0 for the pattern modes
    int width;              // pixels per line; the window's client width
    int bytesPerLine;       // 0 for the pattern modes
    int pixelBytes;         // ScreenLines * bytesPerLine
    int clearBytes;         // zeroed by a load: up to the end of the palette table
    int paletteAddress;     // NoPaletteTable for SCREEN 8 and 12
    int paletteEntries;     // seeded, captured and converted per load
    int lines;              // PatternLines or ScreenLines
    int spriteMode;         // 1 or 2
    int spriteAttributes;   // the sprite attribute table
    int spritePatterns;     // the sprite pattern table
};

// The row of the given screen number, or nullptr for a number that is not
// one of 1-8, 10, 11, 12.
const ModeInfo* FindMode(unsigned screen);

// Where sprite mode 2 keeps its sprites' line colours: below the
// attribute table.
constexpr int SpriteColorTable(const ModeInfo& mode) { return mode.spriteAttributes - SpriteColorTableBytes; }

// Whether a screen number is one of SCREEN 1-4, drawn from pattern tables.
constexpr bool IsPatternScreen(unsigned screen) { return screen >= 1 && screen <= 4; }

// The seven screen numbers of the window's SCREEN Opens, in menu order.
constexpr uint8_t AllScreens[] = {5, 6, 7, 8, 10, 11, 12};
// The pattern modes, and every mode VELDA shows.
constexpr uint8_t PatternScreens[] = {1, 2, 3, 4};
constexpr uint8_t EveryScreen[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12};

}  // namespace velda
