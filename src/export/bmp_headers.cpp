#include "export/bmp_headers.h"

namespace velda {

namespace {

constexpr uint32_t BiRgb = 0;
constexpr int RgbQuadBytes = 4;

// One field of the headers: its value, and how many bytes it takes.
struct Field {
    uint32_t value;
    int bytes;
};

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
    const BmpFileHeader& f = headers.file;
    const BmpInfoHeader& i = headers.info;
    const Field fields[] = {
        {f.bfType, 2}, {f.bfSize, 4}, {f.bfReserved1, 2}, {f.bfReserved2, 2}, {f.bfOffBits, 4},
        {i.biSize, 4}, {static_cast<uint32_t>(i.biWidth), 4}, {static_cast<uint32_t>(i.biHeight), 4},
        {i.biPlanes, 2}, {i.biBitCount, 2}, {i.biCompression, 4}, {i.biSizeImage, 4},
        {static_cast<uint32_t>(i.biXPelsPerMeter), 4}, {static_cast<uint32_t>(i.biYPelsPerMeter), 4},
        {i.biClrUsed, 4}, {i.biClrImportant, 4},
    };
    for (const Field& field : fields) {
        for (int b = 0; b < field.bytes; ++b) *out++ = static_cast<uint8_t>(field.value >> (8 * b));  // low byte first
    }
}

}  // namespace velda
