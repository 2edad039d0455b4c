// The other shapes of a decoded picture, in every mode: woven pairs,
// blended pairs and the television size, each held pixel by pixel against
// the pictures it is made from.
#include "render/picture_shapes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "test_support.h"

namespace velda {
namespace {

using velda_test::NoiseBytes;

// The picture of noise video memory and a noise palette. Under the msx
// rule channels are odd as often as even, so blending rounds.
Picture NoisePicture(uint8_t screen, uint32_t seed) {
    const std::vector<uint8_t> vram = NoiseBytes(VramBytes, seed);
    const std::vector<uint8_t> palette = NoiseBytes(PaletteBytes, seed + 1);
    Picture picture;
    EXPECT_TRUE(BuildPicture(screen, vram.data(), palette.data(), ColorRule::Msx, picture));
    return picture;
}

std::string ModeName(uint8_t screen) { return "SCREEN " + std::to_string(screen); }

// A woven pair puts the first page on the even lines, the second on the
// odd ones, in the first's form and palette; a blended pair means the shown
// colours of both pages, through their own palettes, whatever their form.
TEST(PictureShapes, WovenAndBlendedPairs) {
    const auto mean = [](int a, int b) { return static_cast<uint8_t>((a + b + 1) / 2); };
    for (const uint8_t screen : AllScreens) {
        SCOPED_TRACE(ModeName(screen));
        const Picture first = NoisePicture(screen, 1), second = NoisePicture(screen, 2);
        Picture woven, blended;
        WeavePictures(first, second, woven);
        BlendPictures(first, second, blended);
        for (const Picture* pair : {&woven, &blended}) {
            EXPECT_EQ(pair->screen, screen);
            ASSERT_EQ(pair->width, first.width);
            ASSERT_EQ(pair->height, pair == &woven ? 2 * ScreenLines : ScreenLines);
            ASSERT_EQ(pair->bitDepth, pair == &woven ? first.bitDepth : 24);
            ASSERT_EQ(pair->pixels.size(), static_cast<std::size_t>(pair->rowBytes) * pair->height);
        }
        EXPECT_TRUE(woven.palette == first.palette);
        EXPECT_TRUE(blended.palette.empty());
        const auto rowBytes = static_cast<std::size_t>(first.rowBytes);
        for (int y = 0; y < ScreenLines; ++y) {
            ASSERT_EQ(std::memcmp(woven.Row(2 * y), first.Row(y), rowBytes), 0) << y;
            ASSERT_EQ(std::memcmp(woven.Row(2 * y + 1), second.Row(y), rowBytes), 0) << y;
            for (int x = 0; x < first.width; ++x) {
                const Rgb8 a = PixelColor(first, x, y), b = PixelColor(second, x, y);
                ASSERT_EQ(PixelColor(blended, x, y), (Rgb8{mean(a.r, b.r), mean(a.g, b.g), mean(a.b, b.b)}))
                    << x << ", " << y;
            }
        }
    }
}

TEST(PictureShapes, BlendRoundsHalvesUp) {
    // Two pixels a picture, differences odd and even, at both ends of a channel.
    Picture first, second, blended;
    for (Picture* p : {&first, &second}) {
        p->screen = 12;
        p->width = 2;
        p->height = 1;
        p->bitDepth = 24;
        p->rowBytes = 6;
    }
    first.pixels = {0, 0, 0, 255, 255, 255};
    second.pixels = {1, 2, 255, 254, 0, 3};
    BlendPictures(first, second, blended);
    EXPECT_EQ(blended.pixels, (std::vector<uint8_t>{1, 1, 128, 255, 128, 129}));
}

// 512 x 424 from 256 or 512 pixels and 212 or 424 lines, every pixel
// repeated whole; indexed pictures keep their indices and palette.
TEST(PictureShapes, TelevisionAspectRepeatsWholePixels) {
    for (const uint8_t screen : AllScreens) {
        const Picture first = NoisePicture(screen, 5), second = NoisePicture(screen, 6);
        Picture woven;
        WeavePictures(first, second, woven);
        const Picture* sources[] = {&first, &woven};
        for (const Picture* source : sources) {
            SCOPED_TRACE(ModeName(screen) + (source == &woven ? ", woven" : ""));
            Picture shown;
            TelevisionAspect(*source, shown);
            EXPECT_EQ(shown.screen, screen);
            ASSERT_EQ(shown.width, 512);
            ASSERT_EQ(shown.height, 424);
            ASSERT_EQ(shown.bitDepth, source->bitDepth);
            ASSERT_EQ(shown.rowBytes, 512 * source->bitDepth / 8);
            ASSERT_EQ(shown.pixels.size(), static_cast<std::size_t>(shown.rowBytes * 424));
            EXPECT_TRUE(shown.palette == source->palette);
            for (int y = 0; y < 424; ++y) {
                for (int x = 0; x < 512; ++x) {
                    ASSERT_EQ(PixelColor(shown, x, y),
                              PixelColor(*source, x * source->width / 512, y * source->height / 424))
                        << x << ", " << y;
                }
            }
        }
    }
}

}  // namespace
}  // namespace velda
