// Decoding the lines of every mode into the picture every front end shows
// and writes: where each pixel of a line comes from, worked values of the
// YJK modes, and what a line never reads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/picture.h"
#include "render/picture_shapes.h"
#include "test_support.h"

namespace {

using velda::Picture;
using velda::Rgb8;
using velda_test::NoiseBytes;

// A palette of 16 entries that all show different colours.
std::vector<uint8_t> MarkedPalette() {
    std::vector<uint8_t> palette;
    for (int i = 0; i < velda::PaletteSize; ++i) {
        palette.push_back(static_cast<uint8_t>(((i & 7) << 4) | (i >> 3)));
        palette.push_back(static_cast<uint8_t>(7 - (i & 7)));
    }
    return palette;
}

// The colour index of pixel (x, y) of an indexed picture.
int IndexAt(const Picture& picture, int x, int y) {
    const uint8_t* row = picture.Row(y);
    if (picture.bitDepth == 8) return row[x];
    return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
}

class PictureDecoding : public ::testing::Test {
protected:
    Picture Decode(uint8_t screen) {
        Picture picture;
        EXPECT_TRUE(velda::BuildPicture(screen, vram.data(), palette.data(), velda::ColorRule::Velda, picture));
        return picture;
    }
    // The indices of line y from column `from` on.
    std::vector<int> Indices(const Picture& picture, int y, int from, int count) {
        std::vector<int> indices;
        for (int x = from; x < from + count; ++x) indices.push_back(IndexAt(picture, x, y));
        return indices;
    }

    std::vector<uint8_t> vram = std::vector<uint8_t>(velda::VramBytes, 0);
    std::vector<uint8_t> palette = MarkedPalette();
};

// SCREEN 5 and 7: two pixels a byte, the left one in the high nibble;
// SCREEN 6: four, the leftmost in bits 7-6; line y at y x bytes per line.
TEST_F(PictureDecoding, PalettePixelsOfEachByte) {
    vram[0] = 0x1F;
    vram[127] = 0x9A;
    vram[128] = 0x3C;  // line 1 of SCREEN 5 and 6
    vram[256] = 0xA5;  // line 1 of SCREEN 7
    vram[511] = 0x70;
    const Picture five = Decode(5), six = Decode(6), seven = Decode(7);
    EXPECT_EQ(Indices(five, 0, 0, 3), (std::vector<int>{1, 15, 0}));
    EXPECT_EQ(Indices(five, 0, 254, 2), (std::vector<int>{9, 10}));
    EXPECT_EQ(Indices(five, 1, 0, 2), (std::vector<int>{3, 12}));
    EXPECT_EQ(Indices(six, 0, 0, 4), (std::vector<int>{0, 1, 3, 3}));
    EXPECT_EQ(Indices(six, 0, 508, 4), (std::vector<int>{2, 1, 2, 2}));
    EXPECT_EQ(Indices(six, 1, 0, 4), (std::vector<int>{0, 3, 3, 0}));
    EXPECT_EQ(Indices(seven, 1, 0, 2), (std::vector<int>{10, 5}));
    EXPECT_EQ(Indices(seven, 1, 510, 2), (std::vector<int>{7, 0}));
    EXPECT_EQ(Indices(seven, 0, 0, 2), (std::vector<int>{1, 15}));
    // The colours are the palette's entries; SCREEN 6 takes entries 0-3 only.
    EXPECT_EQ(velda::PixelColor(five, 1, 0), velda::PaletteEntryToRgb(palette[30], palette[31]));
    EXPECT_EQ(six.palette.size(), 4u);
}

TEST_F(PictureDecoding, Screen8PixelsAreTheirBytes) {
    vram = NoiseBytes(velda::VramBytes, 8);
    const Picture picture = Decode(8);
    for (int y : {0, 1, 105, 211}) {
        for (int x = 0; x < 256; ++x) ASSERT_EQ(IndexAt(picture, x, y), vram[y * 256 + x]) << x << "," << y;
    }
    EXPECT_EQ(velda::PixelColor(picture, 0, 0), velda::Screen8ValueToRgb(vram[0]));
}

TEST_F(PictureDecoding, YjkGroups) {
    const uint8_t white[4] = {0xF8, 0xF8, 0xF8, 0xF8};
    const uint8_t navy[4] = {0x07, 0x07, 0x00, 0x04};    // K -1, J -32, Y 0
    const uint8_t group[4] = {0x58, 0xF0, 0x00, 0x00};   // a palette pixel, then Y 30, 0, 0
    const uint8_t tinted[4] = {0x5F, 0xF0, 0x00, 0x00};  // K 7 from a palette pixel
    std::memcpy(&vram[0], white, 4);
    std::memcpy(&vram[4], navy, 4);
    std::memcpy(&vram[256 + 252], navy, 4);  // the last group of line 1
    const Picture twelve = Decode(12);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(velda::PixelColor(twelve, x, 0), (Rgb8{248, 248, 248})) << x;
    for (int x = 4; x < 8; ++x) EXPECT_EQ(velda::PixelColor(twelve, x, 0), (Rgb8{0, 0, 128})) << x;
    for (int x = 252; x < 256; ++x) EXPECT_EQ(velda::PixelColor(twelve, x, 1), (Rgb8{0, 0, 128})) << x;
    EXPECT_EQ(velda::PixelColor(twelve, 8, 0), (Rgb8{0, 0, 0}));

    std::memcpy(&vram[0], group, 4);
    std::memcpy(&vram[4], tinted, 4);
    const Rgb8 entry5 = velda::PaletteEntryToRgb(palette[10], palette[11]);
    for (uint8_t screen : {uint8_t{10}, uint8_t{11}}) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        const Picture picture = Decode(screen);
        const Rgb8 expected[] = {entry5, {240, 240, 248}, {0, 0, 0}, {0, 0, 0},
                                 entry5, {240, 248, 248}};  // G = 30 + 7 clamps to 31
        for (int x = 0; x < 6; ++x) EXPECT_EQ(velda::PixelColor(picture, x, 0), expected[x]) << x;
    }
}

