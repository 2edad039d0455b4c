// Graph Saurus pictures (.SR5 .SR6 .SR7 .SR8 .SRA .SRB .SRS .SRC): a page of
// video memory as the Graph Saurus editor saves it, raw or compressed.
//
//   offset 0  id      0xFE raw, 0xFD compressed
//   offset 1  u16     0, the start address
//   offset 3  u16     a length, not an end address: raw, the page size
//                     (0x6A00 for SCREEN 5 and 6, 0xD400 for the others);
//                     compressed, the length of the compressed data.
//                     Writers differ, so the file's own length is trusted.
//   offset 5  u16     usually 0 (some writers put 0x7FFF or 0xFFFF): ignored
//   offset 7  data    raw: video memory from address 0.
//                     compressed: codes, each giving bytes of video memory
//                     in order from address 0:
//                       0x10..0xFF      the byte itself
//                       n v             n = 0x01..0x0F: v, n times
//                       0x00 c v        v, c times (c = 0: nothing)
// Bytes that would go past the end of video memory are dropped. A raw file
// whose start address is not 0 is a plain BSAVE dump under this name and is
// placed as one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/bsave_loader.h"

namespace velda {

constexpr uint8_t GraphSaurusRawId = 0xFE;
constexpr uint8_t GraphSaurusCompressedId = 0xFD;
// The most of a Graph Saurus file that is ever read: the header and
// compressed data for a whole 64 KiB, where every byte costs at most two.
constexpr std::size_t MaxGraphSaurusFileBytes = BsaveHeaderBytes + 2 * 0x10000;

// Places the Graph Saurus file `file` (`size` bytes) in `vram` as an Open in
// the given mode does: the header is tested and compressed data checked to
// its end before anything changes. A file refused (Empty, ShortHeader,
// WrongFirstByte; CutOff: the data ends inside a run) leaves `vram` alone.
// Otherwise, as for a BSAVE dump, the mode's share of video memory is
// cleared, its palette table seeded with the power-on palette, and the
// data placed; data that ends early leaves the rest cleared or seeded.
// `placed` is the range of video memory the data went to.
LoadError PlaceGraphSaurus(const uint8_t* file, std::size_t size, uint8_t screen, uint8_t* vram, PlacedRange& placed);

}  // namespace velda
