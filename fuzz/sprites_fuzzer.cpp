// Fuzzing SCREEN 1-4, the colour rules and the sprites: the picture of a
// BSAVE file in any mode VELDA shows, without its sprites and with the
// ones asked for, as the window, Save and velda-convert make it.
//
// Input: fuzz_input.h's layout, its selector read as fuzz_sprites reads it
// (ReadSpriteSelector: the mode from EveryScreen, the sprite choice and the
// colour rule), then the BSAVE file, opened as a SCREEN N Open opens it.
//
// Besides the sanitizers, each input is held to these promises:
//   - a refused file leaves the page as it was;
//   - an accepted file's page has sprite tables exactly when the file's
//     data reaches over all of them (the colour table too in sprite mode 2);
//   - its picture has the mode's width and lines, the form FormOf gives,
//     rowBytes * height pixel bytes, and the palette of the rule (the
//     MSX1's fixed colours for SCREEN 1-4 under msx1);
//   - without sprites, each pixel of an indexed picture is the one video
//     memory gives it, read here pixel by pixel: SCREEN 1-4 from their
//     name, pattern and colour tables, the others from their lines;
//   - SpriteLine gives, on every line of the picture, the colours of a
//     reading of the sprite tables made here one pixel at a time, so never
//     more than 4 (sprite mode 1) or 8 sprites on a line;
//   - with sprites asked for, a page without sprite tables gives the
//     picture without sprites; one with them gives it with each pixel that
//     SpriteLine colours in the sprite's colour of that mode, and every
//     other pixel as it was;
//   - the BMP of the picture has the size its headers say.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "fuzz_input.h"
#include "image/load_error.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "image/vram_image.h"
#include "render/color_rules.h"
#include "render/picture.h"
#include "render/sprites.h"

