// The area filter of thumbnails, on small pictures whose means are worked
// out by hand, and the files that give no thumbnail.
#include "render/thumbnail.h"

#include <gtest/gtest.h>

#include <vector>

#include "render/picture_shapes.h"
#include "test_support.h"

namespace velda {
namespace {

// An RGB picture of one grey level per pixel, line by line.
Picture Greys(int width, int height, const std::vector<uint8_t>& levels) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.bitDepth = 24;
    picture.rowBytes = 3 * width;
    picture.pixels.resize(static_cast<std::size_t>(3) * width * height);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        for (int c = 0; c < 3; ++c) picture.pixels[3 * i + c] = levels[i];
    }
    return picture;
}

std::vector<uint8_t> GreysOf(const Picture& picture) {
    std::vector<uint8_t> levels;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) levels.push_back(PixelColor(picture, x, y).g);
    }
    return levels;
}

TEST(Thumbnail, AreaFilterTakesTheMeanOfWhatEachPixelCoversAndKeepsTheProportions) {
    std::vector<uint8_t> line512(512, 0);
    line512[5] = 255;  // one pixel thin: a quarter of the second of 128
    std::vector<uint8_t> expected128(128, 0);
    expected128[1] = 64;
    const struct {
        int width, height, maxSide;
        std::vector<uint8_t> in;
        int outWidth, outHeight;
        std::vector<uint8_t> out;
    } rows[] = {
        {2, 2, 1, {0, 255, 255, 255}, 1, 1, {191}},            // (0 + 3 x 255) / 4, rounded
        {3, 1, 2, {30, 60, 90}, 2, 1, {40, 80}},               // (2a + b) / 3 and (b + 2c) / 3
        {1, 3, 2, {30, 60, 90}, 1, 2, {40, 80}},               // the same down
        {512, 1, 128, line512, 128, 1, expected128},           // a thin line stays
        {2, 1, 128, {7, 9}, 2, 1, {7, 9}},                     // never made larger
        {5, 1, 2, {100, 100, 100, 100, 100}, 2, 1, {100, 100}},
        // the proportions kept, rounded (levels not looked at)
        {512, 424, 128, {}, 128, 106, {}},  {512, 424, 1024, {}, 512, 424, {}},
        {200, 424, 128, {}, 60, 128, {}},   {512, 424, 1, {}, 1, 1, {}},
    };
    for (const auto& row : rows) {
        Picture scaled;
        ScaleToFit(Greys(row.width, row.height, row.in), row.maxSide, scaled);
        EXPECT_EQ(scaled.width, row.outWidth);
        EXPECT_EQ(scaled.height, row.outHeight);
        if (!row.out.empty()) EXPECT_EQ(GreysOf(scaled), row.out) << row.width << " x " << row.height << " to " << row.maxSide;
    }
}

// Sizes worked out by hand: a page is shown 512 x 424, a COPY file's area
// of SCREEN 5 twice its size each way; sides rounded, never cut.
TEST(Thumbnail, SizesOfPagesAndCopyAreasRounded) {
    using velda_test::MakeBsave;
    using velda_test::NoiseBytes;
    const auto page = [](uint16_t bytes, uint32_t seed) { return MakeBsave(0, bytes - 1, NoiseBytes(bytes, seed)); };
    const std::vector<uint8_t> vram = NoiseBytes(0x8000, 5);
    const struct {
        const char* extension;
        std::vector<uint8_t> file;
        int sizes[3][2];  // at 96, 128 and 256
    } rows[] = {
        // 512 x 424 at 96: 96 x 79.5
        {"SC5", page(0x6A00, 1), {{96, 80}, {128, 106}, {256, 212}}},
        {"SC6", page(0x6A00, 2), {{96, 80}, {128, 106}, {256, 212}}},
        {"SC8", page(0xD400, 3), {{96, 80}, {128, 106}, {256, 212}}},
        {"SCC", page(0xD400, 4), {{96, 80}, {128, 106}, {256, 212}}},
        {"GL5", velda_test::MakeCopy(5, vram, 100, 100), {{96, 96}, {128, 128}, {200, 200}}},
        // 200 x 60 at 96: 96 x 28.8; at 128: 128 x 38.4
        {"GL5", velda_test::MakeCopy(5, vram, 100, 30), {{96, 29}, {128, 38}, {200, 60}}},
    };
    for (const auto& row : rows) {
        for (int i = 0; i < 3; ++i) {
            const int maxSide = i == 0 ? 96 : i == 1 ? 128 : 256;
            Picture thumbnail;
            ASSERT_FALSE(MakeThumbnail(row.file.data(), row.file.size(), {"A", row.extension}, nullptr, maxSide,
                                       thumbnail));
            EXPECT_EQ(thumbnail.width, row.sizes[i][0]) << row.extension << " at " << maxSide;
            EXPECT_EQ(thumbnail.height, row.sizes[i][1]) << row.extension << " at " << maxSide;
        }
    }
}

TEST(Thumbnail, FilesThatAreNoPictureGiveNone) {
    const std::vector<uint8_t> picture = velda_test::MakeBsave(0, 0x69FF, velda_test::NoiseBytes(0x6A00, 3));
    const std::vector<uint8_t> unmarked = velda_test::NoiseBytes(100, 4);
    const struct {
        const char* extension;
        const std::vector<uint8_t>& file;
        LoadFault fault;
    } rows[] = {
        {"PL5", picture, LoadFault::PaletteFileAlone},
        {"DSK", picture, LoadFault::UnknownExtension},
        {"TXT", picture, LoadFault::UnknownExtension},
        {"SC5", {}, LoadFault::Empty},
        {"SR7", unmarked, LoadFault::WrongFirstByte},
    };
    for (const auto& row : rows) {
        Picture thumbnail;
        thumbnail.width = 77;
        EXPECT_EQ(MakeThumbnail(row.file.data(), row.file.size(), {"A", row.extension}, nullptr, 128, thumbnail).fault,
                  row.fault)
            << row.extension;
        EXPECT_EQ(thumbnail.width, 77);
    }
}

}  // namespace
}  // namespace velda
