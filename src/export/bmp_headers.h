// The two headers of an uncompressed Windows BMP file, as Save and
// velda-convert write them: made in one way, from the picture written.
//
//   offset  size  field             offset  size  field
//   0       2     bfType "BM"       14      4     biSize 40
//   2       4     bfSize            18      4     biWidth 256 or 512
//   6       2     bfReserved1 0     22      4     biHeight 212 (bottom-up)
//   8       2     bfReserved2 0     26      2     biPlanes 1
//   10      4     bfOffBits         28      2     biBitCount 4, 8 or 24
//                                   30      4     biCompression 0 (BI_RGB)
//                                   34      4     biSizeImage
//                                   38, 42  4+4   pels per metre 0, 0
//                                   46      4     biClrUsed
//                                   50      4     biClrImportant 0
// All fields little-endian; the colour table follows at offset 54.
#pragma once

#include <cstdint>

#include "render/picture.h"

namespace velda {

constexpr int BmpFileHeaderBytes = 14;
constexpr int BmpInfoHeaderBytes = 40;
constexpr int BmpHeadersBytes = BmpFileHeaderBytes + BmpInfoHeaderBytes;
constexpr uint16_t BmpSignature = 0x4D42;  // "BM"

struct BmpFileHeader {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
};

struct BmpInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

struct ExportHeadersRecord {
    BmpFileHeader file;
    BmpInfoHeader info;
};

// The headers of the BMP of `picture`: the ten fields every BMP VELDA
// writes shares, then the six of the picture's size, depth and colour
// table. biClrUsed counts a colour table shorter than the pixels could
// index (SCREEN 6's 4 entries for 4-bit pixels) and is 0 for a full one.
ExportHeadersRecord PrepareExportHeaders(const Picture& picture);

// The bytes a BMP row of `width` pixels of `bitCount` bits takes: whole
// groups of four bytes (the screen's rows need no filler).
constexpr int BmpRowStride(int width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

// The 54 bytes of the headers in file order.
void SerializeExportHeaders(const ExportHeadersRecord& headers, uint8_t* out);

}  // namespace velda
