#include "image/load_error.h"

#include <cstdio>

#include "image/container.h"
#include "image/palette_file.h"

namespace velda {

namespace {

const char* RoleName(FileRole role) { return role == FileRole::SecondPage ? "second page" : "palette file"; }

const char* FormatName(FileKind format) {
    return format == FileKind::GraphSaurus ? "Graph Saurus" : format == FileKind::Copy ? "COPY" : "BSAVE";
}

// What a container of the kind `format` is called: a disk image unless it
// is an archive or a gzip stream.
const char* ContainerName(FileKind format) {
    return format == FileKind::ZipArchive ? "archive" : format == FileKind::Gzip ? "gzip stream" : "disk image";
}

std::string Damage(const LoadError& error) {
    switch (error.damage) {
    case ArchiveDamage::NoDirectory:
        return "damaged archive: its directory is missing (cut short?); the files before the cut were read";
    case ArchiveDamage::Directory:
        return "damaged archive: its directory is cut short or damaged; the files were read from their own headers";
    case ArchiveDamage::Header:
        return "damaged: its header is not where the archive's directory says";
    case ArchiveDamage::Longer:
        return "damaged: it inflates to more than the " + std::to_string(error.bytes) + " bytes its archive says";
    case ArchiveDamage::Cut:
        return "damaged gzip stream: it is cut short; the bytes before the cut were read";
    case ArchiveDamage::Data:
    default:
        return error.format == FileKind::Gzip ? "damaged gzip stream: its data is no deflate data"
                                              : "damaged: its compressed data is cut short or is no deflate data";
    }
}

// What is wrong with the file itself, without saying which file it is.
std::string Fault(const LoadError& error) {
    char text[96];
    switch (error.fault) {
    case LoadFault::Empty:
        return std::string("not a ") + FormatName(error.format) + " file (the file is empty)";
    case LoadFault::ShortHeader:
        return std::string("not a ") + FormatName(error.format) + " file (shorter than the 7-byte header)";
    case LoadFault::WrongFirstByte:
        std::snprintf(text, sizeof text, "not a %s file (first byte 0x%02X, not %s)", FormatName(error.format),
                      unsigned{error.firstByte}, error.format == FileKind::GraphSaurus ? "0xFE or 0xFD" : "0xFE");
        return text;
    case LoadFault::EndBelowStart:
        std::snprintf(text, sizeof text, "bad BSAVE header: end address 0x%04X is below start address 0x%04X",
                      unsigned{error.endAddress}, unsigned{error.startAddress});
        return text;
    case LoadFault::CutOff:
        return "Graph Saurus data cut off: the file ends inside a run";
    case LoadFault::UnknownExtension:
        return "unknown screen mode: cannot tell it from " +
               (error.extension.empty() ? std::string("a name without extension")
                                        : "the extension \"." + error.extension + "\"");
    case LoadFault::NoSuchScreen:
        return "SCREEN " + std::to_string(error.screen) + " is no mode VELDA shows";
    case LoadFault::NoSecondPage: {
        const char* shape = error.blend ? "blend" : "weave";
        if (!error.secondPage.empty()) return "no second page " + error.secondPage + " beside it to " + shape;
        return std::string(error.format == FileKind::Copy ? "a COPY file's area" : "a second page") +
               " has no second page to " + shape;
    }
    case LoadFault::PaletteFileAlone:
        return "a palette file, not a picture: it goes with the picture of the same name, or with --palette";
    case LoadFault::CopySize:
        return "not a COPY file (width " + std::to_string(error.width) + " and height " +
               std::to_string(error.height) + " do not make a picture of its mode in " + std::to_string(error.fileSize) +
               " bytes)";
    case LoadFault::NotDiskImage:
        std::snprintf(text, sizeof text, "not an MSX disk image (no usable boot sector, and media byte 0x%02X)",
                      unsigned{error.mediaByte});
        return text;
    case LoadFault::NoPicture:
        return std::string("no picture in the ") + ContainerName(error.format);
    case LoadFault::NotZipArchive:
        return "not a ZIP archive (neither its directory nor a file's header)";
    case LoadFault::SplitArchive:
        return "a part of a ZIP archive split over several files: not read";
    case LoadFault::ArchiveDamaged:
        return Damage(error);
    case LoadFault::Encrypted:
        return "encrypted: not read";
    case LoadFault::UnknownMethod:
        return "compressed by method " + std::to_string(error.method) + ", not stored or deflated: not read";
    case LoadFault::TooLarge:
        return std::string(error.format == FileKind::Gzip ? "it holds more than " : std::to_string(error.bytes) +
                                                                                    " bytes, more than ") +
               std::to_string(MaxContainerFileBytes) + " bytes, the largest file VELDA reads: not read";
    case LoadFault::CrcMismatch:
        std::snprintf(text, sizeof text, "damaged: its CRC-32 is 0x%08X, not 0x%08X as its %s says",
                      unsigned{error.crc}, unsigned{error.expectedCrc},
                      error.format == FileKind::Gzip ? "gzip stream" : "archive");
        return text;
    case LoadFault::NotGzip:
        return "not a gzip stream (no gzip header at its start)";
    case LoadFault::NestedTooDeep:
        return "more than " + std::to_string(MaxNesting) + " containers inside one another: not opened";
    case LoadFault::ChainBroken:
        return "the disk's chain of clusters of this file is broken at cluster " + std::to_string(error.cluster);
    case LoadFault::ChainShort:
        return "its size, " + std::to_string(error.fileSize) + " bytes, is more than its clusters hold (" +
               std::to_string(error.chainBytes) + " bytes)";
    default:
        return "";
    }
}

}  // namespace

LoadError NoSuchScreenError(unsigned screen) {
    LoadError error(LoadFault::NoSuchScreen);
    error.screen = screen;
    return error;
}

std::string DescribeLoadError(const LoadError& error) {
    const bool companion = error.role != FileRole::Picture;
    switch (error.fault) {
    case LoadFault::None:
        return "";
    case LoadFault::CannotOpen:
        return "cannot open" + (companion ? std::string(" ") + RoleName(error.role) + " " + error.file : "") + ": " +
               error.system.message();
    case LoadFault::ReadFailed:
        return "cannot read " + error.file + ": " + error.system.message();
    case LoadFault::PaletteFileSize:
        return error.file + " is not a palette file (" + std::to_string(error.fileSize) +
               (error.fileSize >= MaxPaletteFileBytes ? " bytes or more" : " bytes") +
               "; a palette file has 32, 39 or 256, or is a BSAVE dump of part of the palette table)";
    case LoadFault::PaletteFileMark:
        return error.file + " is not a palette file (39 bytes, but no BSAVE mark 0xFE)";
    default:
        return (companion ? std::string(RoleName(error.role)) + " " + error.file + ": " : "") + Fault(error);
    }
}

}  // namespace velda
