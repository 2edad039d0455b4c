#include "image/load_error.h"

#include <cstdio>

#include "image/palette_file.h"

namespace velda {

namespace {

const char* RoleName(FileRole role) { return role == FileRole::SecondPage ? "second page" : "palette file"; }

const char* FormatName(FileKind format) {
    return format == FileKind::GraphSaurus ? "Graph Saurus" : format == FileKind::Copy ? "COPY" : "BSAVE";
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
                      static_cast<unsigned>(error.value), error.format == FileKind::GraphSaurus ? "0xFE or 0xFD" : "0xFE");
        return text;
    case LoadFault::EndBelowStart:
        std::snprintf(text, sizeof text, "bad BSAVE header: end address 0x%04X is below start address 0x%04X",
                      static_cast<unsigned>(error.value), static_cast<unsigned>(error.start));
        return text;
    case LoadFault::CutOff:
        return "Graph Saurus data cut off: the file ends inside a run";
    case LoadFault::UnknownExtension:
        return "unknown screen mode: cannot tell it from " +
               (error.extension.empty() ? std::string("a name without extension")
                                        : "the extension \"." + error.extension + "\"") +
               "; pass --screen N";
    case LoadFault::PaletteFileAlone:
        return "a palette file, not a picture: it goes with the picture of the same name, or with --palette";
    case LoadFault::CopySize:
        return "not a COPY file (width " + std::to_string(error.value) + " and height " +
               std::to_string(error.height) + " do not make a picture of its mode in " + std::to_string(error.size) +
               " bytes)";
    case LoadFault::NotDiskImage:
        std::snprintf(text, sizeof text, "not an MSX disk image (no usable boot sector, and media byte 0x%02X)",
                      static_cast<unsigned>(error.value));
        return text;
    case LoadFault::NoPicture:
        return "no picture in the disk image";
    case LoadFault::ChainBroken:
        return "the disk's chain of clusters of this file is broken at cluster " + std::to_string(error.value);
    case LoadFault::ChainShort:
        return "its size, " + std::to_string(error.value) + " bytes, is more than its clusters hold (" +
               std::to_string(error.size) + " bytes)";
    default:
        return "";
    }
}

}  // namespace

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
        return error.file + " is not a palette file (" + std::to_string(error.value) +
               (error.value >= MaxPaletteFileBytes ? " bytes or more" : " bytes") + "; a palette file has 32, 39 or 256)";
    case LoadFault::PaletteFileMark:
        return error.file + " is not a palette file (39 bytes, but no BSAVE mark 0xFE)";
    default:
        return (companion ? std::string(RoleName(error.role)) + " " + error.file + ": " : "") + Fault(error);
    }
}

}  // namespace velda
