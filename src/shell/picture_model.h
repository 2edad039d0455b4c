// The picture the window shows: one record the window owns (ModelOf in
// shell_state_win.h), which painting, Save and File information read and
// every Open replaces. Nothing here outlives the window.
#pragma once

#include <cstdint>
#include <string>

#include "export/bmp_headers.h"
#include "image/picture_file.h"
#include "image/vram_image.h"

namespace velda {

constexpr int PathBytes = 256;  // the Open and Save dialogs' name buffers

// The path confirmed last in the Open or Save dialog, and the addresses of
// the picture shown last.
struct CurrentFileRecord {
    char path[PathBytes];
    uint16_t startAddress;
    uint16_t endAddress;
};

struct PictureModel {
    uint8_t VramImage[VramBytes] = {};
    uint8_t MsxPalette[PaletteBytes] = {};
    ColorRef ColorTable[ColorTableSize] = {};
    uint8_t ScreenMode = 5;  // the mode of the picture shown; 5 when none is
    ExportHeadersRecord ExportHeaders = {};  // zero until the first picture is shown
    CurrentFileRecord CurrentFile = {};
    // The picture next and previous step from: the file of the last
    // successful Open, or the file they tried last. "" before any.
    std::string CurrentPicturePath;
};

// Makes `page` the picture in memory: its video memory, palette and
// addresses, and the display colours of its mode.
void AdoptPage(PictureModel& model, const ScreenPage& page);

}  // namespace velda
