// The YJK colour conversion of the V9958 and the forming of a group's
// chroma pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "render/color_rules.h"
#include "render/picture.h"
#include "render/yjk.h"
#include "render/yjk_line.h"

namespace {

using velda::YjkToRgb;

TEST(YjkToRgb, WorkedValues) {
    struct Case {
        int y, j, k;
        int r, g, b;
        const char* why;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0, "black"},
        {31, 0, 0, 31, 31, 31, "brightest white"},
        {10, 3, -5, 13, 5, 12, "B = 12.25 truncates to 12"},
        {1, 0, 2, 1, 3, 0, "B = 0.75 truncates to 0"},
        {25, 0, 0, 25, 25, 31, "B = 31.25 clamps to 31"},
        {24, -2, 0, 22, 24, 31, "B = 31.0 exactly stays 31"},
        {16, 31, 31, 31, 31, 0, "R and G 47 clamp to 31, B -3.25 to 0"},
        {0, -32, -32, 0, 0, 24, "R and G clamp to 0"},
        {16, -32, -32, 0, 0, 31, "B = 44 clamps to 31"},
        {0, -1, -32, 0, 0, 8, "B = 8.5"},
        {0, -32, -1, 0, 0, 16, "B = 16.25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const velda::Rgb5 rgb = YjkToRgb(c.y, c.j, c.k);
        EXPECT_EQ(rgb.r, c.r);
        EXPECT_EQ(rgb.g, c.g);
        EXPECT_EQ(rgb.b, c.b);
    }
}

// Every input against the integer form of the rule:
// R = clamp(Y + J), G = clamp(Y + K), t = 5Y - 2J - K, B = t < 0 ? 0 : min(31, t / 4).
TEST(YjkToRgb, AllInputsFollowTheIntegerRule) {
    int failures = 0;
    for (int y = 0; y < 32; ++y) {
        for (int j = -32; j < 32; ++j) {
            for (int k = -32; k < 32; ++k) {
                const int t = 5 * y - 2 * j - k;
                const int b = t < 0 ? 0 : std::min(31, t / 4);
                const int r = std::clamp(y + j, 0, 31);
                const int g = std::clamp(y + k, 0, 31);
                const velda::Rgb5 got = YjkToRgb(y, j, k);
                if ((got.r != r || got.g != g || got.b != b) && failures++ < 10) {
                    ADD_FAILURE() << "Y " << y << " J " << j << " K " << k << ": got " << got.r << ","
                                  << got.g << "," << got.b << " want " << r << "," << g << "," << b;
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(SignedSixBit, AllRawValues) {
    EXPECT_EQ(velda::SignedSixBit(0x00), 0);
    EXPECT_EQ(velda::SignedSixBit(0x1F), 31);
    EXPECT_EQ(velda::SignedSixBit(0x20), -32);
    EXPECT_EQ(velda::SignedSixBit(0x3F), -1);
    for (int raw = 0; raw < 64; ++raw) {
        // Sign-extend bit 5 the other way round: flip it and take 32 away.
        EXPECT_EQ(velda::SignedSixBit(raw), (raw ^ 0x20) - 0x20) << raw;
    }
}

TEST(GroupChroma, WorkedGroups) {
    struct Case {
        uint8_t b[4];
        int j, k;
        const char* why;
    };
    const Case cases[] = {
        {{0xF8, 0xF8, 0xF8, 0xF8}, 0, 0, "luminance bits do not leak into the chroma"},
        {{0x07, 0x07, 0x00, 0x04}, -32, -1, "raw K 0x3F, raw J 0x20"},
        {{0x01, 0x02, 0x03, 0x04}, -29, 17, "b0 low K, b1 high K, b2 low J, b3 high J"},
        {{0x58, 0xF0, 0x00, 0x00}, 0, 0, "the attribute bit is not chroma"},
        {{0x5F, 0xF0, 0x00, 0x00}, 0, 7, "a palette pixel's low bits still count"},
        {{0xFF, 0xFB, 0xFE, 0xF9}, 14, 31, "raw J 0x0E, raw K 0x1F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const velda::YjkChroma chroma = velda::GroupChroma(c.b);
        EXPECT_EQ(std::make_pair(chroma.j, chroma.k), std::make_pair(c.j, c.k));
    }
}

// Every combination of the twelve chroma bits, each time with different
// luminance bits above them.
TEST(GroupChroma, AllChromaBitPatterns) {
    for (int bits = 0; bits < 4096; ++bits) {
        const uint8_t high = static_cast<uint8_t>((bits * 0x9D) & 0xF8);
        const uint8_t group[4] = {static_cast<uint8_t>(high | (bits & 7)),
                                  static_cast<uint8_t>((high ^ 0x28) | ((bits >> 3) & 7)),
                                  static_cast<uint8_t>((high ^ 0x50) | ((bits >> 6) & 7)),
                                  static_cast<uint8_t>((high ^ 0xF8) | ((bits >> 9) & 7))};
        const int rawK = bits & 0x3F;
        const int rawJ = bits >> 6;
        const velda::YjkChroma c = velda::GroupChroma(group);
        ASSERT_EQ(c.k, rawK >= 32 ? rawK - 64 : rawK) << bits;
        ASSERT_EQ(c.j, rawJ >= 32 ? rawJ - 64 : rawJ) << bits;
    }
}

// DecodeYjkLine against the pixel rules. In 512 lines every chroma pair
// meets every value of the five high bits: SCREEN 12 sees every (Y, J, K),
// SCREEN 10 and 11 every even Y and every palette pixel.
TEST(DecodeYjkLine, MatchesThePixelRulesForEveryInput) {
    using velda::Rgb8;
    std::vector<uint8_t> vram(512 * 256);
    for (std::size_t i = 0; i < vram.size(); ++i) {  // 32 bytes (8 groups) a chroma pair
        vram[i] = static_cast<uint8_t>((i % 32) << 3 | ((i / 32) >> (3 * (i % 4)) & 7));
    }
    Rgb8 palette[velda::PaletteSize];
    for (int i = 0; i < velda::PaletteSize; ++i) {
        palette[i] = Rgb8{static_cast<uint8_t>(17 * i), static_cast<uint8_t>(250 - 9 * i),
                          static_cast<uint8_t>(60 + i)};
    }
    for (const uint8_t screen : {10, 11, 12}) {
        for (const velda::ColorRule rule : {velda::ColorRule::Velda, velda::ColorRule::Msx}) {
            int failures = 0;
            for (std::size_t at = 0; at < vram.size(); at += 256) {
                const uint8_t* line = vram.data() + at;
                uint8_t out[769];
                out[768] = 0xA5;  // must stay
                velda::DecodeYjkLine(screen, line, screen == 12 ? nullptr : palette, rule, out);
                failures += out[768] != 0xA5;
                for (int x = 0; x < 256; ++x) {
                    const velda::YjkChroma c = velda::GroupChroma(line + x / 4 * 4);
                    const int y = screen == 12 ? line[x] >> 3 : (line[x] >> 4) * 2;
                    const velda::Rgb5 v = velda::YjkToRgb(y, c.j, c.k);
                    Rgb8 want{static_cast<uint8_t>(v.r << 3), static_cast<uint8_t>(v.g << 3),
                              static_cast<uint8_t>(v.b << 3)};
                    if (rule == velda::ColorRule::Msx) want = velda::YjkColor(rule, y, c.j, c.k);
                    if (screen != 12 && (line[x] & 0x08) != 0) want = palette[line[x] >> 4];
                    if (velda::BgrPixel(out, x) != want && failures++ < 5) {
                        ADD_FAILURE() << "SCREEN " << int{screen} << ", rule " << int(rule) << ", byte " << at + x;
                    }
                }
            }
            EXPECT_EQ(failures, 0) << "SCREEN " << int{screen} << ", rule " << int(rule);
        }
    }
}

}  // namespace