namespace {

using velda::ColorRule;
using velda::ModeInfo;
using velda::Picture;
using velda::Rgb8;
using velda::ScreenPage;
using velda::SpriteOptions;

constexpr int LineWidth = 256;  // sprite pixels of a line, whatever the mode
constexpr uint32_t AttributeTableBytes = 128;
constexpr uint32_t PatternTableBytes = 2048;

uint32_t ReadLe32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Whether the accepted BSAVE file `file` reaches over every sprite table
// of `mode`: from its start address up to where its data stops.
bool ReachesSpriteTables(const ModeInfo& mode, const uint8_t* file, std::size_t size) {
    const uint32_t start = file[1] | file[2] << 8;
    const uint32_t end = file[3] | file[4] << 8;
    const uint32_t present = static_cast<uint32_t>(size - velda::BsaveHeaderBytes);
    const uint32_t stop = start + std::min(end - start + 1, present);
    const uint32_t attributes = static_cast<uint32_t>(mode.spriteAttributes);
    const uint32_t lowest = mode.spriteMode == 2 ? attributes - velda::SpriteColorTableBytes : attributes;
    const uint32_t patterns = static_cast<uint32_t>(mode.spritePatterns);
    return start <= lowest && start <= patterns && attributes + AttributeTableBytes <= stop &&
           patterns + PatternTableBytes <= stop;
}

// Pixel (x, y) of a SCREEN 1-4 picture, from the tables in `vram`.
int PatternPixel(uint8_t screen, const uint8_t* vram, int x, int y) {
    const int row = y / 8, column = x / 8, line = y % 8;
    if (screen == 3) {  // a nibble of colour for each 4 x 4 block
        const int name = vram[0x0800 + 32 * row + column];
        const uint8_t blocks = vram[8 * name + 2 * (row % 4) + (line < 4 ? 0 : 1)];
        return x % 8 < 4 ? blocks >> 4 : blocks & 0x0F;
    }
    const int name = vram[0x1800 + 32 * row + column];
    uint8_t pattern, colors;
    if (screen == 1) {
        pattern = vram[8 * name + line];
        colors = vram[0x2000 + name / 8];
    } else {  // SCREEN 2 and 4: the band of 8 character rows has its own tables
        const int band = row / 8 * 0x800;
        pattern = vram[band + 8 * name + line];
        colors = vram[0x2000 + band + 8 * name + line];
    }
    const bool set = (pattern >> (7 - x % 8) & 1) != 0;
    return set ? colors >> 4 : colors & 0x0F;
}

// Pixel (x, y) of an indexed picture of `screen` from video memory.
int VramPixel(uint8_t screen, const uint8_t* vram, int x, int y) {
    switch (screen) {
    case 5: return x % 2 == 0 ? vram[128 * y + x / 2] >> 4 : vram[128 * y + x / 2] & 0x0F;
    case 6: return vram[128 * y + x / 4] >> (6 - 2 * (x % 4)) & 3;
    case 7: return x % 2 == 0 ? vram[256 * y + x / 2] >> 4 : vram[256 * y + x / 2] & 0x0F;
    case 8: return vram[256 * y + x];
    default: return PatternPixel(screen, vram, x, y);
    }
}

// Pixel x of row y of an indexed picture.
int PictureIndex(const Picture& picture, int x, int y) {
    const uint8_t* row = picture.Row(y);
    if (picture.bitDepth == 8) return row[x];
    return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
}

void PutIndex(Picture& picture, int x, int y, int index) {
    uint8_t* at = picture.pixels.data() + static_cast<std::size_t>(y) * picture.rowBytes;
    if (picture.bitDepth == 8) {
        at[x] = static_cast<uint8_t>(index);
    } else if (x % 2 == 0) {
        at[x / 2] = static_cast<uint8_t>((at[x / 2] & 0x0F) | index << 4);
    } else {
        at[x / 2] = static_cast<uint8_t>((at[x / 2] & 0xF0) | index);
    }
}

void CheckShape(const ModeInfo& mode, const ScreenPage& page, ColorRule rule, const Picture& picture) {
    const velda::PictureForm form = velda::FormOf(mode.screen);
    FUZZ_CHECK(picture.screen == mode.screen);
    FUZZ_CHECK(picture.width == mode.width);
    FUZZ_CHECK(picture.height == mode.lines);
    FUZZ_CHECK(picture.bitDepth == form.bitDepth);
    FUZZ_CHECK(picture.rowBytes == mode.width * form.bitDepth / 8);
    FUZZ_CHECK(picture.pixels.size() == static_cast<std::size_t>(picture.rowBytes) * picture.height);
    FUZZ_CHECK(picture.palette.size() == static_cast<std::size_t>(form.colors));
    const ColorRule msx2Rule = velda::Msx2ModeRule(rule);
    for (int i = 0; i < form.colors; ++i) {
        Rgb8 want{};
        if (rule == ColorRule::Msx1 && velda::IsPatternScreen(mode.screen)) {
            want = velda::Msx1Color(i);
        } else if (mode.screen == 8) {
            want = velda::Screen8Color(msx2Rule, static_cast<uint8_t>(i));
        } else {
            want = velda::PaletteEntryColor(msx2Rule, page.palette[2 * i], page.palette[2 * i + 1]);
        }
        FUZZ_CHECK(picture.palette[i] == want);
    }
}

void CheckPixels(const ModeInfo& mode, const ScreenPage& page, const Picture& picture) {
    if (!picture.Indexed()) return;  // YJK: fuzz_bsave checks those pixels
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            FUZZ_CHECK(PictureIndex(picture, x, y) == VramPixel(mode.screen, page.vram.data(), x, y));
        }
    }
}

// A sprite on a line, as the tables give it: its left edge, its pattern
// row (16 bits, the left pixel highest) and its colour byte.
struct Shown {
    int left;
    uint16_t bits;
    uint8_t color;
};

