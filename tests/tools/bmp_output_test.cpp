// The converter's BMP files against the core writer that Save uses.
#include <gtest/gtest.h>

#include <cstring>

#include "export/bmp_writer.h"
#include "fixtures.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "image/vram_image.h"
#include "platform/names.h"
#include "image_readers.h"
#include "test_support.h"
#include "tools/convert.h"
#include "render/picture.h"

namespace velda {
namespace {

using velda_test::DecodedImage;

// Converts `file` (written to disk under `name`) and returns the output.
std::vector<uint8_t> Convert(const std::vector<uint8_t>& file, const std::string& name,
                             const ConvertSettings& settings) {
    const std::string folder = velda_test::FreshFolder("bmp-" + name);
    const std::string input = folder + "/" + name;
    velda_test::WriteFile(input, file);
    const std::string output = folder + "/out";
    const Outcome outcome = ConvertFile(input, output, settings);
    EXPECT_EQ(outcome.status, ConvertStatus::Converted) << velda_test::Said(outcome);
    return velda_test::ReadFile(output);
}

TEST(PictureLayout, PerMode) {
    const std::vector<uint8_t> vram(VramBytes, 0);
    for (const velda_test::ExpectedMode& row : velda_test::ExpectedModes) {
        SCOPED_TRACE(static_cast<int>(row.screen));
        Picture picture;
        ASSERT_TRUE(BuildPicture(row.screen, vram.data(), DefaultPalette, ColorRule::Velda, picture));
        EXPECT_EQ(picture.width, row.width);
        EXPECT_EQ(picture.height, 212);
        EXPECT_EQ(picture.bitDepth, row.bmpBitCount);
        EXPECT_EQ(static_cast<int>(picture.palette.size()), row.bmpColorEntries);
        EXPECT_EQ(picture.rowBytes, row.bmpRowBytes);
        EXPECT_EQ(picture.pixels.size(), static_cast<std::size_t>(row.bmpRowBytes) * 212);
    }
    Picture untouched;
    EXPECT_FALSE(BuildPicture(9, vram.data(), DefaultPalette, ColorRule::Velda, untouched));
    EXPECT_EQ(untouched.width, 0);
}

TEST(BmpOutput, ConverterWritesWhatSaveWrites) {
    for (uint8_t screen : AllScreens) {
        SCOPED_TRACE(static_cast<int>(screen));
        const std::vector<uint8_t> file = velda_test::NoiseBsave(screen, 7u * screen);
        const std::vector<uint8_t> expected = velda_test::ReferenceBmp(screen, file);
        ConvertSettings settings;
        settings.screen = screen;
        EXPECT_EQ(Convert(file, "noise.bin", settings), expected);
    }
}

TEST(BmpOutput, PixelDataOnlyFilesGetThePowerOnPalette) {
    // SCREEN 10 pixel data only: palette pixels show DefaultPalette colours.
    std::vector<uint8_t> pixels(0xD400, 0x58);  // every pixel: palette entry 5
    const std::vector<uint8_t> file = velda_test::MakeBsave(0, 0xD3FF, pixels);
    ConvertSettings settings;
    settings.screen = 10;
    const std::vector<uint8_t> bmp = Convert(file, "pal.S10", settings);
    ASSERT_EQ(bmp.size(), 162870u);
    EXPECT_EQ(bmp[54], 0xE0);  // entry 5 = 0x27 0x03: blue 224, green 96, red 64
    EXPECT_EQ(bmp[55], 0x60);
    EXPECT_EQ(bmp[56], 0x40);
}

TEST(BmpOutput, MsxColoursChangeOnlyColours) {
    for (uint8_t screen : AllScreens) {
        SCOPED_TRACE(static_cast<int>(screen));
        const std::vector<uint8_t> file = velda_test::NoiseBsave(screen, 11u * screen);
        ConvertSettings settings;
        settings.screen = screen;
        DecodedImage velda, msx;
        ASSERT_EQ(velda_test::ReadBmp(Convert(file, "v.bin", settings), velda), "");
        settings.colors = ColorRule::Msx;
        ASSERT_EQ(velda_test::ReadBmp(Convert(file, "m.bin", settings), msx), "");

        EXPECT_EQ(msx.width, velda.width);
        EXPECT_EQ(msx.bitDepth, velda.bitDepth);
        EXPECT_EQ(msx.colors.size(), velda.colors.size());
        if (velda.indexed) {
            EXPECT_EQ(msx.pixels, velda.pixels);  // same indices
            // The file's own palette, as an Open captures it.
            ScreenPage page;
            ASSERT_TRUE(velda_test::OpenBsave(screen, file, page));
            for (std::size_t i = 0; i < msx.colors.size(); ++i) {
                const Rgb8 want = screen == 8 ? Screen8Color(ColorRule::Msx, static_cast<uint8_t>(i))
                                              : PaletteEntryColor(ColorRule::Msx, page.palette[2 * i],
                                                                  page.palette[2 * i + 1]);
                ASSERT_EQ(msx.colors[i], want) << i;
            }
        } else {
            EXPECT_NE(msx.pixels, velda.pixels);
        }
    }
}

TEST(BmpOutput, MsxColoursOfYjkGroups) {
    // SCREEN 12 group 0xF8 x 4: Y = 31, J = K = 0; SCREEN 10 group
    // 0x58 0xF0 0x00 0x00: palette entry 5, then Y = 30, then black.
    std::vector<uint8_t> data(0xFAA0, 0);
    const uint8_t screen12[] = {0xF8, 0xF8, 0xF8, 0xF8};
    std::memcpy(data.data(), screen12, 4);
    Picture picture;
    ASSERT_TRUE(BuildPicture(12, data.data(), DefaultPalette, ColorRule::Msx, picture));
    for (int i = 0; i < 12; ++i) EXPECT_EQ(picture.Row(0)[i], 255) << i;
    ASSERT_TRUE(BuildPicture(12, data.data(), DefaultPalette, ColorRule::Velda, picture));
    for (int i = 0; i < 12; ++i) EXPECT_EQ(picture.Row(0)[i], 248) << i;

    const uint8_t screen10[] = {0x58, 0xF0, 0x00, 0x00};
    std::memcpy(data.data(), screen10, 4);
    ASSERT_TRUE(BuildPicture(10, data.data(), DefaultPalette, ColorRule::Msx, picture));
    const uint8_t msx[12] = {255, 106, 74, 255, 246, 246, 0, 0, 0, 0, 0, 0};  // blue, green, red
    EXPECT_EQ(std::memcmp(picture.Row(0), msx, 12), 0);
    ASSERT_TRUE(BuildPicture(10, data.data(), DefaultPalette, ColorRule::Velda, picture));
    const uint8_t velda[12] = {224, 96, 64, 248, 240, 240, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(picture.Row(0), velda, 12), 0);
}

TEST(BmpOutput, CorpusFilesAsSaveWritesThem) {
    const std::string corpus = velda_test::CorpusDir();
    if (corpus.empty()) GTEST_SKIP() << "no corpus beside the checkout";
    int checked = 0;
    for (const std::string& name : velda_test::FolderEntries(corpus)) {
        const uint8_t screen = TypeOfExtension(SplitPath(name).extension).screen;
        if (screen == 0) continue;
        SCOPED_TRACE(name);
        const std::string output = velda_test::FreshFolder("corpus-bmp") + "/out.bmp";
        const Outcome outcome = ConvertFile(corpus + "/" + name, output, ConvertSettings{});
        ASSERT_EQ(outcome.status, ConvertStatus::Converted) << velda_test::Said(outcome);
        EXPECT_EQ(velda_test::ReadFile(output), velda_test::ReferenceBmp(screen, velda_test::ReadFile(corpus + "/" + name)));
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace velda
