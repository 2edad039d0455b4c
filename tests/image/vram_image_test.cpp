// The MSX palette, the power-on palette, the two colour rules and the
// seeding of the palette table.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/color_rules.h"
#include "test_support.h"

namespace {

using velda::DefaultPalette;
using velda::PaletteEntryToRgb;
using velda::Rgb8;
using velda::Screen8ValueToRgb;

constexpr Rgb8 Rgb(unsigned r, unsigned g, unsigned b) {
    return Rgb8{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

// The MSX2 power-on palette: register bytes and the colour each one shows.
struct PowerOnEntry {
    uint8_t redBlue, green;
    unsigned r, g, b;
};
constexpr PowerOnEntry kPowerOn[16] = {
    {0x00, 0x00, 0, 0, 0},       {0x00, 0x00, 0, 0, 0},       {0x11, 0x06, 32, 192, 32},
    {0x33, 0x07, 96, 224, 96},   {0x17, 0x01, 32, 32, 224},   {0x27, 0x03, 64, 96, 224},
    {0x51, 0x01, 160, 32, 32},   {0x27, 0x06, 64, 192, 224},  {0x71, 0x01, 224, 32, 32},
    {0x73, 0x03, 224, 96, 96},   {0x61, 0x06, 192, 192, 32},  {0x64, 0x06, 192, 192, 128},
    {0x11, 0x04, 32, 128, 32},   {0x65, 0x02, 192, 64, 160},  {0x55, 0x05, 160, 160, 160},
    {0x77, 0x07, 224, 224, 224},
};

TEST(DefaultPalette, BytesAndDisplayColours) {
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(DefaultPalette[2 * i], kPowerOn[i].redBlue);
        EXPECT_EQ(DefaultPalette[2 * i + 1], kPowerOn[i].green);
        EXPECT_EQ(PaletteEntryToRgb(kPowerOn[i].redBlue, kPowerOn[i].green),
                  Rgb(kPowerOn[i].r, kPowerOn[i].g, kPowerOn[i].b));
    }
}

TEST(PaletteEntryToRgb, WorkedValues) {
    struct Case {
        uint8_t redBlue, green;
        Rgb8 expected;
    };
    const Case cases[] = {
        {0xFF, 0xFF, Rgb(224, 224, 224)},  // ignored bits set: still level 7 everywhere
        {0x77, 0x07, Rgb(224, 224, 224)},
        {0x17, 0x01, Rgb(32, 32, 224)},
        {0x70, 0x00, Rgb(224, 0, 0)},
        {0x07, 0x00, Rgb(0, 0, 224)},
        {0x00, 0x07, Rgb(0, 224, 0)},
        {0x88, 0xF8, Rgb(0, 0, 0)},  // only ignored bits
        {0x10, 0x01, Rgb(32, 32, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.redBlue) + "," + std::to_string(c.green));
        EXPECT_EQ(PaletteEntryToRgb(c.redBlue, c.green), c.expected);
    }
}

// Every pair of register bytes: the ignored bits never matter, each level
// 0-7 becomes level x 32 (never 255).
TEST(PaletteEntryToRgb, AllRegisterValues) {
    for (unsigned rb = 0; rb < 256; ++rb) {
        for (unsigned g = 0; g < 256; ++g) {
            const Rgb8 c = PaletteEntryToRgb(static_cast<uint8_t>(rb), static_cast<uint8_t>(g));
            const Rgb8 expected = Rgb(((rb >> 4) & 7) * 32, (g & 7) * 32, (rb & 7) * 32);
            if (c != expected) {
                ADD_FAILURE() << "redBlue " << rb << " green " << g;
                return;
            }
        }
    }
}

TEST(Screen8ValueToRgb, WorkedValues) {
    struct Case {
        uint8_t v;
        Rgb8 expected;
    };
    const Case cases[] = {
        {0xFF, Rgb(224, 224, 192)}, {0x1C, Rgb(224, 0, 0)}, {0xE0, Rgb(0, 224, 0)}, {0x03, Rgb(0, 0, 192)},
        {0x49, Rgb(64, 64, 64)},    {0x00, Rgb(0, 0, 0)},   {0x01, Rgb(0, 0, 64)},  {0x04, Rgb(32, 0, 0)},
        {0x20, Rgb(0, 32, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.v));
        EXPECT_EQ(Screen8ValueToRgb(c.v), c.expected);
    }
}

// GGGRRRBB: 256 different colours; red and green in steps of 32 up to 224,
// blue in steps of 64 up to 192.
TEST(Screen8ValueToRgb, AllValues) {
    std::set<uint32_t> seen;
    for (unsigned v = 0; v < 256; ++v) {
        const Rgb8 c = Screen8ValueToRgb(static_cast<uint8_t>(v));
        EXPECT_EQ(c, Rgb(((v >> 2) & 7) * 32, (v >> 5) * 32, (v & 3) * 64)) << v;
        seen.insert(uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b);
    }
    EXPECT_EQ(seen.size(), 256u);
}

// The addresses of `vram` that no longer hold the filler byte 0xAA, which
// no power-on entry contains.
std::vector<int> ChangedAddresses(const std::vector<uint8_t>& vram) {
    std::vector<int> changed;
    for (int a = 0; a < static_cast<int>(vram.size()); ++a) {
        if (vram[static_cast<std::size_t>(a)] != 0xAA) changed.push_back(a);
    }
    return changed;
}

TEST(SeedDefaultPalette, WritesExactlyTheModesShare) {
    struct Case {
        unsigned screen;
        int address;
        int bytes;
    };
    const Case cases[] = {
        {5, 0x7680, 32}, {6, 0x7680, 8}, {7, 0xFA80, 32}, {8, 0, 0},  {10, 0xFA80, 32},
        {11, 0xFA80, 32}, {12, 0, 0},     {9, 0, 0},       {0, 0, 0}, {255, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        std::vector<uint8_t> vram(velda::VramBytes, 0xAA);
        velda::SeedDefaultPalette(static_cast<uint8_t>(c.screen), vram.data());
        const std::vector<int> changed = ChangedAddresses(vram);
        ASSERT_EQ(static_cast<int>(changed.size()), c.bytes);
        for (int i = 0; i < c.bytes; ++i) {
            EXPECT_EQ(changed[static_cast<std::size_t>(i)], c.address + i);
            EXPECT_EQ(vram[static_cast<std::size_t>(c.address + i)], DefaultPalette[i]);
        }
    }
}

TEST(SeedDefaultPalette, ModeSixLeavesEntriesFourToFifteen) {
    std::vector<uint8_t> vram(velda::VramBytes, 0xAA);
    velda::SeedDefaultPalette(6, vram.data());
    for (int a = 0x7688; a <= 0x769F; ++a) EXPECT_EQ(vram[static_cast<std::size_t>(a)], 0xAA) << std::hex << a;
    EXPECT_EQ(std::memcmp(vram.data() + 0x7680, DefaultPalette, 8), 0);
}

}  // namespace
