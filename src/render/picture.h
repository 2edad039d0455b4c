// A decoded picture: the one form every writer takes, BMP and PNG alike.
//
//   mode        width  bitDepth  palette    row bytes
//   5           256    4         16         128   two pixels a byte, left one high
//   6           512    4          4         256   (2-bit pixels widened to 4 bits)
//   7           512    4         16         256
//   8           256    8         256        256   the video-memory byte is the index
//   10, 11, 12  256    24        none       768   blue, green, red
//
// Rows are stored top line first, as the BMP file stores them left to
// right: indices are the very bytes Save writes, 24-bit pixels blue, green,
// red as BMP (and the Windows codecs) take them. Only the colours depend on
// the colour rule.
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
    int bitDepth = 0;  // 4 or 8: indexed into `palette`; 24: blue, green, red
    int rowBytes = 0;
    std::vector<Rgb8> palette;
    std::vector<uint8_t> pixels;  // height * rowBytes, top line first

    bool Indexed() const { return bitDepth != 24; }
    const uint8_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * rowBytes; }
};

// Pixel x of a 24-bit row as a colour, and a colour into pixel x.
inline Rgb8 BgrPixel(const uint8_t* row, int x) { return Rgb8{row[3 * x + 2], row[3 * x + 1], row[3 * x]}; }
inline void PutBgrPixel(uint8_t* row, int x, Rgb8 c) {
    row[3 * x] = c.b;
    row[3 * x + 1] = c.g;
    row[3 * x + 2] = c.r;
}

// The colour `c` (0x00BBGGRR) as blue, green, red at `out`, and a zero
// after them that the next pixel overwrites (so never for the last pixel
// of a row). Where the machine keeps the lowest byte of a word first
// (every machine VELDA runs on) the four bytes go at once: the colour's
// bytes reversed (one instruction, as the compiler makes it), then shifted.
inline void PutBgrAndSpare(uint8_t* out, ColorRef c) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    const uint32_t bytes = ((c >> 24) | ((c >> 8) & 0xFF00u) | ((c << 8) & 0xFF0000u) | (c << 24)) >> 8;
    std::memcpy(out, &bytes, 4);
#else
    out[0] = BlueOf(c);
    out[1] = GreenOf(c);
    out[2] = RedOf(c);
    out[3] = 0;
#endif
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

// The form of a mode's decoded picture, as the table above gives it: its
// bits per pixel and the entries of its palette.
struct PictureForm {
    int bitDepth;
    int colors;
};
PictureForm FormOf(uint8_t screen);

// Decodes `vram` in the given mode with the palette `msxPalette` (register
// form, as MsxPalette) under `rule` into `picture`, reusing its storage.
// Returns false, leaving `picture` alone, for a number that is not a mode.
bool BuildPicture(uint8_t screen, const uint8_t* vram, const uint8_t* msxPalette, ColorRule rule,
                  Picture& picture);

}  // namespace velda
