// Palette files (.PL5 .PL6 .PL7, or any file given as a palette): the
// colours a picture file lacks, in the palette-register form of the
// palette table (2 bytes an entry: 0RRR0BBB, 00000GGG).
//
//   256 bytes  8 palettes of 16 entries; palette 0 unless another is chosen
//    32 bytes  one palette of 16 entries
//    39 bytes  a BSAVE dump of the palette table: 0xFE, start, end and
//              execution address, then its 32 bytes
//   9-38 bytes a BSAVE dump of the start of the palette table (start
//              address 0x7680 or 0xFA80, where MSX-BASIC keeps it) that
//              holds fewer entries: a SCREEN 6 picture's 4 colours saved
//              alone, whatever end address its header names
//
// Any other size is no palette file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/load_error.h"

namespace velda {

constexpr int PalettesInBankFile = 8;
// The most of a palette file that is ever read: one byte more than the
// largest, so that a longer file is seen to be one.
constexpr std::size_t MaxPaletteFileBytes = 257;

// Takes palette `index` (0-7; a file of one palette has only 0, which any
// index gives) of the palette file `file` (`size` bytes) into `palette`
// (32 bytes); a short dump sets the entries it holds and leaves the others.
// Refuses, leaving `palette` alone, a file of no size above
// (PaletteFileSize) and one of 39 bytes without the BSAVE mark
// (PaletteFileMark).
LoadError ReadPaletteFile(const uint8_t* file, std::size_t size, int index, uint8_t* palette);

// Writes the mode's share of `palette` (16 entries, 4 for SCREEN 6, none
// for SCREEN 8 and 12) into the palette table of `vram`, where the picture's
// own palette would have been.
void PutPalette(uint8_t screen, const uint8_t* palette, uint8_t* vram);

// Copies the mode's share of the palette table of `vram` into `palette`
// (register form, 2 bytes an entry); modes without a palette table leave
// it alone.
void CapturePalette(uint8_t screen, const uint8_t* vram, uint8_t* palette);

}  // namespace velda
