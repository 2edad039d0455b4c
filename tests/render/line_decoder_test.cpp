// Decoding picture lines of every mode into display colours, and the
// progress title shown before each line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/line_decoder.h"
#include "render/yjk.h"
#include "test_support.h"

namespace {

using velda::ColorRef;
using velda::DecodeLine;
using velda_test::NoiseBytes;

constexpr ColorRef Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }
constexpr ColorRef kUnwritten = 0xFFFFFFFFu;  // no decoder produces a top byte

// A colour table whose entries are all different and easy to recognise.
std::vector<ColorRef> MarkedTable() {
    std::vector<ColorRef> table(velda::ColorTableSize);
    for (unsigned i = 0; i < table.size(); ++i) table[i] = 0x00100000u + i * 0x0101u;
    return table;
}

class LineDecoder : public ::testing::Test {
protected:
    LineDecoder() : vram(velda::VramBytes, 0), table(MarkedTable()), out(velda::CanvasWidth, kUnwritten) {}

    int Decode(uint8_t screen, int y) {
        out.assign(velda::CanvasWidth, kUnwritten);
        return DecodeLine(screen, vram.data(), table.data(), y, out.data());
    }

    std::vector<uint8_t> vram;
    std::vector<ColorRef> table;
    std::vector<ColorRef> out;
};

TEST_F(LineDecoder, Screen5TwoPixelsPerByteLeftInHighNibble) {
    vram[0] = 0x1F;
    vram[127] = 0x9A;
    vram[128] = 0x3C;  // first byte of line 1
    ASSERT_EQ(Decode(5, 0), 256);
    EXPECT_EQ(out[0], table[1]);
    EXPECT_EQ(out[1], table[15]);
    EXPECT_EQ(out[2], table[0]);
    EXPECT_EQ(out[254], table[9]);
    EXPECT_EQ(out[255], table[10]);
    EXPECT_EQ(out[256], kUnwritten);
    EXPECT_EQ(out[511], kUnwritten);
    ASSERT_EQ(Decode(5, 1), 256);
    EXPECT_EQ(out[0], table[3]);
    EXPECT_EQ(out[1], table[12]);
}

TEST_F(LineDecoder, Screen6FourPixelsPerByteLeftInTopBits) {
    vram[0] = 0xE4;
    vram[127] = 0x1B;
    vram[128] = 0x93;  // line 1: 10 01 00 11
    ASSERT_EQ(Decode(6, 0), 512);
    EXPECT_EQ(out[0], table[3]);
    EXPECT_EQ(out[1], table[2]);
    EXPECT_EQ(out[2], table[1]);
    EXPECT_EQ(out[3], table[0]);
    EXPECT_EQ(out[508], table[0]);
    EXPECT_EQ(out[509], table[1]);
    EXPECT_EQ(out[510], table[2]);
    EXPECT_EQ(out[511], table[3]);
    ASSERT_EQ(Decode(6, 1), 512);
    EXPECT_EQ(out[0], table[2]);
    EXPECT_EQ(out[1], table[1]);
    EXPECT_EQ(out[2], table[0]);
    EXPECT_EQ(out[3], table[3]);
    // Only entries 0-3 are ever used.
    vram = NoiseBytes(velda::VramBytes, 6);
    for (int y = 0; y < velda::ScreenLines; ++y) {
        Decode(6, y);
        for (ColorRef c : out) ASSERT_TRUE(c == table[0] || c == table[1] || c == table[2] || c == table[3]);
    }
}

TEST_F(LineDecoder, Screen7TwoHundredFiftySixBytesPerLine) {
    vram[256] = 0xA5;
    vram[511] = 0x70;
    ASSERT_EQ(Decode(7, 1), 512);
    EXPECT_EQ(out[0], table[10]);
    EXPECT_EQ(out[1], table[5]);
    EXPECT_EQ(out[510], table[7]);
    EXPECT_EQ(out[511], table[0]);
    ASSERT_EQ(Decode(7, 0), 512);
    EXPECT_EQ(out[0], table[0]);
}

