#include "render/line_decoder.h"

#include <cstdio>

#include "image/mode_table.h"
#include "render/yjk.h"

namespace velda {

namespace {

constexpr int Rgb5Shift = 3;  // 5-bit YJK levels become 0..248
constexpr uint8_t AttributeBit = 0x08;

ColorRef YjkColor(int y, int j, int k) {
    const Rgb5 c = YjkToRgb(y, j, k);
    return MakeColorRef(static_cast<unsigned>(c.r) << Rgb5Shift, static_cast<unsigned>(c.g) << Rgb5Shift,
                        static_cast<unsigned>(c.b) << Rgb5Shift);
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

}  // namespace

ColorRef Screen10Pixel(uint8_t b, int j, int k, const ColorRef* colorTable) {
    if (b & AttributeBit) return colorTable[b >> 4];
    return YjkColor((b >> 4) * 2, j, k);
}

ColorRef Screen12Pixel(uint8_t b, int j, int k) { return YjkColor(b >> 3, j, k); }

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
        for (int x = 0; x < mode->bytesPerLine; ++x) out[x] = colorTable[line[x]];
        break;
    case 10:
    case 11:
        for (int x = 0; x < mode->bytesPerLine; x += YjkGroupPixels) {
            const YjkChroma c = GroupChroma(line + x);
            for (int i = 0; i < YjkGroupPixels; ++i) out[x + i] = Screen10Pixel(line[x + i], c.j, c.k, colorTable);
        }
        break;
    case 12:
        for (int x = 0; x < mode->bytesPerLine; x += YjkGroupPixels) {
            const YjkChroma c = GroupChroma(line + x);
            for (int i = 0; i < YjkGroupPixels; ++i) out[x + i] = Screen12Pixel(line[x + i], c.j, c.k);
        }
        break;
    }
    return mode->width;
}

void FormatProgressTitle(int y, char* text, int size) {
    std::snprintf(text, static_cast<std::size_t>(size), "VELDA %2d%%", ProgressPercent(y));
}

}  // namespace velda
