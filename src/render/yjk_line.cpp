#include "render/yjk_line.h"

namespace velda {

void DecodeYjkLine(uint8_t screen, const uint8_t* line, const Rgb8* paletteColors, ColorRule rule, uint8_t* out) {
    for (int x = 0; x < 256; x += YjkGroupPixels) {
        const YjkChroma c = GroupChroma(line + x);
        for (int i = 0; i < YjkGroupPixels; ++i) {
            const uint8_t b = line[x + i];
            Rgb8 color;
            if (screen == 12) {
                color = YjkColor(rule, b >> 3, c.j, c.k);
            } else if (b & AttributeBit) {
                color = paletteColors[b >> 4];
            } else {
                color = YjkColor(rule, (b >> 4) * 2, c.j, c.k);
            }
            out[3 * (x + i)] = color.b;
            out[3 * (x + i) + 1] = color.g;
            out[3 * (x + i) + 2] = color.r;
        }
    }
}

}  // namespace velda