TEST_F(LineDecoder, Screen8EachByteIndexesTheTable) {
    vram = NoiseBytes(velda::VramBytes, 8);
    for (int y : {0, 1, 105, 211}) {
        SCOPED_TRACE(y);
        ASSERT_EQ(Decode(8, y), 256);
        for (int x = 0; x < 256; ++x) ASSERT_EQ(out[x], table[vram[y * 256 + x]]) << x;
        for (int x = 256; x < 512; ++x) ASSERT_EQ(out[x], kUnwritten) << x;
    }
}

TEST_F(LineDecoder, Screen12Groups) {
    const uint8_t white[4] = {0xF8, 0xF8, 0xF8, 0xF8};
    const uint8_t navy[4] = {0x07, 0x07, 0x00, 0x04};  // K -1, J -32, Y 0
    std::memcpy(&vram[0], white, 4);
    std::memcpy(&vram[4], navy, 4);
    std::memcpy(&vram[256 + 252], navy, 4);  // last group of line 1
    ASSERT_EQ(Decode(12, 0), 256);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], 0x00F8F8F8u) << i;
    for (int i = 4; i < 8; ++i) EXPECT_EQ(out[i], Rgb(0, 0, 128)) << i;
    EXPECT_EQ(out[8], 0u);
    EXPECT_EQ(out[256], kUnwritten);
    ASSERT_EQ(Decode(12, 1), 256);
    for (int i = 252; i < 256; ++i) EXPECT_EQ(out[i], Rgb(0, 0, 128)) << i;
    EXPECT_EQ(out[0], 0u);
}

TEST_F(LineDecoder, Screen12NeverReadsTheColourTable) {
    vram = NoiseBytes(velda::VramBytes, 12);
    std::vector<ColorRef> first(256);
    for (int y = 0; y < velda::ScreenLines; y += 7) {
        Decode(12, y);
        first.assign(out.begin(), out.begin() + 256);
        table.assign(velda::ColorTableSize, 0x00123456u);
        Decode(12, y);
        ASSERT_TRUE(std::equal(first.begin(), first.end(), out.begin())) << y;
        table = MarkedTable();
    }
}

TEST_F(LineDecoder, Screen10And11Groups) {
    const uint8_t group[4] = {0x58, 0xF0, 0x00, 0x00};
    const uint8_t tinted[4] = {0x5F, 0xF0, 0x00, 0x00};  // K 7 from a palette pixel
    std::memcpy(&vram[0], group, 4);
    std::memcpy(&vram[4], tinted, 4);
    for (uint8_t screen : {uint8_t{10}, uint8_t{11}}) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        ASSERT_EQ(Decode(screen, 0), 256);
        EXPECT_EQ(out[0], table[5]);
        EXPECT_EQ(out[1], Rgb(240, 240, 248));
        EXPECT_EQ(out[2], 0u);
        EXPECT_EQ(out[3], 0u);
        EXPECT_EQ(out[4], table[5]);
        EXPECT_EQ(out[5], Rgb(240, 248, 248));  // G = 30 + 7 clamps to 31
        EXPECT_EQ(out[256], kUnwritten);
    }
}

TEST_F(LineDecoder, Screens10And11DecodeIdentically) {
    vram = NoiseBytes(velda::VramBytes, 1011);
    for (int y = 0; y < velda::ScreenLines; ++y) {
        Decode(10, y);
        const std::vector<ColorRef> ten = out;
        Decode(11, y);
        ASSERT_TRUE(ten == out) << y;
    }
}

// A byte marked at the start of line y changes line y and neither of its
// neighbours.
TEST_F(LineDecoder, LineYStartsAtYTimesBytesPerLine) {
    struct Case {
        uint8_t screen;
        int bytesPerLine;
    };
    for (const Case c : {Case{5, 128}, Case{6, 128}, Case{7, 256}, Case{8, 256}, Case{10, 256}, Case{12, 256}}) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        vram.assign(velda::VramBytes, 0);
        Decode(c.screen, 0);
        const std::vector<ColorRef> blank = out;
        for (int y = 0; y < velda::ScreenLines; ++y) {
            const std::size_t at = static_cast<std::size_t>(y * c.bytesPerLine);
            vram[at] = 0xFF;
            Decode(c.screen, y);
            ASSERT_NE(out[0], blank[0]) << "line " << y;
            for (int other : {y - 1, y + 1}) {
                if (other < 0 || other >= velda::ScreenLines) continue;
                Decode(c.screen, other);
                ASSERT_TRUE(out == blank) << "line " << other << " saw the start of line " << y;
            }
            vram[at] = 0x00;
        }
    }
}

