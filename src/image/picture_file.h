// Opening a picture file of any kind VELDA reads, as the window's Open by
// extension and velda-convert both do: the file read whole, placed in
// video memory by the reader of its kind, and given the palette that goes
// with it.
//
// Palettes: a palette mode's picture takes its colours from its palette
// table, where the power-on palette stands in. A palette file replaces
// them:
//   - one chosen for every picture (velda-convert --palette);
//   - otherwise X.PL5, X.PL6 or X.PL7 beside a picture X of that mode:
//     always for a Graph Saurus picture, and for a BSAVE dump only when its
//     data stops before its palette table, so that a file that carries its
//     palette keeps it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/bsave_loader.h"
#include "image/file_types.h"
#include "image/graph_saurus.h"
#include "image/palette_file.h"
#include "image/vram_image.h"

namespace velda {

// The picture a file leaves in video memory.
struct ScreenPage {
    uint8_t screen = 0;
    std::vector<uint8_t> vram = std::vector<uint8_t>(VramBytes);
    uint8_t palette[PaletteBytes] = {};  // captured from the palette table, as MsxPalette
    uint16_t startAddress = 0;           // as File information shows them: a BSAVE
    uint16_t endAddress = 0;             // header's, or the range a Graph Saurus file filled
    std::string paletteFile;             // the palette file used; "" for none
};

struct PaletteChoice {
    std::string file;      // a palette file for every picture; "" for the one beside it
    int index = 0;         // which of the 8 palettes of a 256-byte file
    bool beside = true;    // look for a palette file beside the picture
};

// How an open went. On any outcome but Accepted, `file` names the file it
// is about (the picture or a palette file) and `page` is left alone.
struct LoadReport {
    LoadOutcome outcome = LoadOutcome::Accepted;
    std::string file;
    int errorNumber = 0;  // CannotOpen, ReadFailed: errno
    PaletteFileOutcome palette = PaletteFileOutcome::Read;  // NotPalette: why
};

// Opens `path` as a picture of the given mode, read by the reader of
// `kind`: Bsave, GraphSaurus, or SecondPage (Graph Saurus when its first
// byte is 0xFD, otherwise BSAVE). Starts from cleared video memory and
// palette, as a freshly started VELDA.
LoadReport LoadPictureFile(const std::string& path, FileKind kind, uint8_t screen, const PaletteChoice& choice,
                           ScreenPage& page);

// Reads the picture file `path` whole into `file` (at most
// MaxPictureFileBytes bytes). Returns false, with `report` saying why, when
// it cannot be opened or read.
bool ReadPictureFile(const std::string& path, std::vector<uint8_t>& file, LoadReport& report);

// The same as LoadPictureFile for a file read already: `file` holds its bytes (at most
// MaxPictureFileBytes of them; it may be changed). The picture is made in
// `page` itself, whose storage is used again: on any outcome but Accepted
// `page` holds nothing of use. For converting many files one after another.
LoadReport LoadPictureBytes(const std::string& path, std::vector<uint8_t>& file, FileKind kind, uint8_t screen,
                            const PaletteChoice& choice, ScreenPage& page);

// The most of a picture file that is ever read, whatever its kind.
constexpr std::size_t MaxPictureFileBytes = MaxGraphSaurusFileBytes;

// The file beside `path` with the same name and the extension
// `extension`, in the case of `path`'s own extension or else in the
// other; "" when there is none.
std::string FindBeside(const std::string& path, const char* extension);

}  // namespace velda
