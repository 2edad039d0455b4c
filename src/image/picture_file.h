// Opening a picture file of any kind VELDA reads, the one way the window,
// velda-convert and the thumbnailers all take. It is planned, then carried
// out: PlanPicture decides, from the request and the file's bytes, which
// reader reads the file, in which mode, where its palette comes from, which
// second page goes with it, or why it is refused; OpenPicture places the
// file in video memory as the plan says. Nothing else decides these.
//
// Readers: the kind a name gives, and then the file's own first bytes and
// size. A picture's name without the file's mark (0xFE; 0xFD too for Graph
// Saurus names) is a page dump without its header when its size is that
// of whole pages, and under a BSAVE dump's name a COPY file when its width
// and height account for its size. A chosen mode reads a name that names
// no picture as a BSAVE dump.
//
// Palettes: a palette mode's picture takes its colours from its palette
// table, where the power-on palette stands in. A palette file replaces
// them:
//   - one chosen for every picture (velda-convert --palette);
//   - otherwise X.PL5, X.PL6 or X.PL7 beside a picture X of that mode:
//     always for a Graph Saurus picture or a COPY file, and for a dump only
//     when its data stops before its palette table, so that a file that
//     carries its palette keeps it.
// Second pages: X.S15 ... X.S1C beside a picture X of that mode, unless
// interlacing is off; a page goes with a page, never with a COPY file's
// area or with a second page opened on its own.
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

// The reader as listings name it: "BSAVE", "Graph Saurus", "COPY", "page
// without header".
const char* ReaderName(PictureReader reader);

// What becomes of the second page of an interlaced pair: woven in where it
// is found (Auto), woven or blended where it must be (a picture without one
// is refused), or left out.
enum class Interlace { Auto, Weave, Blend, Off };

// A palette file chosen for every picture: its name, and its bytes or why
// they could not be read (told only for a picture that takes it).
struct ChosenPalette {
    std::string file;
    std::vector<uint8_t> bytes;
    LoadError read;
};

struct PictureRequest {
    PictureName name;                       // split by the holder's rules; its companions share it
    uint8_t screen = 0;                     // a chosen mode, over the name's; 0 for none
    bool bsaveOnly = false;                 // a BSAVE dump whatever its size (the SCREEN N Opens)
    Companions* beside = nullptr;           // the files beside it; nullptr: no companion is looked for
    Interlace interlace = Interlace::Off;   // whether its second page is looked for
    const ChosenPalette* chosen = nullptr;  // over the palette file beside it; nullptr for none
    int paletteIndex = 0;                   // which of the 8 palettes of a 256-byte palette file
    const uint8_t* heldPalette = nullptr;   // the palette in use before (32 bytes): the entries the
                                            // mode does not set stay; nullptr for zeros
};

// Where a picture's colours come from.
enum class PaletteSource {
    Own,     // its palette table (power-on where the file lacks it), or the fixed colours of its mode
    Chosen,  // the chosen palette file
    Beside,  // the palette file beside it
};

struct PicturePlan {
    LoadError refusal;                          // why the file is no picture to open; the rest is then unset
    FileKind kind = FileKind::Unknown;          // what it is read as: Bsave, GraphSaurus, Copy or SecondPage
    uint8_t screen = 0;
    PictureReader reader = PictureReader::Bsave;
    PaletteSource palette = PaletteSource::Own;
    std::string paletteFile;                    // Chosen or Beside: the file, as the companions name it
    std::string secondPage;                     // the second page that goes with it, as found; "" for none
};

// The picture a file leaves in video memory.
struct ScreenPage {
    uint8_t screen = 0;
    std::vector<uint8_t> vram = std::vector<uint8_t>(VramBytes);
    uint8_t palette[PaletteBytes] = {};  // the palette in register form, as the palette registers hold it
    uint16_t startAddress = 0;           // as File information shows them: a BSAVE
    uint16_t endAddress = 0;             // header's, or the range a Graph Saurus file filled
    uint16_t width = 0;                  // the picture's own size where it is not the whole
    uint16_t height = 0;                 // screen (a COPY file's area); 0 for the screen
    std::vector<uint8_t> secondVram;     // the second page's video memory, shown through `palette`;
                                         // empty for none
    bool spriteTables = false;           // whether the file filled all of the mode's sprite tables
};

// The most of a picture file that is ever read, whatever its kind.
constexpr std::size_t MaxPictureFileBytes = MaxGraphSaurusFileBytes;

// The plan for the picture file `file` (`size` bytes, at most
// MaxPictureFileBytes) that `request` asks for. Refused: a name that names
// no picture without a chosen mode (what is wrong with the file's BSAVE
// header first, if anything: UnknownExtension only for a sound one), a
// palette file opened alone, a mode VELDA does not show, and a picture
// asked to be woven or blended without its second page.
PicturePlan PlanPicture(const uint8_t* file, std::size_t size, const PictureRequest& request);

// Carries out `plan` (not refused) for `file` and `request`: reads it and
// its companions into a page of its own, which replaces `page` only when
// all went well. On any error `page` is left as it was; the error names
// the file it is in.
LoadError OpenPicture(const uint8_t* file, std::size_t size, const PicturePlan& plan, const PictureRequest& request,
                      ScreenPage& page);

// Plans and opens in one step, for a caller that reads nothing of the plan.
LoadError OpenPicture(const uint8_t* file, std::size_t size, const PictureRequest& request, ScreenPage& page);

}  // namespace velda
