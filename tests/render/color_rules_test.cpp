// The colour rules of the converter on worked values.
#include "render/color_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "render/yjk.h"

namespace velda {
namespace {

TEST(MsxColorRule, LevelsStretchToTheFullRange) {
    // 3-bit level -> 5-bit level -> 8 bits.
    const struct {
        int level3, level5, value8;
    } rows[] = {
        {0, 0, 0}, {1, 4, 32}, {2, 9, 74}, {3, 13, 106}, {4, 18, 148}, {5, 22, 180}, {6, 27, 222}, {7, 31, 255},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.level3);
        EXPECT_EQ(Level3To5(row.level3), row.level5);
        EXPECT_EQ(Level5To8(row.level5), row.value8);
    }
    EXPECT_EQ(Level5To8(1), 8);    // 8.22 truncated
    EXPECT_EQ(Level5To8(30), 246);  // 246.77 truncated
    EXPECT_EQ(Screen8BlueTo3(0), 0);
    EXPECT_EQ(Screen8BlueTo3(1), 2);
    EXPECT_EQ(Screen8BlueTo3(2), 4);
    EXPECT_EQ(Screen8BlueTo3(3), 7);
}

TEST(MsxColorRule, PaletteEntries) {
    EXPECT_EQ(PaletteEntryColor(ColorRule::Msx, 0x77, 0x07), (Rgb8{255, 255, 255}));  // level 7 is 255
    EXPECT_EQ(PaletteEntryColor(ColorRule::Msx, 0x22, 0x02), (Rgb8{74, 74, 74}));     // level 2 is 74
    EXPECT_EQ(PaletteEntryColor(ColorRule::Msx, 0x27, 0x03), (Rgb8{74, 106, 255}));
    EXPECT_EQ(PaletteEntryColor(ColorRule::Msx, 0xFF, 0xFF), (Rgb8{255, 255, 255}));  // ignored bits masked
    EXPECT_EQ(PaletteEntryColor(ColorRule::Msx, 0x00, 0x00), (Rgb8{0, 0, 0}));
}

TEST(MsxColorRule, Screen8Values) {
    EXPECT_EQ(Screen8Color(ColorRule::Msx, 0x03), (Rgb8{0, 0, 255}));    // blue 3 -> level 7
    EXPECT_EQ(Screen8Color(ColorRule::Msx, 0x01), (Rgb8{0, 0, 74}));     // blue 1 -> level 2
    EXPECT_EQ(Screen8Color(ColorRule::Msx, 0x02), (Rgb8{0, 0, 148}));    // blue 2 -> level 4
    EXPECT_EQ(Screen8Color(ColorRule::Msx, 0x1C), (Rgb8{255, 0, 0}));    // red bits 4-2
    EXPECT_EQ(Screen8Color(ColorRule::Msx, 0xE0), (Rgb8{0, 255, 0}));    // green bits 7-5
    EXPECT_EQ(Screen8Color(ColorRule::Msx, 0xFF), (Rgb8{255, 255, 255}));
    EXPECT_EQ(Screen8Color(ColorRule::Msx, 0x49), (Rgb8{74, 74, 74}));
}

TEST(MsxColorRule, YjkWorkedValues) {
    const struct {
        int y, j, k, r, g, b;
    } rows[] = {
        {1, 0, 2, 1, 3, 1},          // (5 - 2 + 2) / 4 = 1; VELDA truncates 0.75 to 0
        {0, 0, 0, 0, 0, 0},
        {31, 0, 0, 31, 31, 31},      // 157 / 4 clamped
        {10, 3, -5, 13, 5, 12},      // 51 / 4
        {25, 0, 0, 25, 25, 31},
        {16, 31, 31, 31, 31, 0},     // negative blue clamped
        {0, -32, -32, 0, 0, 24},     // 98 / 4
        {2, 0, 3, 2, 5, 2},          // 9 / 4: rounds where VELDA gives 1
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "Y=" << row.y << " J=" << row.j << " K=" << row.k);
        const Rgb5 c = MsxYjkToRgb5(row.y, row.j, row.k);
        EXPECT_EQ(c.r, row.r);
        EXPECT_EQ(c.g, row.g);
        EXPECT_EQ(c.b, row.b);
        EXPECT_EQ(YjkColor(ColorRule::Msx, row.y, row.j, row.k),
                  (Rgb8{Level5To8(row.r), Level5To8(row.g), Level5To8(row.b)}));
    }
    EXPECT_EQ(YjkColor(ColorRule::Msx, 1, 0, 2).b, 8);
    EXPECT_EQ(YjkColor(ColorRule::Velda, 1, 0, 2).b, 0);
}

TEST(MsxColorRule, BlueNeverLeavesTheFiveBitRange) {
    for (int y = 0; y < 32; ++y) {
        for (int j = -32; j < 32; ++j) {
            for (int k = -32; k < 32; ++k) {
                const Rgb5 c = MsxYjkToRgb5(y, j, k);
                ASSERT_GE(c.b, 0);
                ASSERT_LE(c.b, 31);
                // Never more than half a level away from VELDA's truncation.
                ASSERT_LE(c.b - YjkToRgb(y, j, k).b, 1);
            }
        }
    }
}

// The velda rule shifts levels into 8 bits and never stretches them.
// The MSX1's colours worked out from the TMS9918A data book's voltages
// (luminance, R-Y, B-Y) at 54 % saturation, as openMSX shows them at
// gamma 1.0.
TEST(Msx1ColorRule, TheDataBooksVoltages) {
    constexpr double Volts[16][3] = {
        {0.00, 0.47, 0.47}, {0.00, 0.47, 0.47}, {0.53, 0.07, 0.20}, {0.67, 0.17, 0.27},
        {0.40, 0.40, 1.00}, {0.53, 0.43, 0.93}, {0.47, 0.83, 0.30}, {0.73, 0.00, 0.70},
        {0.53, 0.93, 0.27}, {0.67, 0.93, 0.27}, {0.73, 0.57, 0.07}, {0.80, 0.57, 0.17},
        {0.47, 0.13, 0.23}, {0.53, 0.73, 0.67}, {0.80, 0.47, 0.47}, {1.00, 0.47, 0.47},
    };
    const auto level = [](double v) { return static_cast<uint8_t>(std::clamp(std::lround(v * 255), 0L, 255L)); };
    for (int i = 0; i < 16; ++i) {
        const double y = Volts[i][0], pr = (Volts[i][1] - 0.5) * 0.54, pb = (Volts[i][2] - 0.5) * 0.54;
        EXPECT_EQ(Msx1Color(i), (Rgb8{level(y + 1.402 * pr), level(y - 0.344 * pb - 0.714 * pr), level(y + 1.722 * pb)}))
            << "colour " << i;
    }
}

TEST(VeldaColorRule, LevelsShiftedNeverStretched) {
    EXPECT_EQ(PaletteEntryColor(ColorRule::Velda, 0x77, 0x07), (Rgb8{224, 224, 224}));
    EXPECT_EQ(Screen8Color(ColorRule::Velda, 0x03), (Rgb8{0, 0, 192}));
    EXPECT_EQ(YjkColor(ColorRule::Velda, 31, 0, 0), (Rgb8{248, 248, 248}));
    EXPECT_EQ(YjkColor(ColorRule::Velda, 10, 3, -5), (Rgb8{104, 40, 96}));
}

}  // namespace
}  // namespace velda
