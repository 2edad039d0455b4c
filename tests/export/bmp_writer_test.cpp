// The BMP files that Save writes: layout, colour tables and pixels of each
// mode, read back with an independent reader and compared with the picture
// they were written from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <cstring>
#include <string>
#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "image_readers.h"
#include "render/picture.h"
#include "render/picture_shapes.h"
#include "test_support.h"

namespace {

using velda_test::DecodedImage;
using velda_test::ReadBmp;
using velda_test::NoiseBytes;

// The BMP of `vram` in a mode, as Save writes it.
std::vector<uint8_t> Encode(uint8_t screen, const std::vector<uint8_t>& vram, const uint8_t* palette) {
    return velda_test::SavedBmp(screen, vram.data(), palette);
}

// Where the row of picture line y starts in the file.
std::size_t RowOffset(uint8_t screen, int y) {
    const velda_test::ExpectedMode& m = velda_test::ExpectedModeOf(screen);
    return static_cast<std::size_t>(m.bmpOffBits) + static_cast<std::size_t>(211 - y) * static_cast<std::size_t>(m.bmpRowBytes);
}

class BmpWriter : public ::testing::Test {
protected:
    std::vector<uint8_t> vram = std::vector<uint8_t>(velda::VramBytes, 0);
    uint8_t palette[velda::PaletteBytes] = {};
};

// Every mode: the size, and every header field as an independent reader
// sees it.
TEST_F(BmpWriter, EveryModeIsAWellFormedFileOfItsSize) {
    vram = NoiseBytes(velda::VramBytes, 1);
    std::memcpy(palette, velda::DefaultPalette, sizeof palette);
    for (const velda_test::ExpectedMode& c : velda_test::ExpectedModes) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        const std::vector<uint8_t> bytes = Encode(c.screen, vram, palette);
        EXPECT_EQ(bytes.size(), static_cast<std::size_t>(c.bmpFileSize));
        DecodedImage image;
        ASSERT_EQ(ReadBmp(bytes, image), "");
        EXPECT_EQ(image.bmp.fileSize, static_cast<uint32_t>(c.bmpFileSize));
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, 212);
        EXPECT_EQ(image.bitDepth, c.bmpBitCount);
        EXPECT_EQ(image.bmp.offBits, static_cast<uint32_t>(c.bmpOffBits));
        EXPECT_EQ(image.bmp.clrUsed, static_cast<uint32_t>(c.bmpColorsUsed));
        EXPECT_EQ(image.bmp.clrImportant, 0u);
        EXPECT_EQ(image.bmp.xPelsPerMeter, 0u);
        EXPECT_EQ(image.bmp.yPelsPerMeter, 0u);
        EXPECT_EQ(image.colors.size(), static_cast<std::size_t>(c.bmpColorEntries));
    }
}

TEST_F(BmpWriter, Screen5FileBeginsWithItsHeaders) {
    const std::vector<uint8_t> bytes = Encode(5, vram, palette);
    const uint8_t expected[] = {0x42, 0x4D, 0x76, 0x6A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                0x76, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00, 0x00, 0x01,
                                0x00, 0x00, 0xD4, 0x00, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00};
    ASSERT_GE(bytes.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(bytes.data(), expected, sizeof expected), 0);
}

// Line y is marked with its own number: the first row in the file must be
// line 211 and the last line 0.
TEST_F(BmpWriter, RowsAreStoredBottomUp) {
    for (uint8_t screen : {uint8_t{5}, uint8_t{7}, uint8_t{8}}) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        const int bytesPerLine = velda::FindMode(screen)->bytesPerLine;
        vram.assign(velda::VramBytes, 0);
        for (int y = 0; y < 212; ++y) {
            for (int x = 0; x < bytesPerLine; ++x) vram[static_cast<std::size_t>(y * bytesPerLine + x)] = static_cast<uint8_t>(y);
        }
        const std::vector<uint8_t> bytes = Encode(screen, vram, palette);
        const std::size_t first = RowOffset(screen, 211);
        EXPECT_EQ(bytes[first], 211);
        EXPECT_EQ(bytes[bytes.size() - 1], 0);
        for (int y = 0; y < 212; ++y) {
            const std::size_t at = RowOffset(screen, y);
            for (int x = 0; x < bytesPerLine; ++x) ASSERT_EQ(bytes[at + static_cast<std::size_t>(x)], y) << "line " << y;
        }
    }
    // 24 bits: SCREEN 12 luminance y / 8 in line y, so the rows differ.
    vram.assign(velda::VramBytes, 0);
    for (int y = 0; y < 212; ++y) {
        for (int x = 0; x < 256; ++x) vram[static_cast<std::size_t>(y * 256 + x)] = static_cast<uint8_t>((y / 7) << 3);
    }
    const std::vector<uint8_t> bytes = Encode(12, vram, palette);
    for (int y = 0; y < 212; ++y) {
        const uint8_t level = static_cast<uint8_t>(((y / 7) & 31) << 3);
        ASSERT_EQ(bytes[RowOffset(12, y) + 1], level) << "line " << y;  // green of the first pixel
    }
}

