#include "render/picture.h"

#include <cstring>

#include "image/mode_table.h"
#include "render/line_decoder.h"
#include "render/yjk.h"

namespace velda {

namespace {

constexpr uint8_t AttributeBit = 0x08;  // SCREEN 10, 11: a palette pixel

void BuildPalette(uint8_t screen, const uint8_t* msxPalette, ColorRule rule, int colors, std::vector<Rgb8>& palette) {
    palette.resize(static_cast<std::size_t>(colors));
    for (int i = 0; i < colors; ++i) {
        palette[i] = screen == 8 ? Screen8Color(rule, static_cast<uint8_t>(i))
                                 : PaletteEntryColor(rule, msxPalette[PaletteEntryBytes * i],
                                                     msxPalette[PaletteEntryBytes * i + 1]);
    }
}

// One line of SCREEN 10, 11 (palette pixels allowed) or 12 as blue, green,
// red, under the msx rule.
void DecodeMsxYjkLine(uint8_t screen, const uint8_t* line, const Rgb8* paletteColors, uint8_t* out) {
    for (int x = 0; x < 256; x += YjkGroupPixels) {
        const YjkChroma c = GroupChroma(line + x);
        for (int i = 0; i < YjkGroupPixels; ++i) {
            const uint8_t b = line[x + i];
            if (screen == 12) {
                PutBgrPixel(out, x + i, YjkColor(ColorRule::Msx, b >> 3, c.j, c.k));
            } else if (b & AttributeBit) {
                PutBgrPixel(out, x + i, paletteColors[b >> 4]);
            } else {
                PutBgrPixel(out, x + i, YjkColor(ColorRule::Msx, (b >> 4) * 2, c.j, c.k));
            }
        }
    }
}

// The same under the velda rule: the canvas's own line decoder (one table
// read per YJK pixel), whose COLORREFs are Save's colours.
void DecodeVeldaYjkLine(uint8_t screen, const uint8_t* vram, const ColorRef* colorTable, int y, uint8_t* out) {
    ColorRef pixels[CanvasWidth];
    const int width = DecodeLine(screen, vram, colorTable, y, pixels);
    for (int x = 0; x < width - 1; ++x) PutBgrAndSpare(out + 3 * x, pixels[x]);
    PutBgrPixel(out, width - 1, ToRgb8(pixels[width - 1]));  // its spare would lie past the line
}

}  // namespace

PictureForm FormOf(uint8_t screen) {
    switch (screen) {
    case 5:
    case 7: return PictureForm{4, 16};
    case 6: return PictureForm{4, 4};
    case 8: return PictureForm{8, 256};
    default: return PictureForm{24, 0};
    }
}

bool BuildPicture(uint8_t screen, const uint8_t* vram, const uint8_t* msxPalette, ColorRule rule,
                  Picture& picture) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr) return false;

    const PictureForm form = FormOf(screen);
    picture.screen = screen;
    picture.width = mode->width;
    picture.height = ScreenLines;
    picture.bitDepth = form.bitDepth;
    picture.rowBytes = mode->width * form.bitDepth / 8;
    picture.pixels.resize(static_cast<std::size_t>(picture.rowBytes) * ScreenLines);
    BuildPalette(screen, msxPalette, rule, form.colors, picture.palette);

    Rgb8 yjkPalette[PaletteSize];
    ColorRef veldaColors[ColorTableSize];  // the velda rule's palette colours, as the canvas has them
    if (screen == 10 || screen == 11) {
        for (int i = 0; i < PaletteSize; ++i) {
            yjkPalette[i] = PaletteEntryColor(rule, msxPalette[PaletteEntryBytes * i],
                                              msxPalette[PaletteEntryBytes * i + 1]);
        }
        BuildColorTable(screen, msxPalette, veldaColors);
    }

    for (int y = 0; y < ScreenLines; ++y) {
        const uint8_t* line = vram + y * mode->bytesPerLine;
        uint8_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.rowBytes;
        switch (screen) {
        case 5:
        case 7:
        case 8:
            std::memcpy(row, line, static_cast<std::size_t>(mode->bytesPerLine));
            break;
        case 6:
            for (int x = 0; x < mode->bytesPerLine; ++x) {
                row[2 * x] = Screen6HighPair(line[x]);
                row[2 * x + 1] = Screen6LowPair(line[x]);
            }
            break;
        default:
            if (rule == ColorRule::Velda) {
                DecodeVeldaYjkLine(screen, vram, veldaColors, y, row);
            } else {
                DecodeMsxYjkLine(screen, line, yjkPalette, row);
            }
            break;
        }
    }
    return true;
}

}  // namespace velda
