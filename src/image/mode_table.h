// The constants of each MSX screen mode that VELDA shows, keyed by the
// MSX-BASIC screen number.
//
// Video-memory layout of one picture (212 lines, line y at y * bytesPerLine):
//
//   mode  pixels in a byte             width  bytes/line  palette table
//   5     2 x 4 bits  [left|right]      256    128         0x7680, 16 entries
//   6     4 x 2 bits  [p0|p1|p2|p3]     512    128         0x7680,  4 entries
//   7     2 x 4 bits                    512    256         0xFA80, 16 entries
//   8     1 x GGGRRRBB                  256    256         none
//   10/11 1 x YYYYAkkk (YJK + palette)  256    256         0xFA80, 16 entries
//   12    1 x YYYYYkkk (YJK)            256    256         none
#pragma once

#include <cstdint>

namespace velda {

constexpr int ScreenLines = 212;    // every mode shows 212 lines
constexpr int CanvasWidth = 512;    // the widest mode
constexpr int CanvasHeight = ScreenLines;
constexpr int NoPaletteTable = -1;  // paletteAddress of SCREEN 8 and 12

struct ModeInfo {
    uint8_t screen;         // MSX-BASIC screen number
    int bitsPerPixel;       // in video memory
    int width;              // pixels per line; the window's client width
    int bytesPerLine;
    int pixelBytes;         // ScreenLines * bytesPerLine
    int clearBytes;         // zeroed by a load: up to the end of the palette table
    int paletteAddress;     // NoPaletteTable for SCREEN 8 and 12
    int paletteEntries;     // seeded, captured and converted per load
};

// The row of the given screen number, or nullptr for a number that is not
// one of 5, 6, 7, 8, 10, 11, 12.
const ModeInfo* FindMode(unsigned screen);

// The seven screen numbers in menu order.
constexpr uint8_t AllScreens[] = {5, 6, 7, 8, 10, 11, 12};

}  // namespace velda
