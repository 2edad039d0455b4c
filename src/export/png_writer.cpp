// The converter's PNG natively: the chunks are written here, and the rows
// deflated in one call by libdeflate, which also gives the zlib stream its
// Adler-32 and every chunk its CRC-32.
//
//   signature  137 'P' 'N' 'G' 13 10 26 10
//   chunk      length of its data (4 bytes), type (4 letters), data,
//              CRC-32 of type and data; every number big-endian
//   IHDR       width 4, height 4, bit depth 1 (4 or 8), colour type 1
//              (3 indexed, 2 RGB), compression 0, filter 0, interlace 0
//   PLTE       red, green, blue of each palette entry (indexed only)
//   IDAT       the zlib stream of every row: a filter byte (0, none), then
//              the row's bytes (indices as stored; red, green, blue)
//   IEND       no data
#include "export/png_writer.h"

#ifdef VELDA_HAVE_PNG

#include <libdeflate.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

#include "render/picture_shapes.h"

namespace velda {

namespace {

// How the rows are compressed, chosen per kind of picture by measuring the
// corpus of real pictures (docs/benchmarks.md). Rows are never filtered:
// no filter, fixed or chosen row by row, makes indexed rows or YJK colours
// (whose chroma four pixels share) smaller. libdeflate's levels, against
// zlib's before: 4-bit pictures at 5, 6 % smaller in four fifths of the
// time (at level 4 the corpus would outgrow 1.2.0's files); RGB at 4, 9 %
// smaller in 55 %; 8-bit ones at 2, 1 % larger in half: level 3 writes as
// many bytes in more time, and level 5, 5 % fewer, would leave a SCREEN 8
// batch only 1.6 times as fast as before.
constexpr int FourBitLevel = 5;
constexpr int EightBitLevel = 2;
constexpr int RgbLevel = 4;

int LevelFor(const Picture& picture) {
    switch (picture.bitDepth) {
    case 4:
        return FourBitLevel;
    case 8:
        return EightBitLevel;
    default:
        return RgbLevel;
    }
}

constexpr uint8_t Signature[] = {137, 'P', 'N', 'G', 13, 10, 26, 10};
constexpr uint8_t ColorTypeIndexed = 3;
constexpr uint8_t ColorTypeRgb = 2;
constexpr uint8_t FilterNone = 0;
constexpr int RgbBitDepth = 8;  // bits per sample
constexpr std::size_t ChunkFrameBytes = 12;  // length, type and CRC
constexpr std::size_t IhdrBytes = 13;

void PutBig32(uint8_t* out, std::size_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Appends the chunk `type` with `size` bytes of data to be filled, its
// length given and its CRC to come from CloseChunk; where its data starts.
std::size_t OpenChunk(std::vector<uint8_t>& bytes, const char (&type)[5], std::size_t size) {
    const std::size_t at = bytes.size();
    bytes.resize(at + 8 + size);
    PutBig32(&bytes[at], size);
    for (int i = 0; i < 4; ++i) bytes[at + 4 + i] = static_cast<uint8_t>(type[i]);
    return at + 8;
}

// Ends the chunk whose data start at `data` and run to the end of `bytes`.
void CloseChunk(std::vector<uint8_t>& bytes, std::size_t data) {
    const uint32_t crc = libdeflate_crc32(0, &bytes[data - 4], bytes.size() - data + 4);
    bytes.resize(bytes.size() + 4);
    PutBig32(&bytes[bytes.size() - 4], crc);
}

// What every row of `picture` takes in the image data, its filter byte
// included, or 0 for a picture no PNG holds as it is: a depth other than
// 4, 8 or 24, rows or pixels too short for its size, or a palette that
// does not fit its depth.
std::size_t FilteredRowBytes(const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0) return 0;
    const int depth = picture.bitDepth;
    if (depth != 4 && depth != 8 && depth != 24) return 0;
    const auto rowBytes = (static_cast<std::size_t>(picture.width) * depth + 7) / 8;
    if (static_cast<std::size_t>(picture.rowBytes) < rowBytes ||
        picture.pixels.size() / picture.height < static_cast<std::size_t>(picture.rowBytes)) {
        return 0;
    }
    const std::size_t entries = picture.palette.size();
    if (picture.Indexed() && (entries == 0 || entries > (std::size_t{1} << depth))) return 0;
    return 1 + rowBytes;
}

// The rows as the image data holds them before compression.
std::vector<uint8_t> FilteredRows(const Picture& picture, std::size_t rowBytes) {
    std::vector<uint8_t> rows(rowBytes * picture.height);
    uint8_t* out = rows.data();
    for (int y = 0; y < picture.height; ++y, out += rowBytes) {
        const uint8_t* in = picture.Row(y);
        out[0] = FilterNone;
        if (picture.Indexed()) {
            std::copy(in, in + rowBytes - 1, out + 1);
            continue;
        }
        for (int x = 0; x < picture.width; ++x) {  // blue, green, red into red, green, blue
            out[1 + 3 * x] = in[3 * x + 2];
            out[2 + 3 * x] = in[3 * x + 1];
            out[3 + 3 * x] = in[3 * x];
        }
    }
    return rows;
}

struct FreeCompressor {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

// The whole PNG of `picture` into `bytes`, its rows deflated at `level`.
std::error_code WritePng(const Picture& picture, std::size_t rowBytes, int level, std::vector<uint8_t>& bytes) {
    const std::vector<uint8_t> rows = FilteredRows(picture, rowBytes);
    const std::unique_ptr<libdeflate_compressor, FreeCompressor> compressor(libdeflate_alloc_compressor(level));
    if (!compressor) return std::make_error_code(std::errc::not_enough_memory);
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), rows.size());
    bytes.reserve(sizeof Signature + 3 * ChunkFrameBytes + IhdrBytes + 3 * picture.palette.size() + bound +
                  ChunkFrameBytes);

