// The picture the window shows: one record the window owns (ModelOf in
// shell_state_win.h), which painting, Save and File information read and
// every Open replaces. Nothing here outlives the window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/bmp_headers.h"
#include "image/container.h"
#include "image/picture_file.h"
#include "image/vram_image.h"
#include "render/picture.h"

namespace velda {

constexpr int PathChars = 256;  // the Open and Save dialogs' name buffers, in UTF-16 units

// The path the Open and Save dialogs start from and hand back (the
// confirmed one, or the picture opened last without them; UTF-8, and short
// enough for those buffers), and the addresses of the picture shown last.
struct CurrentFileRecord {
    std::string path;
    uint16_t startAddress = 0;
    uint16_t endAddress = 0;
};

// A container (a disk image, an archive) whose pictures the window shows,
// one at a time.
struct ShownContainer {
    std::string path;                   // the container's file
    std::vector<ListedFile> pictures;   // its pictures, and those of the containers in it, by name
    std::size_t position = 0;           // the one shown last, or tried last
};

// Where the picture on screen came from, which next and previous step from.
struct ShownFile {
    std::string path;                   // the file read: the picture, or the container holding it;
                                        // the file next and previous tried last; "" before any
    std::shared_ptr<ShownContainer> container;  // that container, whose pictures next and previous step through
};

struct PictureModel {
    uint8_t VramImage[VramBytes] = {};
    uint8_t MsxPalette[PaletteBytes] = {};
    uint8_t ScreenMode = 5;  // the mode of the picture shown; 5 when none is
    uint16_t PictureWidth = 0;   // the size of a picture smaller than the screen
    uint16_t PictureHeight = 0;  // (a COPY file's area); 0 for the whole screen
    bool SpriteTables = false;   // whether the picture's file filled its sprite tables
    bool PictureShown = false;   // a picture is on screen (not before the first, nor after Clear)
    ExportHeadersRecord ExportHeaders = {};  // zero until the first picture is shown
    CurrentFileRecord CurrentFile = {};
    ShownFile Shown;
    // What Save proposes, with "bmp": the path confirmed last in the Open or
    // Save dialog, or the picture opened since without them (in a disk
    // image, its harmless name in the image's folder).
    std::string SaveName;
};

// Makes `page` the picture in memory: its video memory, palette, size and
// addresses.
void AdoptPage(PictureModel& model, const ScreenPage& page);

// The picture in memory in `screen`'s mode, as the picture of it is made.
PageView ViewOf(const PictureModel& model, uint8_t screen);

}  // namespace velda
