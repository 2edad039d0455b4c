// Writing a picture as an uncompressed BMP file, the form Save writes:
// the two headers as they stand, the picture's colour table (entry 0
// first, blue, green, red, 0), then the rows from the bottom line up to
// the top one, each left to right and filled with zeros to whole groups of
// four bytes (the screen's rows need none). Nothing follows the last row.
//
// The picture's rows are already in the BMP's form: indices of 4 or 8
// bits, or blue, green, red.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "export/bmp_headers.h"
#include "render/picture.h"

namespace velda {

// A sink that appends what it is handed to a byte vector: the BMP in
// memory.
struct ByteSink {
    std::vector<uint8_t>& bytes;
    void Write(const uint8_t* data, std::size_t count) { bytes.insert(bytes.end(), data, data + count); }
};

// Streams the BMP of `picture` with the given headers (PrepareExportHeaders
// of it) into `sink`, which offers Write(const uint8_t*, size_t) and is
// handed whole rows.
template <class Sink>
void EncodeBmp(Sink& sink, const Picture& picture, const ExportHeadersRecord& headers) {
    uint8_t headerBytes[BmpHeadersBytes];
    SerializeExportHeaders(headers, headerBytes);
    sink.Write(headerBytes, sizeof headerBytes);

    for (const Rgb8& c : picture.palette) {
        const uint8_t quad[4] = {c.b, c.g, c.r, 0};
        sink.Write(quad, sizeof quad);
    }

    const uint8_t filler[3] = {};
    const int fill = BmpRowStride(picture.width, picture.bitDepth) - picture.rowBytes;
    for (int y = picture.height - 1; y >= 0; --y) {
        sink.Write(picture.Row(y), static_cast<std::size_t>(picture.rowBytes));
        if (fill > 0) sink.Write(filler, static_cast<std::size_t>(fill));
    }
}

}  // namespace velda
