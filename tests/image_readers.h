// Independent readers for the tests, written apart from the writers so
// that a fault in a writer's layout cannot hide itself: a small BMP reader
// that checks every header field against the file it sits in, and a PNG
// reader on libpng. Both give the picture as one value per pixel, top line
// first: the colour index for indexed pictures, 0xRRGGBB for true-colour
// ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/color_rules.h"

namespace velda_test {

// BMP header fields beyond the picture's size and depth, as the file holds
// them.
struct BmpFields {
    uint32_t fileSize = 0;
    uint32_t offBits = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
    uint32_t xPelsPerMeter = 0;
    uint32_t yPelsPerMeter = 0;
};

struct DecodedImage {
    int width = 0;
    int height = 0;
    int bitDepth = 0;  // BMP: bits per pixel; PNG: bits per sample
    bool indexed = false;
    std::vector<velda::Rgb8> colors;  // the colour table or PLTE
    std::vector<uint32_t> pixels;      // width * height, top line first
    BmpFields bmp;                     // ReadBmp only
};

constexpr uint32_t PackRgb(velda::Rgb8 c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

// Reads a BMP in the form VELDA writes: uncompressed, bottom-up, 4, 8 or
// 24 bits, at most 512 x 424 pixels, rows filled to four bytes, no
// resolution, every colour important. Returns "" on success, otherwise the
// first header field or size that is wrong.
std::string ReadBmp(const std::vector<uint8_t>& bytes, DecodedImage& image);

// Reads a PNG with libpng. Returns "" on success, otherwise libpng's
// message. Only built where the core writes PNG (natively: libdeflate).
std::string ReadPng(const std::vector<uint8_t>& bytes, DecodedImage& image);

// A colour index or packed colour as the colour it shows.
velda::Rgb8 ShownColor(const DecodedImage& image, std::size_t pixel);

}  // namespace velda_test
