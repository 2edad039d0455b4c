#include "export/png_writer.h"

#ifdef VELDA_HAVE_PNG

#include <png.h>

#include "render/picture_shapes.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace velda {

namespace {

// How the rows are compressed, chosen per kind of picture by measuring the
// corpus of real pictures (docs/benchmarks.md). Rows are never filtered:
// indexed rows compress best so, and YJK colours, whose chroma four pixels
// share, too. The zlib level is two below the usual for indexed pictures
// and three below for RGB ones: a batch of the corpus takes 15-20 % less
// time than one level higher, for 4 % more bytes, still fewer than before
// YJK pictures of up to 256 colours were indexed.
constexpr int IndexedLevel = 4;
constexpr int RgbLevel = 3;

// What libpng's error handler leaves for the caller: whether memory ran
// out (anything else is a picture libpng refuses). Plain data only: it
// lives across setjmp and longjmp.
struct PngFailure {
    bool outOfMemory;
};

constexpr char OutOfMemory[] = "out of memory";

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    // libpng says "Out of memory" itself, and the writer below its own words.
    if (failure != nullptr) failure->outOfMemory = std::strstr(message, "of memory") != nullptr;
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}  // nothing worth a message

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        bytes->insert(bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    if (!stored) png_error(png, OutOfMemory);  // never jump out of a handler
}

void FlushNothing(png_structp) {}

// Everything that may end in png_error, under one setjmp. No object with a
// destructor lives in this frame, and nothing set after setjmp is read
// after the jump.
bool EmitPng(png_structp png, png_infop info, const Picture& picture, int level, std::vector<uint8_t>* bytes) {
    png_color plte[256];
    const int entries = static_cast<int>(picture.palette.size());
    for (int i = 0; i < entries; ++i) {
        plte[i].red = picture.palette[i].r;
        plte[i].green = picture.palette[i].g;
        plte[i].blue = picture.palette[i].b;
    }

    if (setjmp(png_jmpbuf(png))) return false;

    png_set_write_fn(png, bytes, WriteToVector, FlushNothing);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, level);
    if (picture.Indexed()) {
        png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
                     picture.bitDepth, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_set_PLTE(png, info, plte, entries);
    } else {
        png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_bgr(png);  // the picture's pixels are blue, green, red
    }
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) png_write_row(png, picture.Row(y));
    png_write_end(png, info);
    return true;
}

std::error_code WritePng(const Picture& picture, int level, std::vector<uint8_t>& bytes) {
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.empty()) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    PngFailure failure{true};  // libpng fails to start only for want of memory
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool ok = info != nullptr && EmitPng(png, info, picture, level, &bytes);
    png_destroy_write_struct(&png, &info);
    if (ok) return {};
    bytes.clear();
    return std::make_error_code(failure.outOfMemory ? std::errc::not_enough_memory : std::errc::invalid_argument);
}

}  // namespace

bool PngAvailable() { return true; }

std::error_code EncodePng(const Picture& picture, std::vector<uint8_t>& bytes) {
    bytes.clear();
    Picture indexed;
    const Picture& written = IndexColors(picture, indexed) ? indexed : picture;
    return WritePng(written, written.Indexed() ? IndexedLevel : RgbLevel, bytes);
}

}  // namespace velda

#else  // no libpng in this build

namespace velda {

bool PngAvailable() { return false; }

std::error_code EncodePng(const Picture&, std::vector<uint8_t>& bytes) {
    bytes.clear();
    return std::make_error_code(std::errc::not_supported);
}

}  // namespace velda

#endif
