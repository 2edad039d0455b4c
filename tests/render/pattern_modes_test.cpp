// SCREEN 1-4: the palette a dump's table gives, and when a file fills the
// sprite tables. Every pixel of each mode is held to a reading of its
// tables made pixel by pixel by fuzz_sprites, over its seeds in every test
// run (and the last byte each mode reads by PictureDecoding).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/picture_file.h"
#include "image/vram_image.h"
#include "render/picture.h"
#include "test_support.h"

namespace {

using velda_test::NoiseBytes;

// The palette of a dump that reaches its mode's palette table: taken when
// the table holds one, the power-on palette otherwise.
TEST(PatternModes, PaletteFromTheTableOnlyWhenItHoldsOne) {
    std::vector<uint8_t> own;
    for (int i = 0; i < 16; ++i) {
        own.push_back(static_cast<uint8_t>(((i & 7) << 4) | (7 - (i & 7))));
        own.push_back(static_cast<uint8_t>(i >> 1));
    }
    std::vector<uint8_t> redBlueBit = own, greenBit = own, zeros(32, 0);
    redBlueBit[30] |= 0x08;
    greenBit[5] |= 0x10;
    const std::vector<uint8_t> power(velda::DefaultPalette, velda::DefaultPalette + 32);
    const struct Row {
        const char* what;
        uint8_t screen;
        int tableAt, end;
        const std::vector<uint8_t>& table;
        const std::vector<uint8_t>& palette;
    } rows[] = {
        {"SCREEN 1 at 0x2020", 1, 0x2020, 0x3FFF, own, own},
        {"SCREEN 2 at 0x1B80", 2, 0x1B80, 0x3FFF, own, own},
        {"SCREEN 3 at 0x2020", 3, 0x2020, 0x3FFF, own, own},
        {"SCREEN 4 at 0x1B80", 4, 0x1B80, 0x3FFF, own, own},
        {"SCREEN 2 at SCREEN 1's place", 2, 0x2020, 0x3FFF, own, power},
        {"an unused red-blue bit", 2, 0x1B80, 0x3FFF, redBlueBit, power},
        {"an unused green bit", 1, 0x2020, 0x3FFF, greenBit, power},
        {"every entry zero", 2, 0x1B80, 0x3FFF, zeros, power},
        {"the dump stops before the table", 2, 0x1B80, 0x1B7F, own, power},
        {"SCREEN 5 keeps a table of zeros", 5, 0x7680, 0x769F, zeros, zeros},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<uint8_t> vram = NoiseBytes(velda::VramBytes, row.screen);
        std::copy(row.table.begin(), row.table.end(), vram.begin() + row.tableAt);
        const std::vector<uint8_t> data(vram.begin(), vram.begin() + row.end + 1);
        velda::ScreenPage page;
        ASSERT_TRUE(velda_test::OpenBsave(row.screen, velda_test::MakeBsave(0, static_cast<uint16_t>(row.end), data),
                                          page));
        EXPECT_EQ(std::vector<uint8_t>(page.palette, page.palette + 32), row.palette);
    }
}

// Sprites are drawn only over a file that filled every sprite table of its
// mode: the attributes (with sprite mode 2's colours below them) and the
// 2 KiB of patterns.
TEST(PatternModes, SpriteTablesFilledByTheFile) {
    const struct {
        uint8_t screen;
        uint16_t start, end;
        bool filled;
    } rows[] = {
        {2, 0x0000, 0x3FFF, true},  {2, 0x0000, 0x37FF, false}, {2, 0x1B00, 0x3FFF, true},
        {2, 0x1B01, 0x3FFF, false}, {1, 0x0000, 0x3FFE, false}, {3, 0x0000, 0x3FFF, true},
        {4, 0x1C00, 0x3FFF, true},  {4, 0x1C01, 0x3FFF, false}, {5, 0x0000, 0x7FFF, true},
        {5, 0x0000, 0x769F, false}, {6, 0x7400, 0x7FFF, true},  {8, 0xF000, 0xFA7F, true},
        {8, 0x0000, 0xFA7E, false}, {8, 0xF001, 0xFFFF, false}, {12, 0x0000, 0xFFFF, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("SCREEN " + std::to_string(row.screen) + " from " + std::to_string(row.start) + " to " +
                     std::to_string(row.end));
        velda::ScreenPage page;
        const std::vector<uint8_t> data(static_cast<std::size_t>(row.end - row.start + 1), 0x11);
        ASSERT_TRUE(velda_test::OpenBsave(row.screen, velda_test::MakeBsave(row.start, row.end, data), page));
        EXPECT_EQ(page.spriteTables, row.filled);
    }
    // A page saved without its header, 16 KiB from address 0, fills them.
    velda::PictureRequest request;
    request.name = velda::PictureName{"PAGE", "SC2"};
    const std::vector<uint8_t> page16k(0x4000, 0x22);
    velda::ScreenPage page;
    ASSERT_FALSE(velda::OpenPicture(page16k.data(), page16k.size(), request, page));
    EXPECT_TRUE(page.spriteTables);
}

}  // namespace
