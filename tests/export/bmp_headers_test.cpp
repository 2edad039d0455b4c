// The two BMP headers: the fields each mode gets, and their bytes in the
// file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "export/bmp_headers.h"
#include "image/vram_image.h"
#include "render/picture.h"
#include "test_support.h"

namespace {

using velda::ExportHeadersRecord;
using velda::PrepareExportHeaders;
using velda::SerializeExportHeaders;

std::vector<uint8_t> Serialized(const ExportHeadersRecord& h) {
    std::vector<uint8_t> bytes(velda::BmpHeadersBytes + 1, 0xCC);  // one guard byte
    SerializeExportHeaders(h, bytes.data());
    EXPECT_EQ(bytes.back(), 0xCC) << "wrote beyond 54 bytes";
    bytes.pop_back();
    return bytes;
}

// The headers of a picture of the mode, as Save writes them.
ExportHeadersRecord HeadersOf(uint8_t screen) {
    const std::vector<uint8_t> vram(velda::VramBytes, 0), palette(velda::PaletteBytes, 0);
    velda::Picture picture;
    EXPECT_TRUE(velda::BuildPicture(screen, vram.data(), palette.data(), velda::ColorRule::Velda, picture));
    return PrepareExportHeaders(picture);
}

TEST(ExportHeaders, Screen5BytesExactly) {
    const ExportHeadersRecord h = HeadersOf(5);
    const std::vector<uint8_t> expected = {
        0x42, 0x4D,              // "BM"
        0x76, 0x6A, 0x00, 0x00,  // bfSize 27,254
        0x00, 0x00, 0x00, 0x00,  // reserved
        0x76, 0x00, 0x00, 0x00,  // bfOffBits 118
        0x28, 0x00, 0x00, 0x00,  // biSize 40
        0x00, 0x01, 0x00, 0x00,  // biWidth 256
        0xD4, 0x00, 0x00, 0x00,  // biHeight 212
        0x01, 0x00,              // biPlanes
        0x04, 0x00,              // biBitCount 4
        0x00, 0x00, 0x00, 0x00,  // BI_RGB
        0x00, 0x6A, 0x00, 0x00,  // biSizeImage 27,136
        0x00, 0x00, 0x00, 0x00,  // pels per metre
        0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00,  // biClrUsed 0
        0x00, 0x00, 0x00, 0x00,  // biClrImportant 0
    };
    EXPECT_EQ(Serialized(h), expected);
}

TEST(ExportHeaders, Screen6And10BytesExactly) {
    const std::pair<uint8_t, std::vector<uint8_t>> cases[] = {
        {6, {0x42, 0x4D, 0x46, 0xD4, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46, 0x00, 0x00, 0x00,
             0x28, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0xD4, 0x00, 0x00, 0x00, 0x01, 0x00,
             0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD4, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
             0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {10, {0x42, 0x4D, 0x36, 0x7C, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00,
              0x28, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xD4, 0x00, 0x00, 0x00, 0x01, 0x00,
              0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x7C, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
              0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) EXPECT_EQ(Serialized(HeadersOf(c.first)), c.second) << "SCREEN " << int{c.first};
}

// Every field of every mode.
TEST(ExportHeaders, EveryFieldOfEveryMode) {
    for (const velda_test::ExpectedMode& c : velda_test::ExpectedModes) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        const ExportHeadersRecord h = HeadersOf(c.screen);
        EXPECT_EQ(h.file.bfType, 0x4D42);
        EXPECT_EQ(h.file.bfSize, static_cast<uint32_t>(c.bmpFileSize));
        EXPECT_EQ(h.file.bfReserved1, 0);
        EXPECT_EQ(h.file.bfReserved2, 0);
        EXPECT_EQ(h.file.bfOffBits, static_cast<uint32_t>(c.bmpOffBits));
        EXPECT_EQ(h.info.biSize, 40u);
        EXPECT_EQ(h.info.biWidth, c.width);
        EXPECT_EQ(h.info.biHeight, 212);
        EXPECT_EQ(h.info.biPlanes, 1);
        EXPECT_EQ(h.info.biBitCount, c.bmpBitCount);
        EXPECT_EQ(h.info.biCompression, 0u);
        EXPECT_EQ(h.info.biSizeImage, static_cast<uint32_t>(c.bmpImageSize));
        EXPECT_EQ(h.info.biXPelsPerMeter, 0);
        EXPECT_EQ(h.info.biYPelsPerMeter, 0);
        EXPECT_EQ(h.info.biClrUsed, static_cast<uint32_t>(c.bmpColorsUsed));
        EXPECT_EQ(h.info.biClrImportant, 0u);
    }
}

// Each field goes to its own offset, low byte first, with no gap after
// bfType: distinct values in every field show a swap or a shift.
TEST(ExportHeaders, SerializationPlacesEveryField) {
    ExportHeadersRecord h;
    h.file = {0x0201, 0x06050403, 0x0807, 0x0A09, 0x0E0D0C0B};
    h.info = {0x1211100F, 0x16151413, 0x1A191817, 0x1C1B, 0x1E1D, 0x2221201F, 0x26252423,
              0x2A292827, 0x2E2D2C2B, 0x3231302F, 0x36353433};
    const std::vector<uint8_t> bytes = Serialized(h);
    for (int i = 0; i < velda::BmpHeadersBytes; ++i) EXPECT_EQ(bytes[static_cast<std::size_t>(i)], i + 1) << i;
}

}  // namespace
