// A decoded picture, ready to be written as PNG or as a BMP in other
// colours than Save's.
//
//   mode        width  bitDepth  palette    row bytes
//   5           256    4         16         128   two pixels a byte, left one high
//   6           512    4          4         256   (2-bit pixels widened to 4 bits)
//   7           512    4         16         256
//   8           256    8         256        256   the VRAM byte is the index
//   10, 11, 12  256    24        none       768   red, green, blue
//
// Rows are stored top line first. Indices are the very bytes Save writes;
// only the colours depend on the colour rule.
#pragma once

#include <cstdint>
#include <vector>

#include "export/bmp_headers.h"
#include "image/mode_table.h"
#include "tools/color_rules.h"

namespace velda {

struct Picture {
    uint8_t screen = 0;
    int width = 0;
    int height = 0;
    int bitDepth = 0;  // 4 or 8: indexed into `palette`; 24: red, green, blue
    int rowBytes = 0;
    std::vector<Rgb8> palette;
    std::vector<uint8_t> pixels;  // height * rowBytes, top line first

    bool Indexed() const { return bitDepth != 24; }
    const uint8_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * rowBytes; }
};

// Decodes `vram` in the given mode with the palette `msxPalette` (register
// form, as MsxPalette) under `rule` into `picture`, reusing its storage.
// Returns false, leaving `picture` alone, for a number that is not a mode.
bool BuildPicture(uint8_t screen, const uint8_t* vram, const uint8_t* msxPalette, ColorRule rule,
                  Picture& picture);

// Streams `picture` as a BMP in Save's layout (headers of its mode, colour
// table, rows from line 211 up to line 0) into `sink`, which offers
// Write(const uint8_t*, size_t) and is handed whole rows. With the velda
// rule the bytes are those of Save; with another rule only the colours
// differ.
template <class Sink>
void EncodePictureBmp(Sink& sink, const Picture& picture) {
    ExportHeadersRecord headers{};
    PrepareExportHeaders(picture.screen, headers);
    uint8_t headerBytes[BmpHeadersBytes];
    SerializeExportHeaders(headers, headerBytes);
    sink.Write(headerBytes, sizeof headerBytes);

    for (const Rgb8& c : picture.palette) {
        const uint8_t quad[4] = {c.b, c.g, c.r, 0};
        sink.Write(quad, sizeof quad);
    }

    uint8_t bgr[3 * CanvasWidth];  // one 24-bit row (BuildPicture makes those 256 pixels wide)
    for (int y = picture.height - 1; y >= 0; --y) {
        const uint8_t* row = picture.Row(y);
        if (picture.Indexed()) {
            sink.Write(row, static_cast<std::size_t>(picture.rowBytes));
            continue;
        }
        for (int x = 0; x < picture.width; ++x, row += 3) {
            bgr[3 * x] = row[2];  // blue, green, red
            bgr[3 * x + 1] = row[1];
            bgr[3 * x + 2] = row[0];
        }
        sink.Write(bgr, static_cast<std::size_t>(3 * picture.width));
    }
}

}  // namespace velda
