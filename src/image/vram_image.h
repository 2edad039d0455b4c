// One MSX2/MSX2+ screen in memory: the 64 KiB image of video memory, the
// MSX palette, the display colours of a picture, and the two colour rules
// of the palette modes and SCREEN 8.
//
// A palette entry is two bytes in palette-register form:
//   byte 0 (redBlue): x R R R x B B B    byte 1 (green): x x x x x G G G
// Display colours are Windows COLORREF values, 0x00BBGGRR.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velda {

using ColorRef = uint32_t;

constexpr std::size_t VramBytes = 0x10000;
constexpr int PaletteSize = 16;
constexpr int PaletteEntryBytes = 2;
constexpr int PaletteBytes = PaletteSize * PaletteEntryBytes;
constexpr int ColorTableSize = 256;

// The MSX2 power-on palette, which stands in for a palette the file lacks.
extern const uint8_t DefaultPalette[PaletteBytes];

constexpr ColorRef MakeColorRef(unsigned red, unsigned green, unsigned blue) {
    return static_cast<ColorRef>(red | (green << 8) | (blue << 16));
}
constexpr uint8_t RedOf(ColorRef c) { return static_cast<uint8_t>(c); }
constexpr uint8_t GreenOf(ColorRef c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t BlueOf(ColorRef c) { return static_cast<uint8_t>(c >> 16); }

// Palette levels 0-7 become 0..224 in steps of 32 (level x 32, never 255).
constexpr ColorRef PaletteEntryToRgb(uint8_t redBlue, uint8_t green) {
    return MakeColorRef((redBlue & 0x70u) << 1, (green & 0x07u) << 5, (redBlue & 0x07u) << 5);
}

// SCREEN 8 pixel GGGRRRBB: red and green levels x 32, the 2-bit blue x 64.
constexpr ColorRef Screen8ValueToRgb(uint8_t v) {
    return MakeColorRef((v & 0x1Cu) << 3, v & 0xE0u, (v & 0x03u) << 6);
}

// Writes the mode's share of DefaultPalette into the palette table of
// `vram` (16 entries for SCREEN 5, 7, 10, 11; 4 for SCREEN 6; none otherwise).
void SeedDefaultPalette(uint8_t screen, uint8_t* vram);

// Colour of entry `index` of a palette in register form.
inline ColorRef PaletteColor(const uint8_t* palette, int index) {
    return PaletteEntryToRgb(palette[PaletteEntryBytes * index],
                             palette[PaletteEntryBytes * index + 1]);
}

// Fills `table` with the display colours of a mode: the first entries of
// `palette` for the palette modes, the 256 fixed colours for SCREEN 8,
// nothing for SCREEN 12.
void BuildColorTable(uint8_t screen, const uint8_t* palette, ColorRef* table);

}  // namespace velda