// A byte set at the start of line y changes line y and no other.
TEST_F(PictureDecoding, LineYStartsAtYTimesBytesPerLine) {
    for (const auto [screen, bytesPerLine] : {std::pair<uint8_t, int>{5, 128}, {6, 128}, {7, 256}, {8, 256},
                                              {10, 256}, {12, 256}}) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        vram.assign(velda::VramBytes, 0);
        const Picture blank = Decode(screen);
        for (int y = 0; y < velda::ScreenLines; ++y) {
            vram[static_cast<std::size_t>(y * bytesPerLine)] = 0xFF;
            const Picture marked = Decode(screen);
            vram[static_cast<std::size_t>(y * bytesPerLine)] = 0x00;
            for (int line = 0; line < velda::ScreenLines; ++line) {
                const bool same = std::memcmp(marked.Row(line), blank.Row(line), marked.rowBytes) == 0;
                ASSERT_EQ(same, line != y) << "byte of line " << y << ", line " << line;
            }
        }
    }
}

// Bytes at and above the end of the pixel area never reach a pixel, while
// the last byte below it does; the sizes of each mode's picture.
TEST_F(PictureDecoding, NeverReadsBeyondThePixelArea) {
    // SCREEN 1-4: the last table a picture reads ends at SCREEN 1's colours
    // (0x201F), SCREEN 3's names (0x0AFF), SCREEN 2's and 4's colours (0x37FF).
    const struct {
        uint8_t screen;
        int limit, width, height;
    } cases[] = {{1, 0x2020, 256, 192},   {2, 0x3800, 256, 192},   {3, 0x0B00, 256, 192},
                 {4, 0x3800, 256, 192},   {5, 0x6A00, 256, 212},   {6, 0x6A00, 512, 212},
                 {7, 0xD400, 512, 212},   {8, 0xD400, 256, 212},   {10, 0xD400, 256, 212},
                 {11, 0xD400, 256, 212},  {12, 0xD400, 256, 212}};
    for (const auto& c : cases) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        vram = NoiseBytes(velda::VramBytes, c.screen);
        vram[0x1AFF] = 255;  // SCREEN 1, 2 and 4 show the last pattern at their bottom right
        const Picture clean = Decode(c.screen);
        EXPECT_EQ(clean.width, c.width);
        EXPECT_EQ(clean.height, c.height);
        for (uint8_t poison : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x5A}}) {
            std::fill(vram.begin() + c.limit, vram.end(), poison);
            EXPECT_TRUE(Decode(c.screen).pixels == clean.pixels) << "poison " << int{poison};
        }
        vram[static_cast<std::size_t>(c.limit - 1)] ^= 0xF7;
        EXPECT_FALSE(Decode(c.screen).pixels == clean.pixels) << "the last byte read";
    }
    Picture none;
    for (unsigned screen : {0u, 9u, 13u, 255u}) {
        EXPECT_FALSE(velda::BuildPicture(static_cast<uint8_t>(screen), vram.data(), palette.data(),
                                         velda::ColorRule::Velda, none));
    }
}

}  // namespace