// Line y of the sprites of `vram` in `mode`, one pixel at a time: the
// sprites covering the line, up to the end mark and the line's limit; at
// each pixel the first of them, by number, whose pattern shows there a
// colour (ORed with the colour of the CC sprites after it in sprite mode 2).
void ReadSpriteLine(const ModeInfo& mode, const uint8_t* vram, SpriteOptions options, int y, uint8_t* colors) {
    const bool mode2 = mode.spriteMode == 2;
    const int scale = options.magnified ? 2 : 1;
    const int span = options.size * scale;
    Shown shown[32];
    int count = 0;
    for (int n = 0; n < 32; ++n) {
        const uint8_t* attributes = vram + mode.spriteAttributes + 4 * n;
        if (attributes[0] == (mode2 ? 216 : 208)) break;
        const int row = (y + 256 - attributes[0] - 1) % 256;
        if (row >= span) continue;
        if (count == (mode2 ? 8 : 4)) break;
        const int patternRow = row / scale;
        const int number = options.size == 16 ? attributes[2] & ~3 : attributes[2];
        const uint8_t* pattern = vram + mode.spritePatterns + 8 * number;
        const uint16_t bits =
            static_cast<uint16_t>(pattern[patternRow] << 8 | (options.size == 16 ? pattern[16 + patternRow] : 0));
        // Mode 1 keeps the colour and the early clock in the attribute's fourth byte.
        const uint8_t color = mode2 ? vram[mode.spriteAttributes - 0x200 + 16 * n + patternRow]
                                    : static_cast<uint8_t>(attributes[3] & 0x8F);
        shown[count++] = Shown{attributes[1] - ((color & 0x80) != 0 ? 32 : 0), bits, color};
    }
    const auto withBefore = [mode2](const Shown& s) { return mode2 && (s.color & 0x40) != 0; };
    const auto colorAt = [&](const Shown& s, int x) {
        const int offset = x - s.left;
        if (offset < 0 || offset >= span) return 0;
        return (s.bits >> (15 - offset / scale) & 1) != 0 ? s.color & 0x0F : 0;
    };
    for (int x = 0; x < LineWidth; ++x) {
        int color = 0;
        for (int s = 0; s < count && color == 0; ++s) {
            if (withBefore(shown[s])) continue;  // drawn with the sprite before it, or not at all
            color = colorAt(shown[s], x);
            for (int t = s + 1; t < count && withBefore(shown[t]); ++t) color |= colorAt(shown[t], x);
        }
        colors[x] = static_cast<uint8_t>(color);
    }
}

// The picture without sprites with the sprites of SpriteLine put over it
// in the colours of the mode, against the one MakePicture drew.
void CheckSprites(const ModeInfo& mode, const ScreenPage& page, ColorRule rule, SpriteOptions options,
                  const Picture& plain, const Picture& drawn) {
    FUZZ_CHECK(drawn.width == plain.width && drawn.height == plain.height && drawn.rowBytes == plain.rowBytes);
    FUZZ_CHECK(drawn.palette.size() == plain.palette.size() &&
               std::equal(drawn.palette.begin(), drawn.palette.end(), plain.palette.begin()));
    Picture want = plain;
    uint8_t colors[LineWidth], read[LineWidth];
    for (int y = 0; y < plain.height; ++y) {
        velda::SpriteLine(mode.screen, page.vram.data(), options, y, colors);
        ReadSpriteLine(mode, page.vram.data(), options, y, read);
        FUZZ_CHECK(std::equal(colors, colors + LineWidth, read));
        if (!page.spriteTables) continue;
        uint8_t* row = want.pixels.data() + static_cast<std::size_t>(y) * want.rowBytes;
        for (int x = 0; x < LineWidth; ++x) {
            const int c = colors[x];
            if (c == 0) continue;
            switch (mode.screen) {
            case 6:  // two pixels a sprite pixel, of the colour's two halves
                PutIndex(want, 2 * x, y, c >> 2);
                PutIndex(want, 2 * x + 1, y, c & 3);
                break;
            case 7:
                PutIndex(want, 2 * x, y, c);
                PutIndex(want, 2 * x + 1, y, c);
                break;
            case 8: PutIndex(want, x, y, velda::Screen8SpriteColor(c)); break;
            case 10:
            case 11:
            case 12: {
                // SCREEN 12 keeps no palette: its sprites show the power-on one.
                const uint8_t* palette = mode.paletteEntries == 0 ? velda::DefaultPalette : page.palette;
                velda::PutBgrPixel(row, x, velda::PaletteEntryColor(velda::Msx2ModeRule(rule), palette[2 * c],
                                                                     palette[2 * c + 1]));
                break;
            }
            default: PutIndex(want, x, y, c); break;
            }
        }
    }
    FUZZ_CHECK(drawn.pixels == want.pixels);
}

