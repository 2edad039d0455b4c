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
#include <cstring>
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

// The pixel loops of 24-bit pictures move four bytes at once where the
// machine keeps the lowest byte of a word first (every machine VELDA runs
// on): the fourth byte is a spare that the next pixel overwrites, so the
// last pixel of a row must go byte by byte.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool FourBytesAtOnce = true;
#else
constexpr bool FourBytesAtOnce = false;
#endif

// The colour `c` (0x00BBGGRR) as red, green, blue at `out`, and a zero
// after them.
inline void PutRgbAndSpare(uint8_t* out, ColorRef c) {
    if (FourBytesAtOnce) {
        const uint32_t bytes = c & 0x00FFFFFFu;
        std::memcpy(out, &bytes, 4);
    } else {
        out[0] = RedOf(c);
        out[1] = GreenOf(c);
        out[2] = BlueOf(c);
        out[3] = 0;
    }
}

// The red, green, blue at `rgb` (and one byte more, read but not used) as
// blue, green, red at `bgr`, and a zero after them.
inline void PutBgrAndSpare(const uint8_t* rgb, uint8_t* bgr) {
    if (FourBytesAtOnce) {
        uint32_t bytes;
        std::memcpy(&bytes, rgb, 4);
        // All four bytes reversed (the compiler makes one instruction of
        // it), then the fourth, reversed to the front, dropped.
        bytes = ((bytes >> 24) | ((bytes >> 8) & 0xFF00u) | ((bytes << 8) & 0xFF0000u) | (bytes << 24)) >> 8;
        std::memcpy(bgr, &bytes, 4);
    } else {
        bgr[0] = rgb[2];
        bgr[1] = rgb[1];
        bgr[2] = rgb[0];
        bgr[3] = 0;
    }
}

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