    bytes.assign(std::begin(Signature), std::end(Signature));
    const std::size_t ihdr = OpenChunk(bytes, "IHDR", IhdrBytes);
    PutBig32(&bytes[ihdr], static_cast<std::size_t>(picture.width));
    PutBig32(&bytes[ihdr + 4], static_cast<std::size_t>(picture.height));
    bytes[ihdr + 8] = static_cast<uint8_t>(picture.Indexed() ? picture.bitDepth : RgbBitDepth);
    bytes[ihdr + 9] = picture.Indexed() ? ColorTypeIndexed : ColorTypeRgb;  // compression, filter, interlace 0
    CloseChunk(bytes, ihdr);
    if (picture.Indexed()) {
        const std::size_t plte = OpenChunk(bytes, "PLTE", 3 * picture.palette.size());
        std::size_t at = plte;
        for (const Rgb8& color : picture.palette) {
            bytes[at++] = color.r;
            bytes[at++] = color.g;
            bytes[at++] = color.b;
        }
        CloseChunk(bytes, plte);
    }
    const std::size_t idat = OpenChunk(bytes, "IDAT", bound);
    const std::size_t deflated =
        libdeflate_zlib_compress(compressor.get(), rows.data(), rows.size(), &bytes[idat], bound);
    if (deflated == 0) return std::make_error_code(std::errc::invalid_argument);  // never within the bound
    bytes.resize(idat + deflated);
    PutBig32(&bytes[idat - 8], deflated);
    CloseChunk(bytes, idat);
    CloseChunk(bytes, OpenChunk(bytes, "IEND", 0));
    return {};
}

}  // namespace

bool PngAvailable() { return true; }

std::error_code EncodePng(const Picture& picture, std::vector<uint8_t>& bytes) {
    bytes.clear();
    std::error_code error;
    if (FilteredRowBytes(picture) == 0) return std::make_error_code(std::errc::invalid_argument);
    try {
        Picture indexed;
        const Picture& written = IndexColors(picture, indexed) ? indexed : picture;
        error = WritePng(written, FilteredRowBytes(written), LevelFor(written), bytes);
    } catch (const std::bad_alloc&) {
        error = std::make_error_code(std::errc::not_enough_memory);
    }
    if (error) bytes.clear();  // no partial PNG is handed back
    return error;
}

}  // namespace velda

#else  // no libdeflate in this build

namespace velda {

bool PngAvailable() { return false; }

std::error_code EncodePng(const Picture&, std::vector<uint8_t>& bytes) {
    bytes.clear();
    return std::make_error_code(std::errc::not_supported);
}

}  // namespace velda

#endif
