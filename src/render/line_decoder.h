// Decoding one picture line of video memory into display colours, for
// every mode. The window sets these colours pixel by pixel on its canvas,
// and the BMP writer takes the same values for its 24-bit modes, so the
// screen and the saved file cannot disagree.
#pragma once

#include <cstdint>

#include "image/vram_image.h"

namespace velda {

// Decodes line y (0..211) of `vram` in the given mode into out[0..width-1],
// where width is the mode's width (256 or 512). Palette pixels take their
// colour from `colorTable` (entries 0-15, 0-3 in SCREEN 6, 0-255 in
// SCREEN 8); SCREEN 12 does not read it. Returns the number of pixels
// written, or 0 for a number that is not a mode.
int DecodeLine(uint8_t screen, const uint8_t* vram, const ColorRef* colorTable, int y, ColorRef* out);

// The progress shown before line y is drawn: y * 100 / 212, truncated, so
// 0 for lines 0-2 and 99 for the last two lines.
constexpr int ProgressPercent(int y) { return y * 100 / 212; }

// "VELDA %2d%%" for line y into `text`, which holds at least 16 bytes.
void FormatProgressTitle(int y, char* text, int size);

}  // namespace velda
