#include "image/picture_file.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

#include "image/graph_saurus.h"
#include "image/mode_table.h"
#include "image/read_file.h"

namespace velda {

namespace {

LoadReport Refused(LoadOutcome outcome, const std::string& file, int errorNumber = 0) {
    LoadReport report;
    report.outcome = outcome;
    report.file = file;
    report.errorNumber = errorNumber;
    return report;
}

// Reads `path` whole (at most `maxBytes`); false with `report` filled when
// it cannot be opened or read.
bool Read(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes, LoadReport& report) {
    switch (ReadFileBytes(path.c_str(), maxBytes, bytes)) {
    case ReadResult::Read:
        return true;
    case ReadResult::CannotOpen:
        report = Refused(LoadOutcome::CannotOpen, path, errno);
        return false;
    case ReadResult::ReadFailed:
    default:
        report = Refused(LoadOutcome::ReadFailed, path, errno);
        return false;
    }
}

bool HasLowerCase(const std::string& text) {
    for (char c : text) {
        if (std::islower(static_cast<unsigned char>(c))) return true;
    }
    return false;
}

std::string LowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The palette file the picture `path` in `page` takes, or "".
std::string PaletteFileFor(const std::string& path, FileKind kind, const ScreenPage& page,
                           const PlacedRange& placed, const PaletteChoice& choice) {
    const ModeInfo* mode = FindMode(page.screen);
    if (mode->paletteEntries == 0) return "";
    if (!choice.file.empty()) return choice.file;
    const char* extension = PaletteExtension(page.screen);
    if (!choice.beside || extension == nullptr) return "";
    const bool stopsBeforePalette = placed.start + placed.length <= static_cast<uint32_t>(mode->paletteAddress);
    if (kind == FileKind::Bsave && !stopsBeforePalette) return "";
    return FindBeside(path, extension);
}

}  // namespace

std::string FindBeside(const std::string& path, const char* extension) {
    const std::string upper = extension;
    const std::string lower = LowerCase(upper);
    const bool lowerFirst = HasLowerCase(ExtensionOf(path));
    for (const std::string& candidate : {lowerFirst ? lower : upper, lowerFirst ? upper : lower}) {
        const std::string beside = WithExtension(path, candidate);
        if (std::FILE* stream = std::fopen(beside.c_str(), "rb")) {
            std::fclose(stream);
            return beside;
        }
    }
    return "";
}

LoadReport LoadPictureFile(const std::string& path, FileKind kind, uint8_t screen, const PaletteChoice& choice,
                           ScreenPage& page) {
    LoadReport report;
    if (FindMode(screen) == nullptr) return Refused(LoadOutcome::NotBsave, path);
    std::vector<uint8_t> file;
    const std::size_t maxBytes = kind == FileKind::Bsave ? MaxBsaveFileBytes : MaxGraphSaurusFileBytes;
    if (!Read(path, maxBytes, file, report)) return report;
    if (kind == FileKind::SecondPage) {
        kind = !file.empty() && file[0] == GraphSaurusCompressedId ? FileKind::GraphSaurus : FileKind::Bsave;
    }

    ScreenPage loaded;
    loaded.screen = screen;
    PlacedRange placed{};
    if (kind == FileKind::GraphSaurus) {
        const LoadOutcome outcome = PlaceGraphSaurus(file.data(), file.size(), screen, loaded.vram.data(), placed);
        if (outcome != LoadOutcome::Accepted) return Refused(outcome, path);
        loaded.startAddress = static_cast<uint16_t>(placed.start);
        loaded.endAddress = static_cast<uint16_t>(placed.length > 0 ? placed.start + placed.length - 1 : placed.start);
    } else {
        BsaveHeader header{};
        if (file.size() > MaxBsaveFileBytes) file.resize(MaxBsaveFileBytes);
        if (PlaceBsave(file.data(), file.size(), screen, loaded.vram.data(), header) != LoadOutcome::Accepted) {
            return Refused(LoadOutcome::NotBsave, path);
        }
        placed = BsavePlacedRange(header, file.size());
        loaded.startAddress = header.startAddress;
        loaded.endAddress = header.endAddress;
    }

    loaded.paletteFile = PaletteFileFor(path, kind, loaded, placed, choice);
    if (!loaded.paletteFile.empty()) {
        std::vector<uint8_t> bytes;
        if (!Read(loaded.paletteFile, MaxPaletteFileBytes, bytes, report)) return report;
        uint8_t palette[PaletteBytes];
        const PaletteFileOutcome outcome = ReadPaletteFile(bytes.data(), bytes.size(), choice.index, palette);
        if (outcome != PaletteFileOutcome::Read) {
            report = Refused(LoadOutcome::NotPalette, loaded.paletteFile);
            report.palette = outcome;
            return report;
        }
        PutPalette(screen, palette, loaded.vram.data());
    }
    CapturePalette(screen, loaded.vram.data(), loaded.palette);
    page = std::move(loaded);
    return report;
}

}  // namespace velda
