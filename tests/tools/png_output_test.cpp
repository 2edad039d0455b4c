// PNG output read back with libpng and compared with the BMP of the same
// picture, read with the tests' own BMP reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "export/bmp_writer.h"
#include "fixtures.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "image_readers.h"
#include "test_support.h"
#include "tools/convert.h"
#include "render/picture.h"
#include "export/png_writer.h"
#include "platform/names.h"

namespace velda {
namespace {

using velda_test::DecodedImage;

// The PNG shows what the BMP shows. A palette picture keeps its indices
// and colour table; a YJK picture is indexed exactly when it has at most
// 256 colours, so that it shows them with a third of the bytes.
void ExpectSamePicture(const DecodedImage& png, const DecodedImage& bmp, uint8_t screen) {
    const ModeInfo* mode = FindMode(screen);
    EXPECT_EQ(png.width, mode->width);
    EXPECT_EQ(png.height, IsPatternScreen(screen) ? 192 : 212);
    EXPECT_EQ(png.width, bmp.width);
    ASSERT_EQ(png.pixels.size(), bmp.pixels.size());
    if (bmp.indexed) {
        EXPECT_TRUE(png.indexed);
        EXPECT_EQ(png.bitDepth, bmp.bitDepth);
        EXPECT_EQ(png.colors, bmp.colors);
        EXPECT_EQ(png.pixels, bmp.pixels);
        return;
    }
    const std::set<uint32_t> colors(bmp.pixels.begin(), bmp.pixels.end());
    EXPECT_EQ(png.indexed, colors.size() <= 256) << colors.size() << " colours";
    if (png.indexed) EXPECT_EQ(png.colors.size(), colors.size());
    for (std::size_t i = 0; i < png.pixels.size(); ++i) {
        ASSERT_EQ(velda_test::ShownColor(png, i), velda_test::ShownColor(bmp, i))
            << "pixel " << i % png.width << ", " << i / png.width;
    }
}

class PngOutput : public testing::Test {
protected:
    void SetUp() override {
        if (!PngAvailable()) GTEST_SKIP() << "built without libdeflate: no PNG";
    }
};

TEST_F(PngOutput, EveryModeAndRuleMatchesTheBmp) {
    for (ColorRule rule : {ColorRule::Velda, ColorRule::Msx, ColorRule::Msx1}) {
        for (uint8_t screen : EveryScreen) {
            // Noise, and a few groups repeated: a YJK picture of a few colours.
            for (std::size_t repeat : {VramBytes, std::size_t{64}}) {
                SCOPED_TRACE(testing::Message() << "SCREEN " << int{screen}
                                                << " rule " << static_cast<int>(rule) << " every " << repeat);
                std::vector<uint8_t> vram = velda_test::NoiseBytes(VramBytes, 31u * screen);
                for (std::size_t i = repeat; i < vram.size(); ++i) vram[i] = vram[i % repeat];
                const std::vector<uint8_t> palette = velda_test::NoiseBytes(PaletteBytes, 37u * screen);
                Picture picture;
                ASSERT_TRUE(BuildPicture(screen, vram.data(), palette.data(), rule, picture));

                std::vector<uint8_t> png;
                ASSERT_FALSE(EncodePng(picture, png));
                std::vector<uint8_t> bmp;
                velda_test::MemorySink sink{bmp};
                EncodeBmp(sink, picture, PrepareExportHeaders(picture));

                DecodedImage fromPng, fromBmp;
                ASSERT_EQ(velda_test::ReadPng(png, fromPng), "");
                ASSERT_EQ(velda_test::ReadBmp(bmp, fromBmp), "");
                ExpectSamePicture(fromPng, fromBmp, screen);
            }
        }
    }
}

TEST_F(PngOutput, ConverterPngMatchesConverterBmp) {
    const std::string folder = velda_test::FreshFolder("png-vs-bmp");
    for (uint8_t screen : EveryScreen) {
        SCOPED_TRACE(static_cast<int>(screen));
        const std::string input = folder + "/noise.bin";
        velda_test::WriteFile(input, velda_test::NoiseBsave(screen, 41u * screen));
        ConvertSettings settings;
        settings.screen = screen;
        settings.force = true;
        ASSERT_EQ(ConvertFile(input, folder + "/out.bmp", settings).status, ConvertStatus::Converted);
        settings.format = OutputFormat::Png;
        ASSERT_EQ(ConvertFile(input, folder + "/out.png", settings).status, ConvertStatus::Converted);

        DecodedImage fromPng, fromBmp;
        ASSERT_EQ(velda_test::ReadPng(velda_test::ReadFile(folder + "/out.png"), fromPng), "");
        ASSERT_EQ(velda_test::ReadBmp(velda_test::ReadFile(folder + "/out.bmp"), fromBmp), "");
        ExpectSamePicture(fromPng, fromBmp, screen);
    }
}

TEST_F(PngOutput, CorpusFilesMatchTheirBmp) {
    const std::string corpus = velda_test::CorpusDir();
    if (corpus.empty()) GTEST_SKIP() << "no corpus beside the checkout";
    const std::string folder = velda_test::FreshFolder("corpus-png");
    for (const std::string& name : velda_test::FolderEntries(corpus)) {
        const uint8_t screen = TypeOfExtension(SplitPath(name).extension).screen;
        if (screen == 0) continue;
        SCOPED_TRACE(name);
        ConvertSettings settings;
        settings.force = true;
        ASSERT_EQ(ConvertFile(corpus + "/" + name, folder + "/out.bmp", settings).status, ConvertStatus::Converted);
        settings.format = OutputFormat::Png;
        ASSERT_EQ(ConvertFile(corpus + "/" + name, folder + "/out.png", settings).status, ConvertStatus::Converted);
        DecodedImage fromPng, fromBmp;
        ASSERT_EQ(velda_test::ReadPng(velda_test::ReadFile(folder + "/out.png"), fromPng), "");
        ASSERT_EQ(velda_test::ReadBmp(velda_test::ReadFile(folder + "/out.bmp"), fromBmp), "");
        ExpectSamePicture(fromPng, fromBmp, screen);
    }
}

// A picture no PNG holds as it is, or one whose rows are shorter than its
// size says, is refused before any row is read, and leaves no bytes.
TEST_F(PngOutput, UnwritablePicturesAreRefused) {
    const struct {
        uint8_t screen;
        void (*fault)(Picture&);
    } faults[] = {
        {8, [](Picture& p) { p.bitDepth = 3; }},  // no PNG has 3-bit pixels
        {5, [](Picture& p) { p.palette.resize(17); }},  // more entries than 4 bits index
        {8, [](Picture& p) { p.palette.clear(); }},
        {5, [](Picture& p) { p.rowBytes -= 1; }},
        {12, [](Picture& p) { p.pixels.pop_back(); }},
        {8, [](Picture& p) { p = Picture{}; }},
    };
    const std::vector<uint8_t> vram = velda_test::NoiseBytes(VramBytes, 5);
    for (const auto& [screen, fault] : faults) {
        Picture picture;
        ASSERT_TRUE(BuildPicture(screen, vram.data(), DefaultPalette, ColorRule::Velda, picture));
        fault(picture);
        std::vector<uint8_t> bytes = {1, 2, 3};
        EXPECT_TRUE(EncodePng(picture, bytes)) << int{screen};
        EXPECT_TRUE(bytes.empty());
    }
}

}  // namespace
}  // namespace velda
