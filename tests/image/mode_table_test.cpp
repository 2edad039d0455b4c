// The per-mode constants: the rows fit video memory and one another, and
// only the seven screen numbers are modes.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "image/mode_table.h"

namespace {

using velda::FindMode;
using velda::ModeInfo;

// The rows are usable together: the picture never reaches the palette
// table, the table lies inside the cleared prefix, and one line of pixels
// fills its bytes exactly.
TEST(ModeTable, LayoutFitsVideoMemory) {
    for (unsigned screen : velda::AllScreens) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        const ModeInfo* m = FindMode(screen);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->width * m->bitsPerPixel, m->bytesPerLine * 8);
        EXPECT_EQ(m->pixelBytes, velda::ScreenLines * m->bytesPerLine);
        EXPECT_LE(m->pixelBytes, m->clearBytes);
        EXPECT_LE(m->clearBytes, 0x10000);
        if (m->paletteEntries > 0) {
            EXPECT_GE(m->paletteAddress, m->pixelBytes);
            EXPECT_LE(m->paletteAddress + 2 * m->paletteEntries, m->clearBytes);
        } else {
            EXPECT_EQ(m->paletteAddress, velda::NoPaletteTable);
        }
        EXPECT_LE(m->width, velda::CanvasWidth);
    }
}

TEST(ModeTable, OnlyTheScreenNumbersShownAreModes) {
    const std::set<unsigned> modes = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12};
    for (unsigned screen = 0; screen < 300; ++screen) {
        SCOPED_TRACE(screen);
        EXPECT_EQ(FindMode(screen) != nullptr, modes.count(screen) == 1);
    }
    EXPECT_EQ(FindMode(0x105), nullptr);  // 5 in the low byte must not match
}

}  // namespace
