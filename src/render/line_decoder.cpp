#include "render/line_decoder.h"

#include <cstdio>

#include "image/mode_table.h"
#include "render/yjk.h"

namespace velda {

namespace {

constexpr uint8_t AttributeBit = 0x08;

// SCREEN 8: one pixel a byte, the byte its own colour index. Four bytes
// and their colours are read before any pixel is written: to the compiler
// a pixel write might change the line or the table, so in a plain loop
// every read would wait for the write before it.
void DecodeBytes(const uint8_t* line, int bytes, const ColorRef* colorTable, ColorRef* out) {
    for (int x = 0; x < bytes; x += 4) {
        const ColorRef c0 = colorTable[line[x]], c1 = colorTable[line[x + 1]];
        const ColorRef c2 = colorTable[line[x + 2]], c3 = colorTable[line[x + 3]];
        out[x] = c0;
        out[x + 1] = c1;
        out[x + 2] = c2;
        out[x + 3] = c3;
    }
}

// SCREEN 5 and 7: two 4-bit pixels, the left one in the high nibble.
void DecodeNibbles(const uint8_t* line, int bytes, const ColorRef* colorTable, ColorRef* out) {
    for (int x = 0; x < bytes; ++x) {
        const uint8_t b = line[x];
        out[2 * x] = colorTable[b >> 4];
        out[2 * x + 1] = colorTable[b & 0x0F];
    }
}

// SCREEN 6: four 2-bit pixels, the leftmost in bits 7-6.
void DecodeBitPairs(const uint8_t* line, int bytes, const ColorRef* colorTable, ColorRef* out) {
    for (int x = 0; x < bytes; ++x) {
        const uint8_t b = line[x];
        out[4 * x] = colorTable[b >> 6];
        out[4 * x + 1] = colorTable[(b >> 4) & 3];
        out[4 * x + 2] = colorTable[(b >> 2) & 3];
        out[4 * x + 3] = colorTable[b & 3];
    }
}

// The YJK colours of the group of four bytes at `group`, by luminance:
// its chroma looked up once, so that each pixel costs three table reads.
class GroupColors {
public:
    explicit GroupColors(const uint8_t* group) {
        const YjkChroma c = GroupChroma(group);
        red_ = YjkChannelTables.RedRow(c.j);
        green_ = YjkChannelTables.GreenRow(c.k);
        blue_ = YjkChannelTables.BlueRow(c.j, c.k);
    }
    ColorRef operator()(int y) const { return red_[y] | green_[y] | blue_[5 * y]; }

private:
    const ColorRef* red_;
    const ColorRef* green_;
    const ColorRef* blue_;
};

// SCREEN 10 and 11: a palette pixel when bit 3 is set, otherwise YJK with
// the 4-bit luminance doubled. Both colours are worked out and one is
// chosen without a branch: in a picture that mixes the two kinds at random
// a branch would be mispredicted half of the time.
ColorRef PaletteOrYjk(uint8_t b, const GroupColors& colors, const ColorRef* colorTable) {
    const ColorRef paletteMask = 0u - static_cast<ColorRef>((b & AttributeBit) != 0);
    return (colorTable[b >> 4] & paletteMask) | (colors((b >> 4) * 2) & ~paletteMask);
}

void DecodeYjkWithPalette(const uint8_t* line, const ColorRef* colorTable, ColorRef* out) {
    for (int x = 0; x < 256; x += YjkGroupPixels) {
        const GroupColors colors(line + x);
        for (int i = 0; i < YjkGroupPixels; ++i) out[x + i] = PaletteOrYjk(line[x + i], colors, colorTable);
    }
}

// SCREEN 12: every pixel is YJK with a 5-bit luminance.
void DecodeYjk(const uint8_t* line, ColorRef* out) {
    for (int x = 0; x < 256; x += YjkGroupPixels) {
        const GroupColors colors(line + x);
        for (int i = 0; i < YjkGroupPixels; ++i) out[x + i] = colors(line[x + i] >> 3);
    }
}

}  // namespace

int DecodeLine(uint8_t screen, const uint8_t* vram, const ColorRef* colorTable, int y, ColorRef* out) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr) return 0;
    const uint8_t* line = vram + y * mode->bytesPerLine;
    switch (screen) {
    case 5:
    case 7:
        DecodeNibbles(line, mode->bytesPerLine, colorTable, out);
        break;
    case 6:
        DecodeBitPairs(line, mode->bytesPerLine, colorTable, out);
        break;
    case 8:
        DecodeBytes(line, mode->bytesPerLine, colorTable, out);
        break;
    case 10:
    case 11:
        DecodeYjkWithPalette(line, colorTable, out);
        break;
    case 12:
        DecodeYjk(line, out);
        break;
    }
    return mode->width;
}

void FormatProgressTitle(int y, char* text, int size) {
    std::snprintf(text, static_cast<std::size_t>(size), "VELDA %2d%%", ProgressPercent(y));
}

}  // namespace velda
