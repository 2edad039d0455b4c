// One MSX2/MSX2+ screen in memory: the 64 KiB image of video memory and
// the MSX palette, with the power-on palette that stands in for one a file
// lacks. What colours they show is the render layer's (render/color_rules.h).
//
// A palette entry is two bytes in palette-register form:
//   byte 0 (redBlue): x R R R x B B B    byte 1 (green): x x x x x G G G
#pragma once

#include <cstddef>
#include <cstdint>

namespace velda {

constexpr std::size_t VramBytes = 0x10000;
constexpr int PaletteSize = 16;
constexpr int PaletteEntryBytes = 2;
constexpr int PaletteBytes = PaletteSize * PaletteEntryBytes;

// The MSX2 power-on palette, which stands in for a palette the file lacks.
extern const uint8_t DefaultPalette[PaletteBytes];

// Writes the mode's share of DefaultPalette into the palette table of
// `vram` (16 entries for SCREEN 1-5, 7, 10, 11; 4 for SCREEN 6; none
// otherwise).
void SeedDefaultPalette(uint8_t screen, uint8_t* vram);

// Whether the 32 bytes at `table` hold a palette: every entry's unused
// bits zero, and not every entry zero.
bool HoldsPalette(const uint8_t* table);

// SCREEN 1-4 dumps often run over their palette table with whatever video
// memory held there, an MSX1 keeping no palette: a table of `vram` that
// holds no palette gives way to the power-on palette. Other modes keep
// their table as it is.
void SettlePaletteTable(uint8_t screen, uint8_t* vram);

}  // namespace velda
