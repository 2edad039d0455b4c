#include "image/picture_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "image/bsave_loader.h"
#include "image/copy_file.h"
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

using Reader = PictureReader;

// The reader of a file whose name says `kind`, by its first bytes and size
// where the name allows more than one.
Reader ReaderOf(FileKind named, const uint8_t* file, std::size_t size, uint8_t screen) {
    if (named == FileKind::Copy) return Reader::Copy;
    FileKind kind = named;
    if (named == FileKind::SecondPage) {
        kind = size > 0 && file[0] == GraphSaurusCompressedId ? FileKind::GraphSaurus : FileKind::Bsave;
    }
    const bool marked =
        size > 0 && (file[0] == BsaveId || (kind == FileKind::GraphSaurus && file[0] == GraphSaurusCompressedId));
    if (!marked && IsPageDump(size, screen)) return Reader::PageDump;
    if (!marked && named == FileKind::Bsave && IsCopyFile(file, size, screen)) return Reader::Copy;
    return kind == FileKind::GraphSaurus ? Reader::GraphSaurus : Reader::Bsave;
}

// Places one file of a picture (the picture itself, or its second page) in
// `vram` by `reader`. `page`, when given, takes the addresses File
// information shows for it and the size of a COPY file's area.
LoadError PlaceFile(const uint8_t* file, std::size_t size, Reader reader, uint8_t screen, uint8_t* vram,
                    PlacedRange& placed, ScreenPage* page) {
    uint32_t start = 0, end = 0;
    uint16_t width = 0, height = 0;
    LoadError error;
    if (reader == Reader::Copy) {
        error = PlaceCopy(file, size, screen, vram, width, height);
        if (!error) {  // its area's last byte in video memory
            const ModeInfo& mode = *FindMode(screen);
            end = static_cast<uint32_t>(height - 1) * mode.bytesPerLine +
                  (static_cast<uint32_t>(width) * mode.bitsPerPixel + 7) / 8 - 1;
            placed = PlacedRange{0, end + 1};
        }
    } else if (reader == Reader::PageDump) {
        PlacePageDump(file, size, screen, vram);
        placed = PlacedRange{0, static_cast<uint32_t>(size)};
        end = placed.length - 1;
    } else if (reader == Reader::GraphSaurus) {
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
        page->width = width;
        page->height = height;
    }
    return error;
}

// Where the palette a picture takes comes from.
enum class PaletteSource { Own, Chosen, Beside };

PaletteSource PaletteSourceOf(const PictureRequest& request, Reader reader, const ModeInfo& mode,
                              const PlacedRange& placed) {
    if (mode.paletteEntries == 0) return PaletteSource::Own;  // nothing to replace
    if (request.chosen != nullptr) return PaletteSource::Chosen;
    if (!request.paletteBeside || request.beside == nullptr || PaletteExtension(mode.screen) == nullptr) {
        return PaletteSource::Own;
    }
    // A dump that reaches its palette table keeps its own palette; a Graph
    // Saurus or COPY file has none.
    const bool stopsBeforePalette = placed.start + placed.length <= static_cast<uint32_t>(mode.paletteAddress);
    const bool dump = reader == Reader::Bsave || reader == Reader::PageDump;
    return dump && !stopsBeforePalette ? PaletteSource::Own : PaletteSource::Beside;
}

// Puts the palette file that goes with the picture, if any, into its
// palette table.
LoadError TakePaletteFile(const PictureRequest& request, Reader reader, const ModeInfo& mode,
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

// Reads the second page beside the picture, if there is one: a page goes
// with a page, never with a COPY file's area.
LoadError TakeSecondPage(const PictureRequest& request, Reader reader, ScreenPage& page) {
    const char* extension = SecondPageExtension(request.screen);
    if (!request.secondPage || request.beside == nullptr || request.kind == FileKind::SecondPage ||
        reader == Reader::Copy || extension == nullptr) {
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
        error = PlaceFile(bytes.data(), bytes.size(),
                          ReaderOf(FileKind::SecondPage, bytes.data(), bytes.size(), request.screen), request.screen,
                          page.secondVram.data(), placed, nullptr);
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

    const Reader reader = request.bsaveOnly ? Reader::Bsave : ReaderOf(request.kind, file, size, request.screen);
    page.reader = reader;
    PlacedRange placed{};
    if (LoadError error = PlaceFile(file, size, reader, request.screen, page.vram.data(), placed, &page)) return error;
    if (LoadError error = TakePaletteFile(request, reader, *mode, placed, page)) return error;
    CapturePalette(request.screen, page.vram.data(), page.palette);
    return TakeSecondPage(request, reader, page);
}

}  // namespace velda
