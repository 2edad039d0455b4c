#include "image/picture_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "image/bsave_loader.h"
#include "image/copy_file.h"
#include "image/mode_table.h"
#include "image/name_letters.h"
#include "image/palette_file.h"

namespace velda {

namespace {

using Reader = PictureReader;

// `error` as the fault of the companion `file` in `role`.
LoadError InCompanion(LoadError error, FileRole role, const std::string& file) {
    error.role = role;
    error.file = file;
    return error;
}

// The reader of a file whose name says `named`, by its first bytes and
// size where the name allows more than one.
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

// Whether a dump's data reaches the palette table at `paletteAddress`: a
// BSAVE file by its header and its size, a page dump by its size.
bool ReachesPaletteTable(Reader reader, const uint8_t* file, std::size_t size, int paletteAddress) {
    if (reader == Reader::PageDump) return size > static_cast<std::size_t>(paletteAddress);
    BsaveHeader header{};
    if (ParseBsaveHeader(file, size, header)) return false;  // refused when it is read
    const PlacedRange placed = BsavePlacedRange(header, size);
    return placed.start + placed.length > static_cast<uint32_t>(paletteAddress);
}

// The request's file name with `extension` in place of its own, as the
// file looked for beside it is named in messages.
std::string NameWith(const PictureName& name, const char* extension) {
    return name.stem + "." + (HasSmallLetter(name.extension) ? SmallLetters(extension) : std::string(extension));
}

// The kind and mode a file is read as, or why it is no picture.
LoadError ReadAs(const uint8_t* file, std::size_t size, const PictureRequest& request, PicturePlan& plan) {
    const FileType named = TypeOfExtension(request.name.extension);
    if (request.screen != 0) {
        // SCREEN 1-4 pictures are BSAVE dumps whatever the name.
        const bool keepsKind = IsPictureKind(named.kind) && !request.bsaveOnly && !IsPatternScreen(request.screen);
        plan.kind = keepsKind ? named.kind : FileKind::Bsave;
        plan.screen = request.screen;
    } else if (named.kind == FileKind::Palette) {
        return LoadError(LoadFault::PaletteFileAlone);
    } else if (!IsPictureKind(named.kind)) {
        // Without a mode it is no picture: what is wrong with it is said first.
        BsaveHeader header{};
        LoadError error = ParseBsaveHeader(file, size, header);
        if (!error) {
            error = LoadError(LoadFault::UnknownExtension);
            error.extension = request.name.extension;
        }
        return error;
    } else {
        plan.kind = named.kind;
        plan.screen = named.screen;
    }
    if (FindMode(plan.screen) == nullptr) return NoSuchScreenError(plan.screen);
    return LoadError{};
}

// Where the colours of the picture come from, and the palette file.
void PlanPalette(const uint8_t* file, std::size_t size, const PictureRequest& request, PicturePlan& plan) {
    const ModeInfo& mode = *FindMode(plan.screen);
    if (mode.paletteEntries == 0) return;  // nothing to replace
    if (request.chosen != nullptr) {
        plan.palette = PaletteSource::Chosen;
        plan.paletteFile = request.chosen->file;
        return;
    }
    const char* extension = PaletteExtension(plan.screen);
    if (request.beside == nullptr || extension == nullptr) return;
    // A dump that reaches its palette table keeps its own palette; a Graph
    // Saurus or COPY file has none.
    const bool dump = plan.reader == Reader::Bsave || plan.reader == Reader::PageDump;
    if (dump && ReachesPaletteTable(plan.reader, file, size, mode.paletteAddress)) return;
    plan.paletteFile = FindBeside(*request.beside, request.name, extension);
    if (!plan.paletteFile.empty()) plan.palette = PaletteSource::Beside;
}

// The second page that goes with the picture, or why the one asked for is
// not there.
LoadError PlanSecondPage(const PictureRequest& request, PicturePlan& plan) {
    if (request.interlace == Interlace::Off) return LoadError{};
    const char* extension = SecondPageExtension(plan.screen);
    const bool takesOne = plan.kind != FileKind::SecondPage && plan.reader != Reader::Copy && extension != nullptr;
    if (takesOne && request.beside != nullptr) plan.secondPage = FindBeside(*request.beside, request.name, extension);
    if (!plan.secondPage.empty() || request.interlace == Interlace::Auto) return LoadError{};
    LoadError error(LoadFault::NoSecondPage, plan.reader == Reader::Copy ? FileKind::Copy : plan.kind);
    if (takesOne) error.secondPage = NameWith(request.name, extension);
    error.blend = request.interlace == Interlace::Blend;
    return error;
}

// Whether `placed` fills every sprite table of the mode: the attribute
// table (with the colour table below it in sprite mode 2) and the 256
// patterns of 8 bytes.
bool FillsSpriteTables(const ModeInfo& mode, PlacedRange placed) {
    constexpr uint32_t AttributeTableBytes = 128, PatternTableBytes = 2048;
    const uint32_t end = placed.start + placed.length;
    const uint32_t attributes = static_cast<uint32_t>(mode.spriteAttributes);
    const uint32_t first = static_cast<uint32_t>(mode.spriteMode == 2 ? SpriteColorTable(mode) : mode.spriteAttributes);
    const uint32_t patterns = static_cast<uint32_t>(mode.spritePatterns);
    return placed.start <= first && attributes + AttributeTableBytes <= end && placed.start <= patterns &&
           patterns + PatternTableBytes <= end;
}

// Places one file of a picture (the picture itself, or its second page) in
// `vram` by `reader`. `page`, when given, takes the addresses File
// information shows for it and the size of a COPY file's area.
LoadError PlaceFile(const uint8_t* file, std::size_t size, Reader reader, uint8_t screen, uint8_t* vram,
                    ScreenPage* page) {
    uint32_t start = 0, end = 0;
    uint16_t width = 0, height = 0;
    PlacedRange filled{};  // what the file filled, for its sprite tables
    LoadError error;
    if (reader == Reader::Copy) {
        error = PlaceCopy(file, size, screen, vram, width, height);
        if (!error) {  // its area's last byte in video memory
            const ModeInfo& mode = *FindMode(screen);
            end = static_cast<uint32_t>(height - 1) * mode.bytesPerLine +
                  (static_cast<uint32_t>(width) * mode.bitsPerPixel + 7) / 8 - 1;
        }
    } else if (reader == Reader::PageDump) {
        PlacePageDump(file, size, screen, vram);
        end = static_cast<uint32_t>(size) - 1;
        filled = PlacedRange{0, static_cast<uint32_t>(size)};
    } else if (reader == Reader::GraphSaurus) {
        PlacedRange placed{};
        error = PlaceGraphSaurus(file, size, screen, vram, placed);
        filled = placed;
        start = placed.start;
        end = placed.length > 0 ? placed.start + placed.length - 1 : placed.start;
    } else {
        BsaveHeader header{};
        error = PlaceBsave(file, size, screen, vram, header);
        start = header.startAddress;
        end = header.endAddress;
        if (!error) filled = BsavePlacedRange(header, size);
    }
    if (page != nullptr) {
        page->startAddress = static_cast<uint16_t>(start);
        page->endAddress = static_cast<uint16_t>(end);
        page->width = width;
        page->height = height;
        page->spriteTables = FillsSpriteTables(*FindMode(screen), filled);
    }
    return error;
}

// Puts the palette file of the plan, if any, into the page's palette table.
LoadError TakePaletteFile(const PicturePlan& plan, const PictureRequest& request, ScreenPage& page) {
    std::vector<uint8_t> beside;
    const std::vector<uint8_t>* bytes = &beside;
    switch (plan.palette) {
    case PaletteSource::Own:
        return LoadError{};
    case PaletteSource::Chosen:
        if (request.chosen->read) return InCompanion(request.chosen->read, FileRole::PaletteFile, plan.paletteFile);
        bytes = &request.chosen->bytes;
        break;
    case PaletteSource::Beside:
        if (LoadError error = request.beside->Read(plan.paletteFile, MaxPaletteFileBytes, beside)) {
            return InCompanion(error, FileRole::PaletteFile, plan.paletteFile);
        }
        break;
    }
    // A palette file of fewer entries leaves the others as the table has them.
    uint8_t palette[PaletteBytes] = {};
    CapturePalette(plan.screen, page.vram.data(), palette);
    if (LoadError error = ReadPaletteFile(bytes->data(), bytes->size(), request.paletteIndex, palette)) {
        return InCompanion(error, FileRole::PaletteFile, plan.paletteFile);
    }
    PutPalette(plan.screen, palette, page.vram.data());
    return LoadError{};
}

// Reads the second page of the plan, if any, into the page: only its video
// memory is kept, as both pages show through one palette.
LoadError TakeSecondPage(const PicturePlan& plan, const PictureRequest& request, ScreenPage& page) {
    if (plan.secondPage.empty()) return LoadError{};
    std::vector<uint8_t> bytes;
    LoadError error = request.beside->Read(plan.secondPage, MaxPictureFileBytes, bytes);
    if (!error) {
        page.secondVram.assign(VramBytes, 0);
        const Reader reader = ReaderOf(FileKind::SecondPage, bytes.data(), bytes.size(), plan.screen);
        error = PlaceFile(bytes.data(), bytes.size(), reader, plan.screen, page.secondVram.data(), nullptr);
    }
    return error ? InCompanion(error, FileRole::SecondPage, plan.secondPage) : LoadError{};
}

}  // namespace

const char* ReaderName(PictureReader reader) {
    switch (reader) {
    case Reader::GraphSaurus: return "Graph Saurus";
    case Reader::Copy: return "COPY";
    case Reader::PageDump: return "page without header";
    default: return "BSAVE";
    }
}

std::string FindBeside(Companions& beside, const PictureName& name, const char* extension) {
    const std::string upper = extension;
    const std::string lower = SmallLetters(upper);
    const bool lowerFirst = HasSmallLetter(name.extension);
    for (const std::string& candidate : {lowerFirst ? lower : upper, lowerFirst ? upper : lower}) {
        const std::string found = beside.Find(name.stem + "." + candidate);
        if (!found.empty()) return found;
    }
    return "";
}

PicturePlan PlanPicture(const uint8_t* file, std::size_t size, const PictureRequest& request) {
    PicturePlan plan;
    plan.refusal = ReadAs(file, size, request, plan);
    if (plan.refusal) return plan;
    plan.reader = request.bsaveOnly ? Reader::Bsave : ReaderOf(plan.kind, file, size, plan.screen);
    PlanPalette(file, size, request, plan);
    plan.refusal = PlanSecondPage(request, plan);
    return plan;
}

LoadError OpenPicture(const uint8_t* file, std::size_t size, const PicturePlan& plan, const PictureRequest& request,
                      ScreenPage& page) {
    if (plan.refusal) return plan.refusal;
    // A page of its own, all zero as video memory is at program start.
    ScreenPage opened;
    opened.screen = plan.screen;
    if (request.heldPalette != nullptr) std::memcpy(opened.palette, request.heldPalette, PaletteBytes);
    if (LoadError error = PlaceFile(file, size, plan.reader, plan.screen, opened.vram.data(), &opened)) return error;
    if (LoadError error = TakePaletteFile(plan, request, opened)) return error;
    CapturePalette(plan.screen, opened.vram.data(), opened.palette);
    if (LoadError error = TakeSecondPage(plan, request, opened)) return error;
    page = std::move(opened);
    return LoadError{};
}

LoadError OpenPicture(const uint8_t* file, std::size_t size, const PictureRequest& request, ScreenPage& page) {
    return OpenPicture(file, size, PlanPicture(file, size, request), request, page);
}

}  // namespace velda
