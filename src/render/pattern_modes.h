// The pictures of SCREEN 1-4, drawn from tables of 8 x 8 patterns as the
// video chip draws them, at the addresses MSX-BASIC gives the tables:
//
//   SCREEN 1  names 0x1800 (32 x 24 characters), patterns 0x0000 (8 bytes a
//             character), colours 0x2000: one byte for each group of eight
//             characters, foreground in the high nibble, background low
//   SCREEN 2  names 0x1800; the screen's three bands of 8 character rows
//   and 4     each have their own 256 patterns (0x0000, 0x0800, 0x1000) and
//             colours (0x2000, 0x2800, 0x3000), a colour byte for each
//             pattern line
//   SCREEN 3  names 0x0800; each character is 2 x 2 blocks of 4 x 4 pixels,
//             a byte of the pattern (left block high nibble) for each block
//             row: bytes 2 * (row % 4) and 2 * (row % 4) + 1 of its 8
//
// A set pattern bit shows the foreground, a clear one the background.
// Every pixel is a colour 0-15 of the palette.
#pragma once

#include <cstdint>

namespace velda {

// The SCREEN `screen` (1-4) picture in `vram` as 192 lines of 128 bytes
// from `pixels` on, two 4-bit pixels a byte, the left one high.
void DecodePatternPicture(uint8_t screen, const uint8_t* vram, uint8_t* pixels);

}  // namespace velda