TEST_F(BmpWriter, Screen6WidensEveryPixelToFourBits) {
    for (int v = 0; v < 256; ++v) vram[static_cast<std::size_t>(v)] = static_cast<uint8_t>(v);  // lines 0 and 1
    vram[0] = 0xE4;
    const std::vector<uint8_t> bytes = Encode(6, vram, palette);
    ASSERT_EQ(bytes.size(), 54342u);
    EXPECT_EQ(bytes[10], 70);  // bfOffBits: 16 bytes of colour table
    const std::size_t line0 = RowOffset(6, 0);
    EXPECT_EQ(line0, 70u + 211u * 256u);
    EXPECT_EQ(bytes[line0], 0x32);
    EXPECT_EQ(bytes[line0 + 1], 0x10);
    for (int v = 1; v < 256; ++v) {
        const std::size_t at = RowOffset(6, v / 128) + static_cast<std::size_t>(2 * (v % 128));
        const unsigned p0 = v >> 6, p1 = (v >> 4) & 3, p2 = (v >> 2) & 3, p3 = v & 3;
        ASSERT_EQ(bytes[at], (p0 << 4) | p1) << v;
        ASSERT_EQ(bytes[at + 1], (p2 << 4) | p3) << v;
    }
}

TEST_F(BmpWriter, Screen6ColourTableHasFourEntries) {
    const uint8_t entries[8] = {0x77, 0x07, 0x17, 0x01, 0x70, 0x00, 0x01, 0x05};
    std::memcpy(palette, entries, 8);
    std::memset(palette + 8, 0x33, sizeof palette - 8);  // entries 4-15 must not appear
    const std::vector<uint8_t> bytes = Encode(6, vram, palette);
    const uint8_t table[16] = {0xE0, 0xE0, 0xE0, 0, 0xE0, 0x20, 0x20, 0, 0x00, 0x00, 0xE0, 0, 0x20, 0xA0, 0x00, 0};
    EXPECT_EQ(std::memcmp(bytes.data() + 54, table, sizeof table), 0);
    EXPECT_EQ(bytes[70], 0x00);  // first pixel byte of line 211
}

TEST_F(BmpWriter, Screen5And7ColourTableFromThePalette) {
    for (uint8_t screen : {uint8_t{5}, uint8_t{7}}) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        std::memcpy(palette, velda::DefaultPalette, sizeof palette);
        palette[2 * 15] = 0x77;
        palette[2 * 15 + 1] = 0x07;
        palette[2 * 3] = 0x17;
        palette[2 * 3 + 1] = 0x01;
        palette[2 * 9] = 0xFF;  // ignored bits set
        palette[2 * 9 + 1] = 0xF8;
        const std::vector<uint8_t> bytes = Encode(screen, vram, palette);
        const uint8_t white[4] = {0xE0, 0xE0, 0xE0, 0x00};
        const uint8_t blue[4] = {0xE0, 0x20, 0x20, 0x00};
        const uint8_t magenta[4] = {0xE0, 0x00, 0xE0, 0x00};
        const uint8_t green[4] = {0x20, 0xC0, 0x20, 0x00};  // power-on entry 2
        EXPECT_EQ(std::memcmp(bytes.data() + 54 + 4 * 15, white, 4), 0);
        EXPECT_EQ(std::memcmp(bytes.data() + 54 + 4 * 3, blue, 4), 0);
        EXPECT_EQ(std::memcmp(bytes.data() + 54 + 4 * 9, magenta, 4), 0);
        EXPECT_EQ(std::memcmp(bytes.data() + 54 + 4 * 2, green, 4), 0);
    }
}

TEST_F(BmpWriter, Screen8FixedColourTable) {
    std::memcpy(palette, velda::DefaultPalette, sizeof palette);  // must not matter
    const std::vector<uint8_t> bytes = Encode(8, vram, palette);
    struct Case {
        int index;
        uint8_t quad[4];
    };
    const Case cases[] = {{0xFF, {0xC0, 0xE0, 0xE0, 0}}, {0x1C, {0x00, 0x00, 0xE0, 0}},
                          {0x03, {0xC0, 0x00, 0x00, 0}}, {0xE0, {0x00, 0xE0, 0x00, 0}},
                          {0x49, {0x40, 0x40, 0x40, 0}}, {0x00, {0, 0, 0, 0}}};
    for (const Case& c : cases) {
        EXPECT_EQ(std::memcmp(bytes.data() + 54 + 4 * c.index, c.quad, 4), 0) << c.index;
    }
    for (int i = 0; i < 256; ++i) {
        const velda::Rgb8 rgb = velda::Screen8ValueToRgb(static_cast<uint8_t>(i));
        const uint8_t quad[4] = {rgb.b, rgb.g, rgb.r, 0};
        EXPECT_EQ(std::memcmp(bytes.data() + 54 + 4 * i, quad, 4), 0) << i;
    }
}

