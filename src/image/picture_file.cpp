#include "image/picture_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

bool ReadPictureFile(const std::string& path, std::vector<uint8_t>& file, LoadReport& report) {
    return Read(path, MaxPictureFileBytes, file, report);
}

LoadReport LoadPictureFile(const std::string& path, FileKind kind, uint8_t screen, const PaletteChoice& choice,
                           ScreenPage& page) {
    LoadReport report;
    std::vector<uint8_t> file;
    if (!ReadPictureFile(path, file, report)) return report;
    ScreenPage loaded;
    report = LoadPictureBytes(path, file, kind, screen, choice, loaded);
    if (report.outcome == LoadOutcome::Accepted) page = std::move(loaded);
    return report;
}

LoadReport LoadPictureBytes(const std::string& path, std::vector<uint8_t>& file, FileKind kind, uint8_t screen,
                            const PaletteChoice& choice, ScreenPage& page) {
    LoadReport report;
    if (FindMode(screen) == nullptr) return Refused(LoadOutcome::NotBsave, path);
    if (kind == FileKind::SecondPage) {
        kind = !file.empty() && file[0] == GraphSaurusCompressedId ? FileKind::GraphSaurus : FileKind::Bsave;
    }

    page.screen = screen;
    // Video memory starts cleared, as at program start: the readers clear
    // the mode's share themselves, this the rest.
    page.vram.resize(VramBytes);
    std::fill(page.vram.begin() + FindMode(screen)->clearBytes, page.vram.end(), 0);
    std::memset(page.palette, 0, sizeof page.palette);
    page.paletteFile.clear();
    PlacedRange placed{};
    if (kind == FileKind::GraphSaurus) {
        const LoadOutcome outcome = PlaceGraphSaurus(file.data(), file.size(), screen, page.vram.data(), placed);
        if (outcome != LoadOutcome::Accepted) return Refused(outcome, path);
        page.startAddress = static_cast<uint16_t>(placed.start);
        page.endAddress = static_cast<uint16_t>(placed.length > 0 ? placed.start + placed.length - 1 : placed.start);
    } else {
        BsaveHeader header{};
        if (file.size() > MaxBsaveFileBytes) file.resize(MaxBsaveFileBytes);
        if (PlaceBsave(file.data(), file.size(), screen, page.vram.data(), header) != LoadOutcome::Accepted) {
            return Refused(LoadOutcome::NotBsave, path);
        }
        placed = BsavePlacedRange(header, file.size());
        page.startAddress = header.startAddress;
        page.endAddress = header.endAddress;
    }

    page.paletteFile = PaletteFileFor(path, kind, page, placed, choice);
    if (!page.paletteFile.empty()) {
        std::vector<uint8_t> bytes;
        if (!Read(page.paletteFile, MaxPaletteFileBytes, bytes, report)) return report;
        uint8_t palette[PaletteBytes];
        const PaletteFileOutcome outcome = ReadPaletteFile(bytes.data(), bytes.size(), choice.index, palette);
        if (outcome != PaletteFileOutcome::Read) {
            report = Refused(LoadOutcome::NotPalette, page.paletteFile);
            report.palette = outcome;
            return report;
        }
        PutPalette(screen, palette, page.vram.data());
    }
    CapturePalette(screen, page.vram.data(), page.palette);
    return report;
}

}  // namespace velda
