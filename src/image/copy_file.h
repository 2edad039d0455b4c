// BASIC COPY files: what MSX-BASIC's `COPY (X1,Y1)-(X2,Y2) TO "FILE"`
// writes of an area of the screen (.GL5 .GL6 .GL7 .GL8 .GLA .GLB .GLC
// .GLS, and at times under the names of BSAVE dumps).
//
//   offset 0  u16  width in pixels, little-endian
//   offset 2  u16  height in lines
//   offset 4  the width x height pixels, line after line, packed
//             continuously in the mode's depth, the leftmost pixel in the
//             high bits of its byte:
//               SCREEN 5, 7        two pixels a byte   [p0|p1]
//               SCREEN 6           four a byte         [p0|p1|p2|p3]
//               SCREEN 8, 10-12    one a byte (the YJK modes' widths are
//                                  whole groups of four)
//             a last byte only partly used keeps its low bits unused
//
// The area is shown at the top left of an empty screen: the picture is
// its own size. Nothing names the mode or carries a palette; the palette
// file beside it gives one, as for a Graph Saurus picture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/load_error.h"

namespace velda {

constexpr std::size_t CopyHeaderBytes = 4;

// The size of a COPY file of `width` x `height` pixels in the given mode;
// 0 when no COPY of the screen has that shape: no pixel, wider than the
// mode, taller than its 212 lines, or a YJK width that is not whole groups.
std::size_t CopyFileBytes(uint8_t screen, uint32_t width, uint32_t height);

// Whether `file` (`size` bytes) is a COPY file of the mode: its width and
// height account exactly for its size.
bool IsCopyFile(const uint8_t* file, std::size_t size, uint8_t screen);

// Places the COPY file `file` in `vram` at the top left of the screen,
// after clearing the mode's share and seeding its palette table as every
// reader does, and tells its size. Refuses, leaving `vram` alone, a file
// shorter than its header (Empty, ShortHeader) and one whose shape does
// not account for its size (CopySize).
LoadError PlaceCopy(const uint8_t* file, std::size_t size, uint8_t screen, uint8_t* vram, uint16_t& width,
                    uint16_t& height);

}  // namespace velda
