// The sprites the video chip draws over a picture, from the sprite tables
// of its video memory (image/mode_table.h gives where MSX-BASIC keeps
// them). Their size and magnification are registers, not video memory, so
// they are asked for.
//
// An attribute table of 32 entries of 4 bytes: Y, X, pattern number, and
// in sprite mode 1 the colour (low nibble) with the early-clock bit (bit 7).
// A sprite shows from the line below its Y (lines counted modulo 256).
//
//   sprite mode 1 (SCREEN 1-3)   one colour a sprite; at most 4 on a line;
//                                Y = 208 ends the table
//   sprite mode 2 (SCREEN 4-12)  a colour byte for each sprite line, in the
//                                512 bytes below the attribute table (16 a
//                                sprite): colour (low nibble), bit 5 no
//                                collision, bit 6 (CC) the sprite is drawn
//                                with the one before it, the colours ORed
//                                where they overlap (a CC sprite with no
//                                sprite before it on its line is not
//                                drawn), bit 7 early clock; at most 8 on a
//                                line; Y = 216 ends the table
//
// Sprites beyond the limit of a line are not drawn on it. The early clock
// moves a sprite 32 pixels left. A 16 x 16 pattern is four 8 x 8 ones from
// a number that is a multiple of 4 (left column bytes 0-15, right 16-31);
// magnified, each pattern pixel is 2 x 2. The lower-numbered sprite is in
// front, and colour 0 is transparent.
//
// How a sprite's colour shows: an index of the picture's palette in SCREEN
// 1-5 and 7 (two pixels a sprite pixel in SCREEN 7); in SCREEN 6 two
// pixels, the left one colour bits 3-2 and the right one bits 1-0; in
// SCREEN 8 sixteen fixed colours; in the YJK modes the palette's colour
// (SCREEN 12, which keeps no palette, the power-on palette's).
#pragma once

#include <cstdint>

#include "render/color_rules.h"

namespace velda {

struct Picture;

struct SpriteOptions {
    int size = 0;            // 8 or 16; 0 for no sprites
    bool magnified = false;  // each pattern pixel 2 x 2

    constexpr bool Drawn() const { return size != 0; }
};

// The choices the front ends offer, in their order: none, 8 x 8, 16 x 16,
// 8 x 8 magnified, 16 x 16 magnified.
constexpr SpriteOptions SpriteChoices[] = {{0, false}, {8, false}, {16, false}, {8, true}, {16, true}};
constexpr int SpriteChoiceCount = static_cast<int>(sizeof SpriteChoices / sizeof SpriteChoices[0]);

// The sprite colour of each of the 256 pixels of line y of the picture in
// `vram` (SCREEN `screen`), 0 where no sprite shows, into `colors`.
void SpriteLine(uint8_t screen, const uint8_t* vram, SpriteOptions options, int y, uint8_t* colors);

// The SCREEN 8 pixel byte (GGGRRRBB) of sprite colour 0-15.
uint8_t Screen8SpriteColor(int color);

// Draws the sprites of `vram` over `picture`, which BuildPicture made from
// it with the palette `msxPalette` under `rule`.
void DrawSprites(const uint8_t* vram, const uint8_t* msxPalette, ColorRule rule, SpriteOptions options,
                 Picture& picture);

}  // namespace velda
