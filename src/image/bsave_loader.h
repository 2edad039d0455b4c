// Reading MSX-BASIC BSAVE files into VramImage.
//
// A BSAVE file of video memory:
//   offset 0  id            0xFE
//   offset 1  startAddress  u16 little-endian, first video-memory address
//   offset 3  endAddress    u16 little-endian, last address (inclusive)
//   offset 5  execAddress   u16, ignored
//   offset 7  endAddress - startAddress + 1 data bytes
// Nothing in the file names the screen mode; the user chooses it.
#pragma once

#include <cstdint>
#include <cstdio>

namespace velda {

constexpr int BsaveHeaderBytes = 7;
constexpr uint8_t BsaveId = 0xFE;
constexpr int PathBytes = 256;  // the Open and Save dialogs' name buffers

struct BsaveHeader {
    uint8_t id;
    uint16_t startAddress;
    uint16_t endAddress;
    uint16_t execAddress;
};

// The path confirmed last in the Open or Save dialog, and the addresses of
// the last accepted header. All zero at program start.
struct CurrentFileRecord {
    char path[PathBytes];
    uint16_t startAddress;
    uint16_t endAddress;
};
extern CurrentFileRecord CurrentFile;

enum class LoadOutcome {
    Accepted,    // the picture is in VramImage, MsxPalette and ColorTable
    NotBsave,    // rejected by the header test; nothing changed
    CannotOpen,  // the file could not be opened; nothing changed
};

// Reads the 7 header bytes. Returns false when `bytes` cannot be a BSAVE
// header of video memory: fewer than 7 bytes, an id other than 0xFE, or an
// end address below the start address.
bool ParseBsaveHeader(const uint8_t* bytes, std::size_t count, BsaveHeader& header);

// Loads the file named by CurrentFile.path in the given mode. The header is
// tested before anything changes: a rejected or unopenable file leaves
// VramImage, MsxPalette, ColorTable and CurrentFile's addresses as they
// were. A file that ends inside its data is accepted; the missing bytes keep
// the cleared or seeded values. Bytes after the end address are ignored.
LoadOutcome LoadBsave(uint8_t screen);

// The same from an open binary stream, which the caller closes.
LoadOutcome LoadBsaveFrom(std::FILE* stream, uint8_t screen);

// Copies the mode's palette entries from the palette table of VramImage to
// MsxPalette and builds ColorTable, as the end of an accepted load does.
void CaptureColors(uint8_t screen);

}  // namespace velda
