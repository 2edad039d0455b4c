// Why a picture is refused: one fault for every refusal, whichever file of
// the picture it is in (the picture itself, its second page, its palette
// file), each with its own named details. Every reader returns a
// LoadError, false when the file was taken. The error keeps its shape until
// it is shown: the converter prints DescribeLoadError's text, the window
// its own message for the fault.
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
    WrongFirstByte,    // firstByte is not the mark of `format`
    EndBelowStart,     // endAddress is below startAddress
    CutOff,            // Graph Saurus codes that end inside a run
    PaletteFileSize,   // fileSize is no size of a palette file (MaxPaletteFileBytes: that or more)
    PaletteFileMark,   // a palette file of 39 bytes without the BSAVE mark
    UnknownExtension,  // `extension` names no picture, and no mode was given
    NoSuchScreen,      // `screen` is no mode VELDA shows
    PaletteFileAlone,  // a palette file, opened as if it were a picture
    CopySize,          // a COPY file whose width and height do not fit its mode or its fileSize
    NoSecondPage,      // weaving or blending was asked for (`blend`), and secondPage is not beside the
                       // picture; "" when the picture takes none (`format` Copy or SecondPage)
    CannotOpen,        // the file cannot be opened; `system` says why
    ReadFailed,        // it opened, but reading it failed; `system` says why
    NotDiskImage,      // no usable boot sector, and mediaByte names no disk
    NoPicture,         // a disk image that holds no picture
    ChainBroken,       // a file of a disk image whose chain of clusters loops or leaves the disk at `cluster`
    ChainShort,        // a file of a disk image whose fileSize is more than its chain holds (chainBytes)
    NotZipArchive,     // neither a ZIP archive's directory nor a file's header
    SplitArchive,      // a part of a ZIP archive split over several files
    ArchiveDamaged,    // a ZIP archive or gzip stream, or a file of one, damaged as `damage` says
    Encrypted,         // a file of a ZIP archive that is encrypted
    UnknownMethod,     // a file of a ZIP archive compressed by `method`, which VELDA does not read
    TooLarge,          // a file of a container of `bytes`, more than any VELDA reads
    CrcMismatch,       // a file whose bytes have the CRC-32 `crc`, not the `expectedCrc` its container says
    NotGzip,           // no gzip member at the start
    NestedTooDeep,     // a container inside containers nested deeper than VELDA opens them
};

// How a ZIP archive or gzip stream, or one of its files, is damaged.
enum class ArchiveDamage {
    NoDirectory,  // the archive's directory is missing: its files were read from their own headers
    Directory,    // its directory is cut short or damaged: likewise
    Header,       // a file's own header is not where the directory says
    Data,         // a file's compressed data is cut short or is no deflate data
    Longer,       // a file inflates to more than the `bytes` its directory says
    Cut,          // a gzip stream ends inside its data
};

// Which file of a picture a fault is in.
enum class FileRole { Picture, SecondPage, PaletteFile };

struct LoadError {
    LoadError() = default;
    explicit LoadError(LoadFault fault_, FileKind format_ = FileKind::Bsave) : fault(fault_), format(format_) {}

    LoadFault fault = LoadFault::None;
    FileRole role = FileRole::Picture;
    FileKind format = FileKind::Bsave;  // the form the file was read as: Bsave, GraphSaurus or Copy; for
                                        // containers the kind of container (NoPicture, ArchiveDamaged...)
    std::string file;                   // the file's name, where the fault names it

    // The details, each set by the faults named beside it.
    uint8_t firstByte = 0;      // WrongFirstByte
    uint16_t startAddress = 0;  // EndBelowStart
    uint16_t endAddress = 0;    // EndBelowStart
    uint32_t fileSize = 0;      // PaletteFileSize, CopySize, ChainShort
    uint16_t width = 0;         // CopySize
    uint16_t height = 0;        // CopySize
    unsigned screen = 0;        // NoSuchScreen
    std::string extension;      // UnknownExtension: "" for a name without one
    std::string secondPage;     // NoSecondPage
    bool blend = false;         // NoSecondPage: blending was asked for, not weaving
    uint8_t mediaByte = 0;      // NotDiskImage
    uint32_t cluster = 0;       // ChainBroken
    uint32_t chainBytes = 0;    // ChainShort
    ArchiveDamage damage = ArchiveDamage::Data;  // ArchiveDamaged
    uint16_t method = 0;        // UnknownMethod
    uint64_t bytes = 0;         // TooLarge, ArchiveDamaged (Longer)
    uint32_t crc = 0;           // CrcMismatch
    uint32_t expectedCrc = 0;   // CrcMismatch
    std::error_code system;     // CannotOpen, ReadFailed

    explicit operator bool() const { return fault != LoadFault::None; }
};

// A reader asked for `screen`, which is no mode VELDA shows.
LoadError NoSuchScreenError(unsigned screen);

// The converter's text for `error`, such as "not a BSAVE file (first byte
// 0x00, not 0xFE)" or "palette file A.PL5: ...", naming its file as
// `error.file` holds it. "" for no error.
std::string DescribeLoadError(const LoadError& error);

}  // namespace velda
