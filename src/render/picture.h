// A decoded picture: the one form every writer takes, BMP and PNG alike.
//
//   mode        width  bitDepth  palette    row bytes
//   1-4, 5      256    4         16         128   two pixels a byte, left one high
//                                                 (SCREEN 1-4: 192 lines, the others 212)
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
#include <vector>

#include "image/picture_file.h"
#include "render/color_rules.h"
#include "render/sprites.h"

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

// --- the picture of an opened page -----------------------------------------

// A page to make a picture of: video memory seen through a palette, as a
// reader left it (ViewOf) or as the window holds it.
struct PageView {
    uint8_t screen = 0;
    const uint8_t* vram = nullptr;        // 64 KiB
    const uint8_t* palette = nullptr;     // 32 bytes, register form
    int width = 0;                        // the picture's own size (a COPY file's area);
    int height = 0;                       // 0 for the whole screen
    const uint8_t* secondVram = nullptr;  // the second page of an interlaced pair; nullptr for none
    bool spriteTables = false;            // whether the file filled the mode's sprite tables
};

PageView ViewOf(const ScreenPage& page);

// How a picture is shown or written: the television's proportions
// (every pixel repeated whole, so that a screen is 512 x 424), or the
// pixels as they are.
enum class Aspect { Raw, Tv };

struct PictureOptions {
    ColorRule colors = ColorRule::Velda;
    Interlace interlace = Interlace::Auto;  // a second page: blended with Blend, else woven in
    Aspect aspect = Aspect::Raw;
    SpriteOptions sprites;                  // none unless asked for
};

// The picture of `page` as every front end shows or writes it: decoded by
// the colour rule, its sprites drawn when asked for and the file filled
// their tables, cut to the picture's own size, its second page woven in or
// blended, in the shape asked for. Both pages show through one palette, as
// the display's palette registers show them.
Picture MakePicture(const PageView& page, const PictureOptions& options);

}  // namespace velda
