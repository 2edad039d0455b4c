// Reading MSX-BASIC BSAVE files into video memory.
//
// A BSAVE file of video memory:
//   offset 0  id            0xFE
//   offset 1  startAddress  u16 little-endian, first video-memory address
//   offset 3  endAddress    u16 little-endian, last address (inclusive)
//   offset 5  execAddress   u16, ignored
//   offset 7  endAddress - startAddress + 1 data bytes
// Nothing in the file names the screen mode; the user chooses it.
//
// Some collections keep the dump without its header: a file under a
// picture's name without the mark whose size is exactly 128, 192, 212 or
// 256 lines of its mode (16 KiB for SCREEN 1-4) is that page of video
// memory from address 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/load_error.h"

namespace velda {

constexpr int BsaveHeaderBytes = 7;
constexpr uint8_t BsaveId = 0xFE;
// The most of a BSAVE file that is ever read: the header and 64 KiB.
constexpr std::size_t MaxBsaveFileBytes = BsaveHeaderBytes + 0x10000;

struct BsaveHeader {
    uint8_t id;
    uint16_t startAddress;
    uint16_t endAddress;
    uint16_t execAddress;
};

// Where in video memory a file's data went: `length` bytes from `start`
// (0 when the file held no data).
struct PlacedRange {
    uint32_t start;
    uint32_t length;
};

// Reads the 7 header bytes of `bytes` (`count` of them) into `header`.
// Refuses what cannot be a BSAVE header of video memory: no bytes (Empty),
// fewer than 7 (ShortHeader), an id other than 0xFE (WrongFirstByte), or
// an end address below the start address (EndBelowStart).
LoadError ParseBsaveHeader(const uint8_t* bytes, std::size_t count, BsaveHeader& header);

// Places the BSAVE file `file` (`size` bytes) in `vram` as an Open in the
// given mode does: the header is tested first, and a refused file leaves
// `vram` alone. Otherwise the mode's share of video memory is cleared, its
// palette table seeded with the power-on palette, and the data copied to
// the start address. A file that ends inside its data is accepted: the
// missing bytes keep the cleared or seeded values. Bytes after the end
// address are ignored.
LoadError PlaceBsave(const uint8_t* file, std::size_t size, uint8_t screen, uint8_t* vram, BsaveHeader& header);

// Whether a file of `size` bytes is a page of the mode without a header.
bool IsPageDump(std::size_t size, uint8_t screen);

// Places the page dump `file` (`size` bytes, IsPageDump) in `vram` from
// address 0, over the mode's cleared share and seeded palette table.
void PlacePageDump(const uint8_t* file, std::size_t size, uint8_t screen, uint8_t* vram);

// The range an accepted BSAVE file of `size` bytes with `header` fills.
PlacedRange BsavePlacedRange(const BsaveHeader& header, std::size_t size);

}  // namespace velda
