// Independent readers for the converter's tests: a small BMP reader that
// checks every header field, and a PNG reader on libpng. Both give the
// picture as one value per pixel, top line first: the colour index for
// indexed pictures, 0xRRGGBB for true-colour ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/color_rules.h"

namespace velda_test {

struct DecodedImage {
    int width = 0;
    int height = 0;
    int bitDepth = 0;  // BMP: bits per pixel; PNG: bits per sample
    bool indexed = false;
    std::vector<velda::Rgb8> colors;  // the colour table or PLTE
    std::vector<uint32_t> pixels;      // width * height, top line first
};

constexpr uint32_t PackRgb(velda::Rgb8 c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

// Reads a BMP in the form VELDA writes: uncompressed, bottom-up, 4, 8 or
// 24 bits, 212 lines of 256 or 512 pixels, rows without filler. Returns
// "" on success, otherwise the first header field or size that is wrong.
std::string ReadBmp(const std::vector<uint8_t>& bytes, DecodedImage& image);

// Reads a PNG with libpng. Returns "" on success, otherwise libpng's
// message. Only built where libpng is.
std::string ReadPng(const std::vector<uint8_t>& bytes, DecodedImage& image);

// A colour index or packed colour as the colour it shows.
velda::Rgb8 ShownColor(const DecodedImage& image, std::size_t pixel);

}  // namespace velda_test
