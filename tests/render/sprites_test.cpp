// Sprites: a table of worked cases for each rule. fuzz_sprites holds
// SpriteLine to a reading of the rules pixel by pixel, and each mode's
// picture to the sprite colours it shows, over its seeds in every test run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/vram_image.h"
#include "render/sprites.h"

namespace {

using velda::SpriteOptions;

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

std::vector<uint8_t> Line(uint8_t screen, const std::vector<uint8_t>& vram, SpriteOptions options, int y) {
    std::vector<uint8_t> colors(256);
    velda::SpriteLine(screen, vram.data(), options, y, colors.data());
    return colors;
}

// One sprite of the worked cases: one colour byte for all its lines but
// `line3` (0: the same) on its fourth line.
struct Sprite {
    int y, x, color, line3 = 0;
};

// Video memory with `sprites` from number 0 on, then the end mark; every
// pattern solid but a 16 x 16 sprite's right half, 0x0F.
std::vector<uint8_t> WithSprites(uint8_t screen, const std::vector<Sprite>& sprites) {
    std::vector<uint8_t> vram(velda::VramBytes, 0);
    const Tables t = TablesOf(screen);
    for (int i = 0; i < 2048; ++i) vram[t.patterns + i] = i % 32 < 16 ? 0xFF : 0x0F;
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
        {"16 x 16", 5, sixteen, {{10, 20, 5}}, 35, 26, 5}, {"its right half from byte 16", 5, sixteen, {{10, 20, 5}}, 28, 11, 0},         {"16 x 16 ends", 5, sixteen, {{10, 20, 5}}, 36, 27, 0},
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

// SCREEN 8's fixed sprite colours as openMSX shows them, read back as
// SCREEN 8 pixel bytes (GGGRRRBB) from its screenshots.
TEST(Sprites, Screen8ColoursOpenMsxShows) {
    const uint8_t shown[16] = {0x00, 0x01, 0x0C, 0x0D, 0x60, 0x61, 0x6C, 0x6D,
                               0x9D, 0x03, 0x1C, 0x1F, 0xE0, 0xE3, 0xFC, 0xFF};
    for (int c = 1; c < 16; ++c) EXPECT_EQ(velda::Screen8SpriteColor(c), shown[c]) << "colour " << c;
}

}  // namespace
