#include "image/file_types.h"

#include "image/name_letters.h"

namespace velda {

namespace {

struct ExtensionType {
    char extension[4];  // upper case
    FileType type;
};

constexpr ExtensionType Extensions[] = {
    {"SC5", {FileKind::Bsave, 5}},        {"SC6", {FileKind::Bsave, 6}},        {"SC7", {FileKind::Bsave, 7}},
    {"SC8", {FileKind::Bsave, 8}},        {"SCA", {FileKind::Bsave, 10}},       {"S10", {FileKind::Bsave, 10}},
    {"S11", {FileKind::Bsave, 11}},       {"SCB", {FileKind::Bsave, 11}},       {"SCC", {FileKind::Bsave, 12}},
    {"S12", {FileKind::Bsave, 12}},       {"GE5", {FileKind::Bsave, 5}},        {"GE7", {FileKind::Bsave, 7}},
    {"GE8", {FileKind::Bsave, 8}},        {"PIC", {FileKind::Bsave, 8}},        {"SR5", {FileKind::GraphSaurus, 5}},
    {"SR6", {FileKind::GraphSaurus, 6}},  {"SR7", {FileKind::GraphSaurus, 7}},  {"SR8", {FileKind::GraphSaurus, 8}},
    {"SRA", {FileKind::GraphSaurus, 10}}, {"SRB", {FileKind::GraphSaurus, 11}}, {"SRS", {FileKind::GraphSaurus, 12}},
    {"SRC", {FileKind::GraphSaurus, 12}}, {"S15", {FileKind::SecondPage, 5}},   {"S16", {FileKind::SecondPage, 6}},
    {"S17", {FileKind::SecondPage, 7}},   {"S18", {FileKind::SecondPage, 8}},   {"S1A", {FileKind::SecondPage, 10}},
    {"S1B", {FileKind::SecondPage, 11}},  {"S1C", {FileKind::SecondPage, 12}},  {"PL5", {FileKind::Palette, 5}},
    {"PL6", {FileKind::Palette, 6}},      {"PL7", {FileKind::Palette, 7}},      {"GL5", {FileKind::Copy, 5}},
    {"GL6", {FileKind::Copy, 6}},         {"GL7", {FileKind::Copy, 7}},         {"GL8", {FileKind::Copy, 8}},
    {"GLA", {FileKind::Copy, 10}},        {"GLB", {FileKind::Copy, 11}},        {"GLC", {FileKind::Copy, 12}},
    {"GLS", {FileKind::Copy, 12}},        {"DSK", {FileKind::DiskImage, 0}},    {"SC1", {FileKind::Bsave, 1}},
    {"SC2", {FileKind::Bsave, 2}},        {"SC3", {FileKind::Bsave, 3}},        {"SC4", {FileKind::Bsave, 4}},
    {"GRP", {FileKind::Bsave, 2}},        {"ZIP", {FileKind::ZipArchive, 0}},   {"GZ", {FileKind::Gzip, 0}},
};

// The extension of the given kind made for `screen`, or nullptr.
const char* ExtensionFor(FileKind kind, uint8_t screen) {
    for (const ExtensionType& entry : Extensions) {
        if (entry.type.kind == kind && entry.type.screen == screen) return entry.extension;
    }
    return nullptr;
}

}  // namespace

FileType TypeOfExtension(const std::string& extension) {
    const std::string upper = Capitals(extension);
    for (const ExtensionType& entry : Extensions) {
        if (upper == entry.extension) return entry.type;
    }
    return FileType{FileKind::Unknown, 0};
}

const char* SecondPageExtension(uint8_t screen) { return ExtensionFor(FileKind::SecondPage, screen); }

bool IsPictureKind(FileKind kind) {
    return kind == FileKind::Bsave || kind == FileKind::GraphSaurus || kind == FileKind::SecondPage ||
           kind == FileKind::Copy;
}

std::vector<std::string> PictureExtensions() {
    std::vector<std::string> extensions;
    for (const ExtensionType& entry : Extensions) {
        if (IsPictureKind(entry.type.kind)) extensions.emplace_back(entry.extension);
    }
    return extensions;
}

bool IsSteppedKind(FileKind kind) { return IsPictureKind(kind) && kind != FileKind::SecondPage; }

const char* PaletteExtension(uint8_t screen) { return ExtensionFor(FileKind::Palette, screen); }

}  // namespace velda
