// The per-mode constants, checked column by column against the values that
// the MSX video-memory layout and the BMP format dictate (ExpectedModes).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "image/mode_table.h"
#include "test_support.h"

namespace {

using velda::FindMode;
using velda::ModeInfo;

TEST(ModeTable, EveryColumnOfEveryMode) {
    for (const velda_test::ExpectedMode& e : velda_test::ExpectedModes) {
        SCOPED_TRACE("SCREEN " + std::to_string(e.screen));
        const ModeInfo* m = FindMode(e.screen);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->screen, e.screen);
        EXPECT_EQ(m->bitsPerPixel, e.bitsPerPixel);
        EXPECT_EQ(m->width, e.width);
        EXPECT_EQ(m->bytesPerLine, e.bytesPerLine);
        EXPECT_EQ(m->pixelBytes, e.pixelBytes);
        EXPECT_EQ(m->clearBytes, e.clearBytes);
        EXPECT_EQ(m->paletteAddress, e.paletteAddress);
        EXPECT_EQ(m->paletteEntries, e.paletteEntries);
        EXPECT_EQ(m->bmpBitCount, e.bmpBitCount);
        EXPECT_EQ(m->bmpColorEntries, e.bmpColorEntries);
        EXPECT_EQ(m->bmpColorsUsed, e.bmpColorsUsed);
        EXPECT_EQ(m->bmpOffBits, e.bmpOffBits);
        EXPECT_EQ(m->bmpRowBytes, e.bmpRowBytes);
        EXPECT_EQ(m->bmpImageSize, e.bmpImageSize);
        EXPECT_EQ(m->bmpFileSize, e.bmpFileSize);
    }
}

// The rows are usable together: the picture never reaches the palette
// table, the table lies inside the cleared prefix, one line of pixels fills
// its bytes exactly, and a BMP row needs no filler.
TEST(ModeTable, LayoutFitsVideoMemoryAndBmpRows) {
    for (unsigned screen : velda::AllScreens) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        const ModeInfo* m = FindMode(screen);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->width * m->bitsPerPixel, m->bytesPerLine * 8);
        EXPECT_EQ(m->pixelBytes, velda::ScreenLines * m->bytesPerLine);
        EXPECT_LE(m->clearBytes, 0x10000);
        if (m->paletteEntries > 0) {
            EXPECT_GE(m->paletteAddress, m->pixelBytes);
            EXPECT_LE(m->paletteAddress + 2 * m->paletteEntries, m->clearBytes);
        } else {
            EXPECT_EQ(m->paletteAddress, velda::NoPaletteTable);
        }
        EXPECT_EQ(m->bmpRowBytes % 4, 0);
        EXPECT_EQ(m->bmpRowBytes * 8, m->width * m->bmpBitCount);
        EXPECT_LE(m->width, velda::CanvasWidth);
    }
}

TEST(ModeTable, OnlyTheSevenScreenNumbersAreModes) {
    const std::set<unsigned> modes = {5, 6, 7, 8, 10, 11, 12};
    for (unsigned screen = 0; screen < 300; ++screen) {
        SCOPED_TRACE(screen);
        EXPECT_EQ(FindMode(screen) != nullptr, modes.count(screen) == 1);
    }
    EXPECT_EQ(FindMode(9), nullptr);
    EXPECT_EQ(FindMode(0x105), nullptr);  // 5 in the low byte must not match
}

TEST(ModeTable, AllScreensInMenuOrder) {
    const uint8_t expected[] = {5, 6, 7, 8, 10, 11, 12};
    ASSERT_EQ(sizeof velda::AllScreens, sizeof expected);
    for (std::size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(velda::AllScreens[i], expected[i]);
}

}  // namespace