TEST_F(BmpWriter, Screen12WhiteGroupIsTwelveF8Bytes) {
    const uint8_t group[4] = {0xF8, 0xF8, 0xF8, 0xF8};
    std::memcpy(vram.data(), group, 4);
    const std::vector<uint8_t> bytes = Encode(12, vram, palette);
    const std::size_t at = RowOffset(12, 0);
    for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(bytes[at + i], 0xF8) << i;
    EXPECT_EQ(bytes[at + 12], 0);
    // K -1, J -32, Y 0: blue 16 << 3, green and red 0.
    const uint8_t navy[4] = {0x07, 0x07, 0x00, 0x04};
    std::memcpy(vram.data() + 256 * 211 + 252, navy, 4);
    const std::vector<uint8_t> again = Encode(12, vram, palette);
    const std::size_t last = RowOffset(12, 211) + 252 * 3;
    for (std::size_t i = 0; i < 12; i += 3) {
        EXPECT_EQ(again[last + i], 0x80);
        EXPECT_EQ(again[last + i + 1], 0x00);
        EXPECT_EQ(again[last + i + 2], 0x00);
    }
}

TEST_F(BmpWriter, Screen10PaletteAndYjkPixels) {
    std::memcpy(palette, velda::DefaultPalette, sizeof palette);
    palette[2 * 5] = 0x53;  // red 5, blue 3, green 6
    palette[2 * 5 + 1] = 0x06;
    const uint8_t group[4] = {0x58, 0xF0, 0x00, 0x00};
    std::memcpy(vram.data(), group, 4);
    for (uint8_t screen : {uint8_t{10}, uint8_t{11}}) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        const std::vector<uint8_t> bytes = Encode(screen, vram, palette);
        const uint8_t expected[12] = {0x60, 0xC0, 0xA0, 0xF8, 0xF0, 0xF0, 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(std::memcmp(bytes.data() + RowOffset(screen, 0), expected, sizeof expected), 0);
    }
}

TEST_F(BmpWriter, Screens10And11GiveIdenticalFiles) {
    vram = NoiseBytes(velda::VramBytes, 10);
    std::memcpy(palette, NoiseBytes(sizeof palette, 11).data(), sizeof palette);
    EXPECT_TRUE(Encode(10, vram, palette) == Encode(11, vram, palette));
}

// The saved file shows the picture the window draws: load a file through
// the loader, make its picture as the window does, and compare with the
// pixels the reader finds in the BMP.
void ExpectFileMatchesCanvas(const velda::ScreenPage& page) {
    const std::vector<uint8_t> bytes = Encode(page.screen, page.vram, page.palette);
    DecodedImage image;
    ASSERT_EQ(ReadBmp(bytes, image), "");
    const velda::Picture picture = velda::MakePicture(velda::ViewOf(page), velda::PictureOptions{});
    ASSERT_EQ(picture.width, image.width);
    int mismatches = 0;
    for (int y = 0; y < velda::ScreenLines; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const velda::Rgb8 c = velda_test::ShownColor(image, static_cast<std::size_t>(y * picture.width + x));
            if (c != velda::PixelColor(picture, x, y) && mismatches++ < 5) ADD_FAILURE() << "pixel " << x << "," << y;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(BmpWriter, FileAndCanvasAgreeInEveryMode) {
    for (uint8_t screen : velda::AllScreens) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        std::vector<uint8_t> data = NoiseBytes(0xFAA0, screen);
        // Palette tables in register form with the ignored bits set at times.
        for (int i = 0; i < 32; ++i) {
            data[static_cast<std::size_t>(0x7680 + i)] = static_cast<uint8_t>(i * 0x35 + 3);
            data[static_cast<std::size_t>(0xFA80 + i)] = static_cast<uint8_t>(i * 0x5B + 1);
        }
        velda::ScreenPage page;
        ASSERT_TRUE(velda_test::OpenBsave(screen, velda_test::MakeBsave(0, 0xFA9F, data), page));
        ExpectFileMatchesCanvas(page);
    }
}

TEST_F(BmpWriter, FileAndCanvasAgreeOnTheCorpus) {
    const std::string dir = velda_test::CorpusDir();
    if (dir.empty()) GTEST_SKIP() << "no corpus of real pictures beside the checkout";
    struct Case {
        const char* name;
        uint8_t screen;
    };
    const Case cases[] = {
        {"aoineko-fr_msxgl_PALETTE.SC5", 5},      {"sfranck72_msx-graphics_v20.SC5", 5},
        {"nataliapc_aseprite_msx_OC.SC6", 6},     {"nataliapc_aseprite_msx_COVER-33.SC7", 7},
        {"aoineko-fr_msxgl_PALETTE.SC8", 8},      {"nataliapc_aseprite_msx_HELICOPT.SCA", 10},
        {"nataliapc_aseprite_msx_DOGGY.SCA", 11}, {"aoineko-fr_msxgl_PALETTE.S12", 12},
        {"amaurycarvalho_msxbas2rom_TESTCARD.sc5", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        velda::ScreenPage page;
        ASSERT_TRUE(velda_test::OpenBsave(c.screen, velda_test::ReadFile(dir + "/" + c.name), page));
        ExpectFileMatchesCanvas(page);
    }
}

}  // namespace
