// Why a picture is refused: one reason for every refusal, whichever file
// of the picture it is in (the picture itself, its second page, its
// palette file), with the offending value where one helps. Every reader
// returns a LoadError, false when the file was taken; the converter prints
// DescribeLoadError's text, the window shows its own message for the
// fault.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

#include "image/file_types.h"

namespace velda {

enum class LoadFault {
    None,
    Empty,             // the file holds no byte
    ShortHeader,       // fewer bytes than the 7 of a header
    WrongFirstByte,    // value: the first byte, not the mark of `format`
    EndBelowStart,     // value: the end address, below `start`
    CutOff,            // Graph Saurus codes that end inside a run
    PaletteFileSize,   // value: the palette file's size (MaxPaletteFileBytes: that or more)
    PaletteFileMark,   // a palette file of 39 bytes without the BSAVE mark
    UnknownExtension,  // `extension` names no picture, and no mode was given
    PaletteFileAlone,  // a palette file, opened as if it were a picture
    CopySize,          // a COPY file whose width (value) and height do not fit its mode or its size
    CannotOpen,        // the file cannot be opened; `system` says why
    ReadFailed,        // it opened, but reading it failed; `system` says why
    NotDiskImage,      // no usable boot sector, and value: the FAT's media byte, which names no disk
    NoPicture,         // a disk image that holds no picture
    ChainBroken,       // a file of a disk image whose cluster chain loops or leaves the disk at cluster value
    ChainShort,        // a file of a disk image whose size (value) is more than its chain holds (size)
};

// Which file of a picture a fault is in.
enum class FileRole { Picture, SecondPage, PaletteFile };

struct LoadError {
    LoadError() = default;
    explicit LoadError(LoadFault fault_, FileKind format_ = FileKind::Bsave) : fault(fault_), format(format_) {}

    LoadFault fault = LoadFault::None;
    FileRole role = FileRole::Picture;
    FileKind format = FileKind::Bsave;  // the form the file was read as: Bsave, GraphSaurus or Copy
    std::string file;                   // the file's name, where the fault names it
    uint32_t value = 0;
    uint32_t start = 0;                 // EndBelowStart: the start address
    uint32_t height = 0;                // CopySize: the height
    uint32_t size = 0;                  // CopySize: the file's size; ChainShort: what the chain holds
    std::string extension;              // UnknownExtension: "" for a name without one
    std::error_code system;             // CannotOpen, ReadFailed

    explicit operator bool() const { return fault != LoadFault::None; }
};

// The converter's text for `error`, such as "not a BSAVE file (first byte
// 0x00, not 0xFE)" or "palette file A.PL5: ...". "" for no error.
std::string DescribeLoadError(const LoadError& error);

}  // namespace velda
