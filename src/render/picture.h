// A decoded picture: the one form every writer takes, BMP and PNG alike.
//
//   mode        width  bitDepth  palette    row bytes
//   5           256    4         16         128   two pixels a byte, left one high
//   6           512    4          4         256   (2-bit pixels widened to 4 bits)
//   7           512    4         16         256
//   8           256    8         256        256   the video-memory byte is the index
//   10, 11, 12  256    24        none       768   red, green, blue
//
// Rows are stored top line first. Indices are the very bytes Save writes;
// only the colours depend on the colour rule.
#pragma once

#include <cstdint>
#include <vector>

#include "render/color_rules.h"

namespace velda {

struct Picture {
    uint8_t screen = 0;
    int width = 0;
    int height = 0;
    int bitDepth = 0;  // 4 or 8: indexed into `palette`; 24: red, green, blue
    int rowBytes = 0;
    std::vector<Rgb8> palette;
    std::vector<uint8_t> pixels;  // height * rowBytes, top line first

    bool Indexed() const { return bitDepth != 24; }
    const uint8_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * rowBytes; }
};

// SCREEN 6 pixel byte v (four 2-bit pixels) as the two bytes of four
// 4-bit pixels, left pixel of each pair in the high nibble: 0xE4 (pixels
// 3, 2, 1, 0) becomes 0x32 0x10.
constexpr uint8_t Screen6HighPair(uint8_t v) {
    return static_cast<uint8_t>((((v >> 6) & 3) << 4) | ((v >> 4) & 3));
}
constexpr uint8_t Screen6LowPair(uint8_t v) {
    return static_cast<uint8_t>((((v >> 2) & 3) << 4) | (v & 3));
}

// Decodes `vram` in the given mode with the palette `msxPalette` (register
// form, as MsxPalette) under `rule` into `picture`, reusing its storage.
// Returns false, leaving `picture` alone, for a number that is not a mode.
bool BuildPicture(uint8_t screen, const uint8_t* vram, const uint8_t* msxPalette, ColorRule rule,
                  Picture& picture);

}  // namespace velda
