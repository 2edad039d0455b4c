// The harnesses' way back from a PNG they wrote: libpng reads it as red,
// green, blue rows, so that its pixels can be held against the picture's.
#pragma once

#include <png.h>

#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "render/picture.h"

namespace velda_fuzz {

// `png` read back with libpng; its size must be the picture's. A PNG that
// does not read is a finding.
inline std::vector<uint8_t> ReadPngRgb(const std::vector<uint8_t>& png, const velda::Picture& picture) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    FUZZ_CHECK(png.size() > sizeof signature && std::memcmp(png.data(), signature, sizeof signature) == 0);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    FUZZ_CHECK(png_image_begin_read_from_memory(&image, png.data(), png.size()) != 0);
    FUZZ_CHECK(image.width == static_cast<png_uint_32>(picture.width));
    FUZZ_CHECK(image.height == static_cast<png_uint_32>(picture.height));
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    FUZZ_CHECK(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0);
    png_image_free(&image);
    return rgb;
}

}  // namespace velda_fuzz
