// Opening a picture file of any kind VELDA reads, the one way the window's
// Open commands and velda-convert all take: the file's bytes placed in
// video memory by the reader of its kind, given the palette that goes with
// it, and, for an interlaced pair, its second page beside it.
//
// Readers: the kind a name gives, and then the file's own first bytes and
// size. A picture's name without the file's mark (0xFE; 0xFD too for Graph
// Saurus names) is a page dump without its header when its size is that
// of whole pages, and under a BSAVE dump's name a COPY file when its width
// and height account for its size.
//
// Palettes: a palette mode's picture takes its colours from its palette
// table, where the power-on palette stands in. A palette file replaces
// them:
//   - one chosen for every picture (velda-convert --palette);
//   - otherwise X.PL5, X.PL6 or X.PL7 beside a picture X of that mode:
//     always for a Graph Saurus picture, and for a BSAVE dump only when its
//     data stops before its palette table, so that a file that carries its
//     palette keeps it.
// The companions (palette file, second page) come from the Companions the
// request names; each file is read once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/companions.h"
#include "image/file_types.h"
#include "image/graph_saurus.h"
#include "image/load_error.h"
#include "image/vram_image.h"

namespace velda {

// The readers of picture files: a BSAVE dump, a Graph Saurus picture, a
// COPY file, or a page dump without a header.
enum class PictureReader { Bsave, GraphSaurus, Copy, PageDump };

// The picture a file leaves in video memory.
struct ScreenPage {
    uint8_t screen = 0;
    PictureReader reader = PictureReader::Bsave;  // the reader that read it
    std::vector<uint8_t> vram = std::vector<uint8_t>(VramBytes);
    uint8_t palette[PaletteBytes] = {};  // the palette in register form, as the palette registers hold it
    uint16_t startAddress = 0;           // as File information shows them: a BSAVE
    uint16_t endAddress = 0;             // header's, or the range a Graph Saurus file filled
    uint16_t width = 0;                  // the picture's own size where it is not the whole
    uint16_t height = 0;                 // screen (a COPY file's area); 0 for the screen
    std::string paletteFile;             // the palette file used; "" for none
    std::string secondPage;              // the second page read with it; "" for none
    std::vector<uint8_t> secondVram;     // its video memory, shown through `palette`
};

// A palette file chosen for every picture: its name, and its bytes or why
// they could not be read (told only for a picture that takes it).
struct ChosenPalette {
    std::string file;
    std::vector<uint8_t> bytes;
    LoadError read;
};

struct PictureRequest {
    FileKind kind = FileKind::Bsave;  // what the name says: Bsave, GraphSaurus, Copy, or SecondPage
                                      // (Graph Saurus when its first byte is 0xFD, otherwise BSAVE)
    uint8_t screen = 0;
    bool bsaveOnly = false;                  // read as a BSAVE dump whatever its size (the SCREEN N Opens)
    PictureName name;                        // the picture's name, which its companions share
    Companions* beside = nullptr;            // the files beside it; nullptr: none is looked for
    bool paletteBeside = true;               // take the palette file beside it where one goes with it
    bool secondPage = false;                 // read the second page beside it too
    const ChosenPalette* chosen = nullptr;   // over the palette file beside it; nullptr for none
    int paletteIndex = 0;                    // which of the 8 palettes of a 256-byte palette file
    const uint8_t* heldPalette = nullptr;    // the palette in use before (32 bytes): the entries the
                                             // mode does not set stay; nullptr for zeros
};

// The most of a picture file that is ever read, whatever its kind.
constexpr std::size_t MaxPictureFileBytes = MaxGraphSaurusFileBytes;

// Opens the picture file `file` (`size` bytes, at most MaxPictureFileBytes)
// as `request` says, into `page`, whose storage is used again. Video memory
// starts cleared, as at program start. On any error `page` holds nothing
// of use; the error names the file it is in.
LoadError OpenPicture(const uint8_t* file, std::size_t size, const PictureRequest& request, ScreenPage& page);

}  // namespace velda
