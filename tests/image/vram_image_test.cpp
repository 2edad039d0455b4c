// The MSX palette, the power-on palette, the two colour rules and the
// seeding of the palette table.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "export/bmp_headers.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "test_support.h"

namespace {

using velda::ColorRef;
using velda::DefaultPalette;
using velda::PaletteEntryToRgb;
using velda::Screen8ValueToRgb;

constexpr ColorRef Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

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
        EXPECT_EQ(velda::PaletteColor(DefaultPalette, i), Rgb(kPowerOn[i].r, kPowerOn[i].g, kPowerOn[i].b));
    }
}

TEST(PaletteEntryToRgb, WorkedValues) {
    struct Case {
        uint8_t redBlue, green;
        ColorRef expected;
    };
    const Case cases[] = {
        {0xFF, 0xFF, 0x00E0E0E0},  // ignored bits set: still level 7 everywhere
        {0x77, 0x07, 0x00E0E0E0},
        {0x17, 0x01, Rgb(32, 32, 224)},
        {0x70, 0x00, Rgb(224, 0, 0)},
        {0x07, 0x00, Rgb(0, 0, 224)},
        {0x00, 0x07, Rgb(0, 224, 0)},
        {0x88, 0xF8, 0x00000000},  // only ignored bits
        {0x10, 0x01, Rgb(32, 32, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.redBlue) + "," + std::to_string(c.green));
        EXPECT_EQ(PaletteEntryToRgb(c.redBlue, c.green), c.expected);
    }
}

// Every pair of register bytes: the ignored bits never matter, each level
// 0-7 becomes level x 32 (never 255), and the top byte stays zero.
TEST(PaletteEntryToRgb, AllRegisterValues) {
    for (unsigned rb = 0; rb < 256; ++rb) {
        for (unsigned g = 0; g < 256; ++g) {
            const ColorRef c = PaletteEntryToRgb(static_cast<uint8_t>(rb), static_cast<uint8_t>(g));
            const ColorRef expected = Rgb(((rb >> 4) & 7) * 32, (g & 7) * 32, (rb & 7) * 32);
            if (c != expected) {
                ADD_FAILURE() << "redBlue " << rb << " green " << g << ": " << std::hex << c;
                return;
            }
        }
    }
}

TEST(Screen8ValueToRgb, WorkedValues) {
    struct Case {
        uint8_t v;
        ColorRef expected;
    };
    const Case cases[] = {
        {0xFF, 0x00C0E0E0}, {0x1C, 0x000000E0}, {0xE0, 0x0000E000}, {0x03, 0x00C00000},
        {0x49, 0x00404040}, {0x00, 0x00000000}, {0x01, 0x00400000}, {0x04, 0x00000020},
        {0x20, 0x00002000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.v));
        EXPECT_EQ(Screen8ValueToRgb(c.v), c.expected);
    }
}

// GGGRRRBB: 256 different colours; red and green in steps of 32 up to 224,
// blue in steps of 64 up to 192.
TEST(Screen8ValueToRgb, AllValues) {
    std::set<ColorRef> seen;
    for (unsigned v = 0; v < 256; ++v) {
        const ColorRef c = Screen8ValueToRgb(static_cast<uint8_t>(v));
        EXPECT_EQ(c, Rgb(((v >> 2) & 7) * 32, (v >> 5) * 32, (v & 3) * 64)) << v;
        seen.insert(c);
    }
    EXPECT_EQ(seen.size(), 256u);
}

TEST(ColorRef, ChannelsRoundTrip) {
    const ColorRef c = velda::MakeColorRef(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x00563412u);
    EXPECT_EQ(velda::RedOf(c), 0x12);
    EXPECT_EQ(velda::GreenOf(c), 0x34);
    EXPECT_EQ(velda::BlueOf(c), 0x56);
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

// The colour table of each mode: which entries are built and from what.
TEST(BuildColorTable, EntriesPerMode) {
    uint8_t palette[velda::PaletteBytes];
    for (int i = 0; i < velda::PaletteBytes; ++i) palette[i] = static_cast<uint8_t>(i * 37 + 5);

    struct Case {
        unsigned screen;
        int paletteEntries;  // built from the palette
        bool screen8;
    };
    const Case cases[] = {{5, 16, false}, {6, 4, false},  {7, 16, false}, {8, 0, true},
                          {10, 16, false}, {11, 16, false}, {12, 0, false}, {9, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        std::vector<ColorRef> table(256, 0xDEADBEEF);
        velda::BuildColorTable(static_cast<uint8_t>(c.screen), palette, table.data());
        for (int i = 0; i < 256; ++i) {
            const auto at = static_cast<std::size_t>(i);
            if (c.screen8) {
                EXPECT_EQ(table[at], Screen8ValueToRgb(static_cast<uint8_t>(i))) << i;
            } else if (i < c.paletteEntries) {
                EXPECT_EQ(table[at], PaletteEntryToRgb(palette[2 * i], palette[2 * i + 1])) << i;
            } else {
                EXPECT_EQ(table[at], 0xDEADBEEFu) << i;
            }
        }
    }
}

}  // namespace
