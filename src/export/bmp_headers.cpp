#include "export/bmp_headers.h"


namespace velda {

namespace {

constexpr uint32_t BiRgb = 0;
constexpr int RgbQuadBytes = 4;

uint8_t* PutU16(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    return out + 2;
}

uint8_t* PutU32(uint8_t* out, uint32_t value) {
    out = PutU16(out, value & 0xFFFFu);
    return PutU16(out, value >> 16);
}

}  // namespace

ExportHeadersRecord PrepareExportHeaders(const Picture& picture) {
    const int width = picture.width, height = picture.height, bitCount = picture.bitDepth;
    const int colorEntries = static_cast<int>(picture.palette.size());
    ExportHeadersRecord headers{};
    headers.file.bfType = BmpSignature;
    headers.file.bfReserved1 = 0;
    headers.file.bfReserved2 = 0;
    headers.info.biSize = BmpInfoHeaderBytes;
    headers.info.biHeight = height;  // positive: rows stored bottom-up
    headers.info.biPlanes = 1;
    headers.info.biCompression = BiRgb;
    headers.info.biXPelsPerMeter = 0;
    headers.info.biYPelsPerMeter = 0;
    headers.info.biClrImportant = 0;

    const int offBits = BmpHeadersBytes + RgbQuadBytes * colorEntries;
    const int imageSize = height * BmpRowStride(width, bitCount);
    headers.file.bfSize = static_cast<uint32_t>(offBits + imageSize);
    headers.file.bfOffBits = static_cast<uint32_t>(offBits);
    headers.info.biWidth = width;
    headers.info.biBitCount = static_cast<uint16_t>(bitCount);
    headers.info.biSizeImage = static_cast<uint32_t>(imageSize);
    const bool fullTable = bitCount > 8 || colorEntries == (1 << bitCount);
    headers.info.biClrUsed = fullTable ? 0u : static_cast<uint32_t>(colorEntries);
    return headers;
}

void SerializeExportHeaders(const ExportHeadersRecord& headers, uint8_t* out) {
    out = PutU16(out, headers.file.bfType);
    out = PutU32(out, headers.file.bfSize);
    out = PutU16(out, headers.file.bfReserved1);
    out = PutU16(out, headers.file.bfReserved2);
    out = PutU32(out, headers.file.bfOffBits);
    out = PutU32(out, headers.info.biSize);
    out = PutU32(out, static_cast<uint32_t>(headers.info.biWidth));
    out = PutU32(out, static_cast<uint32_t>(headers.info.biHeight));
    out = PutU16(out, headers.info.biPlanes);
    out = PutU16(out, headers.info.biBitCount);
    out = PutU32(out, headers.info.biCompression);
    out = PutU32(out, headers.info.biSizeImage);
    out = PutU32(out, static_cast<uint32_t>(headers.info.biXPelsPerMeter));
    out = PutU32(out, static_cast<uint32_t>(headers.info.biYPelsPerMeter));
    out = PutU32(out, headers.info.biClrUsed);
    PutU32(out, headers.info.biClrImportant);
}

}  // namespace velda
