// A small BMP reader for the tests, written apart from the writer so that
// a fault in the writer's layout cannot hide itself: it takes the file
// apart by byte offsets, checks that every header field is consistent with
// the file it sits in, and gives the pixels as 0x00BBGGRR colours with
// picture line 0 at the top.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bmp_test {

struct BmpImage {
    // BITMAPFILEHEADER
    uint16_t type = 0;
    uint32_t fileSize = 0;
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    uint32_t offBits = 0;
    // BITMAPINFOHEADER
    uint32_t infoSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;

    std::vector<std::array<uint8_t, 4>> colorTable;  // blue, green, red, reserved
    std::size_t rowBytes = 0;
    std::vector<std::vector<uint8_t>> rows;          // rows[y] is picture line y (top-down)

    // The palette index of pixel (x, y) in a 4- or 8-bit picture.
    unsigned Index(int x, int y) const {
        const std::vector<uint8_t>& row = rows[static_cast<std::size_t>(y)];
        if (bitCount == 8) return row[static_cast<std::size_t>(x)];
        const uint8_t b = row[static_cast<std::size_t>(x / 2)];
        return (x % 2 == 0) ? (b >> 4) : (b & 0x0Fu);
    }

    // The colour of pixel (x, y) as 0x00BBGGRR, through the colour table
    // for indexed pictures.
    uint32_t Color(int x, int y) const {
        if (bitCount == 24) {
            const uint8_t* p = &rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x) * 3];
            return static_cast<uint32_t>(p[2]) | (static_cast<uint32_t>(p[1]) << 8) |
                   (static_cast<uint32_t>(p[0]) << 16);
        }
        const std::array<uint8_t, 4>& q = colorTable[Index(x, y)];
        return static_cast<uint32_t>(q[2]) | (static_cast<uint32_t>(q[1]) << 8) | (static_cast<uint32_t>(q[0]) << 16);
    }
};

namespace detail {

inline uint32_t U16At(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8);
}

inline uint32_t U32At(const std::vector<uint8_t>& b, std::size_t at) {
    return U16At(b, at) | (U16At(b, at + 2) << 16);
}

}  // namespace detail

// Takes `bytes` apart into `image`. Returns "" when the file is a
// well-formed uncompressed BMP whose header fields all agree with each
// other and with the file's length, otherwise a description of the first
// problem found.
inline std::string ReadBmp(const std::vector<uint8_t>& bytes, BmpImage& image) {
    using detail::U16At;
    using detail::U32At;
    if (bytes.size() < 54) return "shorter than the two headers";

    image.type = static_cast<uint16_t>(U16At(bytes, 0));
    image.fileSize = U32At(bytes, 2);
    image.reserved1 = static_cast<uint16_t>(U16At(bytes, 6));
    image.reserved2 = static_cast<uint16_t>(U16At(bytes, 8));
    image.offBits = U32At(bytes, 10);
    image.infoSize = U32At(bytes, 14);
    image.width = static_cast<int32_t>(U32At(bytes, 18));
    image.height = static_cast<int32_t>(U32At(bytes, 22));
    image.planes = static_cast<uint16_t>(U16At(bytes, 26));
    image.bitCount = static_cast<uint16_t>(U16At(bytes, 28));
    image.compression = U32At(bytes, 30);
    image.sizeImage = U32At(bytes, 34);
    image.xPelsPerMeter = static_cast<int32_t>(U32At(bytes, 38));
    image.yPelsPerMeter = static_cast<int32_t>(U32At(bytes, 42));
    image.clrUsed = U32At(bytes, 46);
    image.clrImportant = U32At(bytes, 50);

    if (bytes[0] != 'B' || bytes[1] != 'M') return "no BM signature";
    if (image.fileSize != bytes.size()) return "bfSize differs from the file length";
    if (image.reserved1 != 0 || image.reserved2 != 0) return "reserved fields not zero";
    if (image.infoSize != 40) return "biSize is not 40";
    if (image.width <= 0) return "biWidth not positive";
    if (image.height <= 0) return "biHeight not positive (rows not bottom-up)";
    if (image.planes != 1) return "biPlanes is not 1";
    if (image.bitCount != 4 && image.bitCount != 8 && image.bitCount != 24) return "unexpected biBitCount";
    if (image.compression != 0) return "compressed";

    image.rowBytes = ((static_cast<std::size_t>(image.width) * image.bitCount + 31) / 32) * 4;
    const std::size_t imageBytes = image.rowBytes * static_cast<std::size_t>(image.height);
    if (image.sizeImage != imageBytes) return "biSizeImage differs from rows x row length";

    const std::size_t maxColors = image.bitCount == 24 ? 0 : (std::size_t{1} << image.bitCount);
    if (image.clrUsed > maxColors) return "biClrUsed above what the bit count allows";
    const std::size_t colors = image.clrUsed != 0 ? image.clrUsed : maxColors;
    if (image.clrImportant > colors) return "biClrImportant above the colour count";
    if (image.offBits != 54 + 4 * colors) return "bfOffBits does not follow the colour table";
    if (static_cast<std::size_t>(image.offBits) + imageBytes != bytes.size()) return "pixel data does not end the file";

    image.colorTable.clear();
    for (std::size_t i = 0; i < colors; ++i) {
        const std::size_t at = 54 + 4 * i;
        image.colorTable.push_back({bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]});
        if (bytes[at + 3] != 0) return "colour table reserved byte not zero";
    }

    // Stored bottom-up: the first row in the file is the last picture line.
    image.rows.assign(static_cast<std::size_t>(image.height), {});
    for (int32_t r = 0; r < image.height; ++r) {
        const std::size_t at = image.offBits + static_cast<std::size_t>(r) * image.rowBytes;
        image.rows[static_cast<std::size_t>(image.height - 1 - r)].assign(
            bytes.begin() + static_cast<std::ptrdiff_t>(at),
            bytes.begin() + static_cast<std::ptrdiff_t>(at + image.rowBytes));
    }

    if (image.bitCount != 24) {
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x) {
                if (image.Index(x, y) >= colors) return "pixel index beyond the colour table";
            }
        }
    }
    return "";
}

}  // namespace bmp_test