// The BMP of `picture`: as long as its headers say, its colour table and
// rows where they say.
void CheckBmp(const Picture& picture) {
    std::vector<uint8_t> bmp;
    velda_fuzz::VectorSink sink{bmp};
    velda::EncodeBmp(sink, picture, velda::PrepareExportHeaders(picture));
    FUZZ_CHECK(bmp.size() >= static_cast<std::size_t>(velda::BmpHeadersBytes));
    FUZZ_CHECK(bmp[0] == 'B' && bmp[1] == 'M');
    FUZZ_CHECK(ReadLe32(&bmp[2]) == bmp.size());
    FUZZ_CHECK(ReadLe32(&bmp[18]) == static_cast<uint32_t>(picture.width));
    FUZZ_CHECK(ReadLe32(&bmp[22]) == static_cast<uint32_t>(picture.height));
    const int bitCount = bmp[28] | bmp[29] << 8;
    FUZZ_CHECK(bitCount == picture.bitDepth);
    const uint32_t offBits = ReadLe32(&bmp[10]);
    FUZZ_CHECK(offBits == velda::BmpHeadersBytes + 4 * picture.palette.size());
    const uint32_t imageBytes = static_cast<uint32_t>(velda::BmpRowStride(picture.width, bitCount)) * picture.height;
    FUZZ_CHECK(ReadLe32(&bmp[34]) == imageBytes);
    FUZZ_CHECK(offBits + imageBytes == bmp.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const velda_fuzz::SpriteSelector selector = velda_fuzz::ReadSpriteSelector(data[0]);
    const ModeInfo* found = velda::FindMode(selector.screen);
    FUZZ_CHECK(found != nullptr);
    const ModeInfo& mode = *found;
    const uint8_t* file = data + 1;
    const std::size_t fileSize = size - 1;

    velda::PictureRequest request;
    request.screen = selector.screen;
    request.bsaveOnly = true;
    ScreenPage page;
    if (velda::OpenPicture(file, fileSize, request, page)) {
        FUZZ_CHECK(page.screen == 0 && !page.spriteTables);
        FUZZ_CHECK(std::all_of(page.vram.begin(), page.vram.end(), [](uint8_t b) { return b == 0; }));
        return 0;
    }
    FUZZ_CHECK(page.screen == selector.screen);
    FUZZ_CHECK(page.spriteTables == ReachesSpriteTables(mode, file, fileSize));

    const velda::PageView view = velda::ViewOf(page);
    velda::PictureOptions options;
    options.colors = selector.rule;
    const Picture plain = velda::MakePicture(view, options);
    CheckShape(mode, page, selector.rule, plain);
    CheckPixels(mode, page, plain);
    if (!selector.sprites.Drawn()) {
        CheckBmp(plain);
        return 0;
    }
    options.sprites = selector.sprites;
    const Picture drawn = velda::MakePicture(view, options);
    CheckShape(mode, page, selector.rule, drawn);
    CheckSprites(mode, page, selector.rule, selector.sprites, plain, drawn);
    CheckBmp(drawn);
    return 0;
}
