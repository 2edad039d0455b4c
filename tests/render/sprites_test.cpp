// Sprites: every line of generated sprite tables against a reading of the
// chip's rules written one pixel at a time, a table of worked cases for
// each rule, and how a sprite's colour shows in each mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/picture.h"
#include "render/picture_shapes.h"
#include "render/sprites.h"
#include "test_support.h"

namespace {

using velda::SpriteOptions;
using velda_test::NoiseBytes;

// Where MSX-BASIC keeps the tables of the two screens the cases use.
struct Tables {
    int attributes, colors, patterns;
    bool mode2;
};
Tables TablesOf(uint8_t screen) {
    if (screen <= 3) return {0x1B00, 0, 0x3800, false};
    if (screen == 4) return {0x1E00, 0x1C00, 0x3800, true};
    if (screen <= 6) return {0x7600, 0x7400, 0x7800, true};
    return {0xFA00, 0xF800, 0xF000, true};
}

// The sprite colour at (x, y) by the chip's rules, pixel by pixel: the
// sprites on line y are the first 4 (mode 1) or 8 (mode 2) of the table
// before its end mark whose rows cover the line; the first of them, by
// number, that covers x with a colour shows it, ORed with the CC sprites
// that follow it.
int ChipSpritePixel(uint8_t screen, const std::vector<uint8_t>& v, SpriteOptions o, int x, int y) {
    const Tables t = TablesOf(screen);
    const int scale = o.magnified ? 2 : 1;
    struct Line {
        int number, row;
    };
    std::vector<Line> on;
    for (int n = 0; n < 32; ++n) {
        const int spriteY = v[t.attributes + 4 * n];
        if (spriteY == (t.mode2 ? 216 : 208)) break;
        const int row = (y - spriteY - 1 + 256) % 256;
        if (row < o.size * scale) {
            if (on.size() == (t.mode2 ? 8u : 4u)) break;
            on.push_back({n, row / scale});
        }
    }
    auto colorByte = [&](const Line& s) {
        return t.mode2 ? v[t.colors + 16 * s.number + s.row] : v[t.attributes + 4 * s.number + 3] & 0x8F;
    };
    auto covers = [&](const Line& s) {
        const int left = v[t.attributes + 4 * s.number + 1] - ((colorByte(s) & 0x80) ? 32 : 0);
        const int column = x - left;
        if (column < 0 || column >= o.size * scale) return false;
        const int bit = column / scale;
        int name = v[t.attributes + 4 * s.number + 2];
        if (o.size == 16) name &= ~3;
        const uint8_t byte = v[t.patterns + 8 * name + (bit >= 8 ? 16 : 0) + s.row];
        return ((byte << (bit % 8)) & 0x80) != 0;
    };
    auto cc = [&](const Line& s) { return t.mode2 && (colorByte(s) & 0x40) != 0; };
    for (std::size_t i = 0; i < on.size(); ++i) {
        if (cc(on[i])) continue;
        int color = 0;
        for (std::size_t j = i; j < on.size() && (j == i || cc(on[j])); ++j) {
            if (covers(on[j])) color |= colorByte(on[j]) & 0x0F;
        }
        if (color != 0) return color;
    }
    return 0;
}

std::vector<uint8_t> Line(uint8_t screen, const std::vector<uint8_t>& vram, SpriteOptions options, int y) {
    std::vector<uint8_t> colors(256);
    velda::SpriteLine(screen, vram.data(), options, y, colors.data());
    return colors;
}

// Sprite tables of many sprites crowded on few lines, with every special Y
// value, both special bits of the colours and patterns of noise.
TEST(Sprites, EveryLineAsTheChipDrawsIt) {
    const uint8_t specialY[] = {208, 216, 255, 0xF0, 191, 211, 0};
    for (uint8_t screen : {uint8_t{2}, uint8_t{4}, uint8_t{5}, uint8_t{8}}) {
        for (const SpriteOptions& options : velda::SpriteChoices) {
            if (!options.Drawn()) continue;
            for (uint32_t seed = 1; seed <= 6; ++seed) {
                SCOPED_TRACE("SCREEN " + std::to_string(screen) + ", size " + std::to_string(options.size) +
                             (options.magnified ? "x2" : "") + ", seed " + std::to_string(seed));
                std::vector<uint8_t> vram = NoiseBytes(velda::VramBytes, seed * 100 + screen);
                const Tables t = TablesOf(screen);
                const std::vector<uint8_t> noise = NoiseBytes(256, seed);
                for (int n = 0; n < 32; ++n) {
                    uint8_t y = static_cast<uint8_t>(20 + noise[n] % 24);
                    if (noise[n + 32] % 9 == 0) y = specialY[noise[n + 64] % sizeof specialY];
                    vram[t.attributes + 4 * n] = y;
                }
                for (int i = 0; i < 16 * 32 && t.mode2; ++i) {  // CC on a third of the lines
                    vram[t.colors + i] = static_cast<uint8_t>((vram[t.colors + i] & 0xCF) & (i % 3 ? 0xBF : 0xFF));
                }
                for (int y = 0; y < 212; ++y) {
                    const std::vector<uint8_t> line = Line(screen, vram, options, y);
                    for (int x = 0; x < 256; ++x) {
                        ASSERT_EQ(line[x], ChipSpritePixel(screen, vram, options, x, y)) << x << "," << y;
                    }
                }
            }
        }
    }
}

// One sprite of the worked cases: solid patterns, one colour byte for all
// its lines but `line3` (0: the same) on its fourth line.
struct Sprite {
    int y, x, color, line3 = 0;
};

// Video memory with `sprites` from number 0 on, then the end mark; every
// pattern solid.
std::vector<uint8_t> WithSprites(uint8_t screen, const std::vector<Sprite>& sprites) {
    std::vector<uint8_t> vram(velda::VramBytes, 0);
    const Tables t = TablesOf(screen);
    std::fill(vram.begin() + t.patterns, vram.begin() + t.patterns + 2048, 0xFF);
    for (std::size_t n = 0; n < sprites.size(); ++n) {
        const Sprite& s = sprites[n];
        uint8_t* a = &vram[t.attributes + 4 * n];
        a[0] = static_cast<uint8_t>(s.y);
        a[1] = static_cast<uint8_t>(s.x);
        a[2] = static_cast<uint8_t>(4 * n);
        if (!t.mode2) a[3] = static_cast<uint8_t>(s.color);
        for (int row = 0; row < 16 && t.mode2; ++row) {
            vram[t.colors + 16 * n + row] = static_cast<uint8_t>(row == 3 && s.line3 != 0 ? s.line3 : s.color);
        }
    }
    vram[t.attributes + 4 * sprites.size()] = t.mode2 ? 216 : 208;
    return vram;
}

TEST(Sprites, WorkedCasesOfEachRule) {
    const SpriteOptions eight{8, false}, sixteen{16, false}, big8{8, true};
    const std::vector<Sprite> four = {{10, 0, 1}, {10, 10, 2}, {10, 20, 3}, {10, 30, 4}};
    std::vector<Sprite> five = four, eight8 = four, nine;
    five.push_back({10, 40, 5});
    for (int n = 4; n < 8; ++n) eight8.push_back({10, 10 * n, n + 1});
    nine = eight8;
    nine.push_back({10, 80, 9});
    const struct Case {
        const char* rule;
        uint8_t screen;
        SpriteOptions options;
        std::vector<Sprite> sprites;
        int x, y, color;
    } cases[] = {
        {"not on its Y line", 5, eight, {{10, 20, 5}}, 20, 10, 0}, {"from the line below Y", 5, eight, {{10, 20, 5}}, 27, 18, 5},
        {"8 lines, 8 pixels", 5, eight, {{10, 20, 5}}, 28, 19, 0}, {"Y 255 starts on line 0", 5, eight, {{255, 20, 5}}, 20, 0, 5},
        {"16 x 16", 5, sixteen, {{10, 20, 5}}, 35, 26, 5},         {"16 x 16 ends", 5, sixteen, {{10, 20, 5}}, 36, 27, 0},
        {"magnified: 16 x 16", 5, big8, {{10, 20, 5}}, 35, 26, 5}, {"a colour for each line", 5, eight, {{10, 20, 5, 9}}, 20, 14, 9},
        {"the lower number in front", 5, eight, {{10, 20, 5}, {10, 24, 6}}, 25, 11, 5},
        {"colour 0 shows what is behind", 5, eight, {{10, 20, 0}, {10, 20, 6}}, 21, 11, 6},
        {"CC ORs with the sprite before", 5, eight, {{10, 20, 0x03}, {10, 24, 0x44}}, 25, 11, 7},
        {"a CC sprite alone keeps its colour", 5, eight, {{10, 20, 0x03}, {10, 24, 0x44}}, 30, 11, 4},
        {"a CC sprite first on its line is not drawn", 5, eight, {{30, 20, 0x03}, {10, 20, 0x44}}, 20, 11, 0},
        {"no OR in sprite mode 1", 2, eight, {{10, 20, 0x03}, {10, 24, 0x44}}, 25, 11, 3},
        {"early clock: 32 pixels left", 5, eight, {{10, 40, 0x85}}, 8, 11, 5},
        {"early clock in sprite mode 1", 2, eight, {{10, 40, 0x85}}, 15, 11, 5},
        {"4 sprites a line in mode 1", 2, eight, four, 30, 11, 4}, {"not a 5th", 2, eight, five, 40, 11, 0},
        {"8 sprites a line in mode 2", 5, eight, eight8, 70, 11, 8}, {"not a 9th", 5, eight, nine, 80, 11, 0},
        {"208 ends the table in mode 1", 2, eight, {{208, 20, 5}, {10, 20, 6}}, 20, 11, 0},
        {"208 is a place in mode 2", 5, eight, {{208, 20, 5}, {10, 20, 6}}, 20, 209, 5},
        {"216 ends the table in mode 2", 5, eight, {{216, 20, 5}, {10, 20, 6}}, 20, 11, 0},
        {"SCREEN 4 is sprite mode 2", 4, eight, {{10, 20, 0x03}, {10, 24, 0x44}}, 25, 11, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(Line(c.screen, WithSprites(c.screen, c.sprites), c.options, c.y)[c.x], c.color);
    }
}

// How a sprite of colour 14 (binary 1110) at (20, 11) shows in the picture
// of each mode, and that nothing is drawn where the file left the tables.
TEST(Sprites, TheirColoursInEachMode) {
    std::vector<uint8_t> palette;
    for (int i = 0; i < 16; ++i) {
        palette.push_back(static_cast<uint8_t>(((i & 7) << 4) | (i >> 1)));
        palette.push_back(static_cast<uint8_t>(7 - (i & 7)));
    }
    velda::PictureOptions options;
    options.sprites = SpriteOptions{8, false};
    for (uint8_t screen : velda::EveryScreen) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        std::vector<uint8_t> vram = WithSprites(screen, {{10, 20, 14}});
        velda::PageView page;
        page.screen = screen;
        page.vram = vram.data();
        page.palette = palette.data();
        page.spriteTables = true;
        const velda::Picture drawn = velda::MakePicture(page, options);
        page.spriteTables = false;
        const velda::Picture bare = velda::MakePicture(page, options);
        ASSERT_FALSE(drawn.pixels == bare.pixels);
        const bool wide = drawn.width == 512;
        const int x = wide ? 40 : 20;
        velda::Rgb8 left, right;
        if (screen == 6) {  // bits 3-2, then 1-0
            left = velda::PaletteEntryToRgb(palette[2 * 3], palette[2 * 3 + 1]);
            right = velda::PaletteEntryToRgb(palette[2 * 2], palette[2 * 2 + 1]);
        } else if (screen == 8) {
            left = right = velda::Screen8ValueToRgb(0xFC);  // yellow: green 7, red 7, blue 0
        } else if (screen == 12) {  // no palette of its own: the power-on one
            left = right = velda::PaletteEntryToRgb(velda::DefaultPalette[2 * 14], velda::DefaultPalette[2 * 14 + 1]);
        } else {
            left = right = velda::PaletteEntryToRgb(palette[2 * 14], palette[2 * 14 + 1]);
        }
        EXPECT_EQ(velda::PixelColor(drawn, x, 11), left);
        EXPECT_EQ(velda::PixelColor(drawn, x + 1, 11), right);
        const int after = wide ? x + 16 : x + 8;  // right of the sprite
        EXPECT_EQ(velda::PixelColor(drawn, after, 11), velda::PixelColor(bare, after, 11));
    }
}

}  // namespace
