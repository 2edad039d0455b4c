#include "render/sprites.h"

#include <cstring>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/picture.h"

namespace velda {

namespace {

constexpr int SpriteCount = 32;
constexpr int AttributeBytes = 4;
constexpr int SpriteLineWidth = 256;
constexpr int ColorBytesPerSprite = 16;
constexpr uint8_t Mode1EndMark = 208;
constexpr uint8_t Mode2EndMark = 216;
constexpr int Mode1LineLimit = 4;
constexpr int Mode2LineLimit = 8;
constexpr uint8_t EarlyClockBit = 0x80;
constexpr uint8_t WithSpriteBeforeBit = 0x40;  // CC
constexpr uint8_t ColorBits = 0x0F;
constexpr int EarlyClockShift = 32;

// A sprite on the line: its pattern row (the first pixel in bit 15), its
// left edge and its colour byte.
struct LineSprite {
    uint16_t pattern;
    int x;
    uint8_t color;
};

}  // namespace

uint8_t Screen8SpriteColor(int color) {
    // As the video chip shows them: dark blue, red and green and their
    // mixtures, orange, then the bright ones.
    static constexpr uint8_t Colors[16] = {0x00, 0x01, 0x0C, 0x0D, 0x60, 0x61, 0x6C, 0x6D,
                                           0x9D, 0x03, 0x1C, 0x1F, 0xE0, 0xE3, 0xFC, 0xFF};
    return Colors[color & ColorBits];
}

void SpriteLine(uint8_t screen, const uint8_t* vram, SpriteOptions options, int y, uint8_t* colors) {
    std::memset(colors, 0, SpriteLineWidth);
    const ModeInfo& mode = *FindMode(screen);
    const bool mode2 = mode.spriteMode == 2;
    const uint8_t endMark = mode2 ? Mode2EndMark : Mode1EndMark;
    const int limit = mode2 ? Mode2LineLimit : Mode1LineLimit;
    const int scale = options.magnified ? 2 : 1;

    LineSprite shown[Mode2LineLimit];
    int count = 0;
    for (int i = 0; i < SpriteCount; ++i) {
        const uint8_t* attributes = vram + mode.spriteAttributes + AttributeBytes * i;
        if (attributes[0] == endMark) break;
        const int row = (y - attributes[0] - 1) & 0xFF;
        if (row >= options.size * scale) continue;
        if (count == limit) break;
        const int patternRow = row / scale;
        const int number = options.size == 16 ? attributes[2] & 0xFC : attributes[2];
        const uint8_t* pattern = vram + mode.spritePatterns + 8 * number;
        uint16_t bits = static_cast<uint16_t>(pattern[patternRow] << 8);
        if (options.size == 16) bits = static_cast<uint16_t>(bits | pattern[16 + patternRow]);
        const uint8_t color =
            mode2 ? vram[SpriteColorTable(mode) + ColorBytesPerSprite * i + patternRow]
                  : static_cast<uint8_t>(attributes[3] & (EarlyClockBit | ColorBits));
        const int x = attributes[1] - ((color & EarlyClockBit) != 0 ? EarlyClockShift : 0);
        shown[count++] = LineSprite{bits, x, color};
    }

    // Front to back: a sprite and the CC sprites after it, ORed together,
    // cover what no sprite in front of them covers.
    int first = 0;
    while (first < count && (shown[first].color & WithSpriteBeforeBit) != 0) ++first;
    while (first < count) {
        int end = first + 1;
        while (end < count && (shown[end].color & WithSpriteBeforeBit) != 0) ++end;
        uint8_t group[SpriteLineWidth] = {};
        for (int s = first; s < end; ++s) {
            const LineSprite& sprite = shown[s];
            for (int bit = 0; bit < options.size; ++bit) {
                if ((sprite.pattern & (0x8000 >> bit)) == 0) continue;
                for (int k = 0; k < scale; ++k) {
                    const int x = sprite.x + bit * scale + k;
                    if (x >= 0 && x < SpriteLineWidth) group[x] |= sprite.color & ColorBits;
                }
            }
        }
        for (int x = 0; x < SpriteLineWidth; ++x) {
            if (colors[x] == 0) colors[x] = group[x];
        }
        first = end;
    }
}

void DrawSprites(const uint8_t* vram, const uint8_t* msxPalette, ColorRule rule, SpriteOptions options,
                 Picture& picture) {
    if (!options.Drawn()) return;
    const uint8_t screen = picture.screen;
    // SCREEN 12 keeps no palette in video memory, yet its sprites show the
    // palette registers: as the MSX starts, the power-on palette.
    const uint8_t* registers = FindMode(screen)->paletteEntries == 0 ? DefaultPalette : msxPalette;
    Rgb8 paletteColors[PaletteSize] = {};
    if (!picture.Indexed()) {
        for (int i = 0; i < PaletteSize; ++i) {
            paletteColors[i] = PaletteEntryColor(Msx2ModeRule(rule), registers[PaletteEntryBytes * i],
                                                 registers[PaletteEntryBytes * i + 1]);
        }
    }
    const bool wide = picture.width > SpriteLineWidth;  // SCREEN 6 and 7: two pixels a sprite pixel
    uint8_t colors[SpriteLineWidth];
    for (int y = 0; y < picture.height; ++y) {
        SpriteLine(screen, vram, options, y, colors);
        uint8_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.rowBytes;
        for (int x = 0; x < SpriteLineWidth; ++x) {
            const uint8_t c = colors[x];
            if (c == 0) continue;
            if (picture.bitDepth == 8) {
                row[x] = Screen8SpriteColor(c);
            } else if (!picture.Indexed()) {
                PutBgrPixel(row, x, paletteColors[c]);
            } else if (wide) {  // one byte: the two pixels of this sprite pixel
                row[x] = screen == 6 ? static_cast<uint8_t>(((c >> 2) << 4) | (c & 3)) : static_cast<uint8_t>(c * 0x11);
            } else {
                row[x / 2] = x % 2 == 0 ? static_cast<uint8_t>((row[x / 2] & 0x0F) | (c << 4))
                                        : static_cast<uint8_t>((row[x / 2] & 0xF0) | c);
            }
        }
    }
}

}  // namespace velda