// Bytes at and above the end of the pixel area never reach a pixel, while
// the last byte below it does.
TEST_F(LineDecoder, NeverReadsBeyondThePixelArea) {
    struct Case {
        uint8_t screen;
        int limit;
    };
    const Case cases[] = {{5, 0x6A00}, {6, 0x6A00}, {7, 0xD400}, {8, 0xD400},
                          {10, 0xD400}, {11, 0xD400}, {12, 0xD400}};
    for (const Case& c : cases) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        vram = NoiseBytes(velda::VramBytes, c.screen);
        std::vector<std::vector<ColorRef>> clean;
        for (int y = 0; y < velda::ScreenLines; ++y) {
            Decode(c.screen, y);
            clean.push_back(out);
        }
        for (uint8_t poison : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x5A}}) {
            for (std::size_t a = static_cast<std::size_t>(c.limit); a < vram.size(); ++a) vram[a] = poison;
            for (int y = 0; y < velda::ScreenLines; ++y) {
                Decode(c.screen, y);
                ASSERT_TRUE(out == clean[static_cast<std::size_t>(y)]) << "line " << y << " poison " << int{poison};
            }
        }
        // The last pixel byte belongs to line 211.
        const std::size_t last = static_cast<std::size_t>(c.limit - 1);
        vram[last] = 0x00;
        Decode(c.screen, 211);
        const std::vector<ColorRef> zero = out;
        vram[last] = 0xF7;
        Decode(c.screen, 211);
        EXPECT_FALSE(out == zero);
    }
}

TEST_F(LineDecoder, WidthsAndNonModes) {
    const std::pair<unsigned, int> widths[] = {{5, 256}, {6, 512}, {7, 512}, {8, 256},
                                                 {10, 256}, {11, 256}, {12, 256}, {9, 0},
                                                 {0, 0},   {4, 0},   {13, 0},  {255, 0}};
    for (const auto& w : widths) {
        SCOPED_TRACE("SCREEN " + std::to_string(w.first));
        EXPECT_EQ(Decode(static_cast<uint8_t>(w.first), 0), w.second);
        int written = 0;
        for (ColorRef c : out) written += c != kUnwritten;
        EXPECT_EQ(written, w.second);
    }
}

TEST(ProgressTitle, WorkedLines) {
    struct Case {
        int y;
        const char* text;
    };
    const Case cases[] = {{0, "VELDA  0%"},   {1, "VELDA  0%"},   {2, "VELDA  0%"},  {3, "VELDA  1%"},
                          {105, "VELDA 49%"}, {106, "VELDA 50%"}, {209, "VELDA 98%"}, {210, "VELDA 99%"},
                          {211, "VELDA 99%"}};
    for (const Case& c : cases) {
        char text[16];
        std::memset(text, 'x', sizeof text);
        velda::FormatProgressTitle(c.y, text, sizeof text);
        EXPECT_STREQ(text, c.text) << "line " << c.y;
    }
}

// One title per line: 212 of them, never 100%, every percentage from 0 to
// 99 shown and the percentages never going back.
TEST(ProgressTitle, AllLines) {
    std::set<int> percents;
    int previous = -1;
    for (int y = 0; y < velda::ScreenLines; ++y) {
        const int p = velda::ProgressPercent(y);
        EXPECT_GE(p, previous);
        previous = p;
        percents.insert(p);
        char text[16];
        velda::FormatProgressTitle(y, text, sizeof text);
        char expected[16];
        std::snprintf(expected, sizeof expected, "VELDA %2d%%", p);
        EXPECT_STREQ(text, expected);
        EXPECT_EQ(std::strlen(text), 9u) << y;
        EXPECT_EQ(std::string(text).find("100"), std::string::npos);
    }
    EXPECT_EQ(percents.size(), 100u);
    EXPECT_EQ(*percents.begin(), 0);
    EXPECT_EQ(*percents.rbegin(), 99);
}

}  // namespace
