// Writing a Picture as PNG: natively by png_writer.cpp, its rows deflated
// by libdeflate, and on Windows through the Windows Imaging Component
// (png_writer_win.cpp), with the same pixel values.
//
//   mode        colour type      bit depth  PLTE
//   5, 7        indexed          4          16 entries
//   6           indexed          4           4 entries (pixel values 0..3)
//   8           indexed          8          256 entries
//   10, 11, 12  indexed          8          the colours used, when at most 256
//               RGB              8          none, otherwise
//
// The size of the picture, not interlaced; the pixels show the colours of
// the BMP, and an indexed picture's indices are those of the BMP. Builds
// without libdeflate (VELDA_HAVE_PNG undefined) keep these functions,
// which then always fail.
#pragma once

#include <cstdint>
#include <system_error>
#include <vector>

#include "render/picture.h"

namespace velda {

// Whether this build can write PNG at all.
bool PngAvailable();

// Encodes `picture` as PNG into `bytes`, which is replaced; the error when
// it cannot (`bytes` is then empty).
std::error_code EncodePng(const Picture& picture, std::vector<uint8_t>& bytes);

}  // namespace velda
