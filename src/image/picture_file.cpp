#include "image/picture_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/palette_file.h"

namespace velda {

namespace {

bool HasLowerCase(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return std::islower(static_cast<unsigned char>(c)); });
}

// `error` as the fault of the companion `file` in `role`.
LoadError InCompanion(LoadError error, FileRole role, const std::string& file) {
    error.role = role;
    error.file = file;
    return error;
}

// The reader a file of `kind` is read by: a second page is a Graph Saurus
// file when its first byte says it is compressed, otherwise a BSAVE file.
FileKind ReaderOf(FileKind kind, const uint8_t* file, std::size_t size) {
    if (kind != FileKind::SecondPage) return kind;
    return size > 0 && file[0] == GraphSaurusCompressedId ? FileKind::GraphSaurus : FileKind::Bsave;
}

// Places one file of a picture (the picture itself, or its second page) in
// `vram` by the reader of `kind` (Bsave or GraphSaurus). `page`, when
// given, takes the addresses File information shows for it.
LoadError PlaceFile(const uint8_t* file, std::size_t size, FileKind kind, uint8_t screen, uint8_t* vram,
                    PlacedRange& placed, ScreenPage* page) {
    uint32_t start = 0, end = 0;
    LoadError error;
    if (kind == FileKind::GraphSaurus) {
        error = PlaceGraphSaurus(file, size, screen, vram, placed);
        start = placed.start;
        end = placed.length > 0 ? placed.start + placed.length - 1 : placed.start;
    } else {
        BsaveHeader header{};
        error = PlaceBsave(file, size, screen, vram, header);
        placed = BsavePlacedRange(header, size);
        start = header.startAddress;
        end = header.endAddress;
    }
    if (page != nullptr) {
        page->startAddress = static_cast<uint16_t>(start);
        page->endAddress = static_cast<uint16_t>(end);
    }
    return error;
}

// Where the palette a picture takes comes from.
enum class PaletteSource { Own, Chosen, Beside };

// `reader`: the reader the picture was read by.
PaletteSource PaletteSourceOf(const PictureRequest& request, FileKind reader, const ModeInfo& mode,
                              const PlacedRange& placed) {
    if (mode.paletteEntries == 0) return PaletteSource::Own;  // nothing to replace
    if (request.chosen != nullptr) return PaletteSource::Chosen;
    if (!request.paletteBeside || request.beside == nullptr || PaletteExtension(mode.screen) == nullptr) {
        return PaletteSource::Own;
    }
    const bool stopsBeforePalette = placed.start + placed.length <= static_cast<uint32_t>(mode.paletteAddress);
    return reader == FileKind::Bsave && !stopsBeforePalette ? PaletteSource::Own : PaletteSource::Beside;
}

// Puts the palette file that goes with the picture, if any, into its
// palette table.
LoadError TakePaletteFile(const PictureRequest& request, FileKind reader, const ModeInfo& mode,
                          const PlacedRange& placed, ScreenPage& page) {
    std::vector<uint8_t> beside;
    const std::vector<uint8_t>* bytes = &beside;
    switch (PaletteSourceOf(request, reader, mode, placed)) {
    case PaletteSource::Own:
        return LoadError{};
    case PaletteSource::Chosen:
        page.paletteFile = request.chosen->file;
        if (request.chosen->read) return InCompanion(request.chosen->read, FileRole::PaletteFile, page.paletteFile);
        bytes = &request.chosen->bytes;
        break;
    case PaletteSource::Beside:
        page.paletteFile = FindBeside(*request.beside, request.name, PaletteExtension(mode.screen));
        if (page.paletteFile.empty()) return LoadError{};
        if (LoadError error = request.beside->Read(page.paletteFile, MaxPaletteFileBytes, beside)) {
            return InCompanion(error, FileRole::PaletteFile, page.paletteFile);
        }
        break;
    }
    uint8_t palette[PaletteBytes];
    if (LoadError error = ReadPaletteFile(bytes->data(), bytes->size(), request.paletteIndex, palette)) {
        return InCompanion(error, FileRole::PaletteFile, page.paletteFile);
    }
    PutPalette(mode.screen, palette, page.vram.data());
    return LoadError{};
}

// Reads the second page beside the picture, if there is one.
LoadError TakeSecondPage(const PictureRequest& request, ScreenPage& page) {
    const char* extension = SecondPageExtension(request.screen);
    if (!request.secondPage || request.beside == nullptr || request.kind == FileKind::SecondPage ||
        extension == nullptr) {
        return LoadError{};
    }
    const std::string found = FindBeside(*request.beside, request.name, extension);
    if (found.empty()) return LoadError{};
    std::vector<uint8_t> bytes;
    LoadError error = request.beside->Read(found, MaxPictureFileBytes, bytes);
    if (!error) {
        // Only its video memory is kept: both pages show through one palette.
        page.secondVram.assign(VramBytes, 0);
        PlacedRange placed{};
        error = PlaceFile(bytes.data(), bytes.size(), ReaderOf(FileKind::SecondPage, bytes.data(), bytes.size()),
                          request.screen, page.secondVram.data(), placed, nullptr);
    }
    if (error) return InCompanion(error, FileRole::SecondPage, found);
    page.secondPage = found;
    return LoadError{};
}

}  // namespace

std::string FindBeside(Companions& beside, const PictureName& name, const char* extension) {
    const std::string upper = extension;
    const std::string lower = LowerCase(upper);
    const bool lowerFirst = HasLowerCase(name.extension);
    for (const std::string& candidate : {lowerFirst ? lower : upper, lowerFirst ? upper : lower}) {
        const std::string found = beside.Find(name.stem + "." + candidate);
        if (!found.empty()) return found;
    }
    return "";
}

LoadError OpenPicture(const uint8_t* file, std::size_t size, const PictureRequest& request, ScreenPage& page) {
    const ModeInfo* mode = FindMode(request.screen);
    if (mode == nullptr) {
        LoadError error{LoadFault::UnknownExtension};
        error.extension = request.name.extension;
        return error;
    }
    page.screen = request.screen;
    // Video memory starts cleared, as at program start: the readers clear
    // the mode's share themselves, this the rest.
    page.vram.resize(VramBytes);
    std::fill(page.vram.begin() + mode->clearBytes, page.vram.end(), 0);
    if (request.heldPalette != nullptr) {
        std::memcpy(page.palette, request.heldPalette, PaletteBytes);
    } else {
        std::memset(page.palette, 0, PaletteBytes);
    }
    page.paletteFile.clear();
    page.secondPage.clear();
    page.secondVram.clear();

    const FileKind reader = ReaderOf(request.kind, file, size);
    PlacedRange placed{};
    if (LoadError error = PlaceFile(file, size, reader, request.screen, page.vram.data(), placed, &page)) return error;
    if (LoadError error = TakePaletteFile(request, reader, *mode, placed, page)) return error;
    CapturePalette(request.screen, page.vram.data(), page.palette);
    return TakeSecondPage(request, page);
}

}  // namespace velda
