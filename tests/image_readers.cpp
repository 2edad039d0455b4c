#include "image_readers.h"

#include <cstdio>

#ifdef VELDA_HAVE_PNG
#include <png.h>

#include <csetjmp>
#endif

namespace velda_test {

namespace {

uint32_t U16(const std::vector<uint8_t>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t>& b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

std::string Mismatch(const char* field, uint32_t got, uint32_t want) {
    char text[128];
    std::snprintf(text, sizeof text, "%s is %u, expected %u", field, got, want);
    return text;
}

}  // namespace

std::string ReadBmp(const std::vector<uint8_t>& bytes, DecodedImage& image) {
    if (bytes.size() < 54) return "shorter than the two headers";
    if (bytes[0] != 'B' || bytes[1] != 'M') return "no BM signature";
    const uint32_t width = U32(bytes, 18);
    const uint32_t height = U32(bytes, 22);
    const uint32_t bitCount = U16(bytes, 28);
    const uint32_t clrUsed = U32(bytes, 46);
    // A screen is 256 or 512 wide and 212 or 424 (interlaced or tv) high;
    // a COPY file's area is smaller.
    if (width == 0 || width > 512) return Mismatch("biWidth", width, 256);
    if (height == 0 || height > 424) return Mismatch("biHeight", height, 212);
    if (bitCount != 4 && bitCount != 8 && bitCount != 24) return Mismatch("biBitCount", bitCount, 24);
    const uint32_t wantClrUsed = bitCount == 4 && clrUsed == 4 ? 4u : 0u;  // SCREEN 6's four colours
    if (clrUsed != wantClrUsed) return Mismatch("biClrUsed", clrUsed, wantClrUsed);
    const uint32_t colors = bitCount == 24 ? 0 : clrUsed != 0 ? clrUsed : 1u << bitCount;
    const uint32_t rowBytes = (width * bitCount + 31) / 32 * 4;  // whole groups of four bytes
    const uint32_t offBits = 54 + 4 * colors;

    BmpFields& got = image.bmp;
    got = BmpFields{U32(bytes, 2), U32(bytes, 10), clrUsed, U32(bytes, 50), U32(bytes, 38), U32(bytes, 42)};

    struct Field {
        const char* name;
        uint32_t got, want;
    };
    const Field fields[] = {
        {"bfSize", got.fileSize, offBits + height * rowBytes},
        {"bfReserved1", U16(bytes, 6), 0},
        {"bfReserved2", U16(bytes, 8), 0},
        {"bfOffBits", got.offBits, offBits},
        {"biSize", U32(bytes, 14), 40},
        {"biPlanes", U16(bytes, 26), 1},
        {"biCompression", U32(bytes, 30), 0},
        {"biSizeImage", U32(bytes, 34), height * rowBytes},
        {"biXPelsPerMeter", got.xPelsPerMeter, 0},
        {"biYPelsPerMeter", got.yPelsPerMeter, 0},
        {"biClrImportant", got.clrImportant, 0},
        {"file size", static_cast<uint32_t>(bytes.size()), offBits + height * rowBytes},
    };
    for (const Field& f : fields) {
        if (f.got != f.want) return Mismatch(f.name, f.got, f.want);
    }

    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.bitDepth = static_cast<int>(bitCount);
    image.indexed = bitCount != 24;
    image.colors.clear();
    for (uint32_t i = 0; i < colors; ++i) {
        const std::size_t at = 54 + 4 * i;
        if (bytes[at + 3] != 0) return "rgbReserved of a colour-table entry is not 0";
        image.colors.push_back(velda::Rgb8{bytes[at + 2], bytes[at + 1], bytes[at]});
    }
    image.pixels.assign(width * height, 0);
    for (uint32_t fileRow = 0; fileRow < height; ++fileRow) {
        const uint32_t y = height - 1 - fileRow;  // bottom-up
        const uint8_t* row = bytes.data() + offBits + fileRow * rowBytes;
        uint32_t* out = image.pixels.data() + y * width;
        for (uint32_t x = 0; x < width; ++x) {
            switch (bitCount) {
            case 4:
                out[x] = x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
                break;
            case 8:
                out[x] = row[x];
                break;
            default:
                out[x] = PackRgb(velda::Rgb8{row[3 * x + 2], row[3 * x + 1], row[3 * x]});
                break;
            }
            if (image.indexed && out[x] >= colors) return "a pixel indexes past the colour table";
        }
    }
    return "";
}

#ifdef VELDA_HAVE_PNG

namespace {

struct MemoryInput {
    const std::vector<uint8_t>* bytes;
    std::size_t at;
    char message[200];
};

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (input->at + length > input->bytes->size()) png_error(png, "PNG data ends early");
    std::copy(input->bytes->begin() + static_cast<std::ptrdiff_t>(input->at),
              input->bytes->begin() + static_cast<std::ptrdiff_t>(input->at + length), data);
    input->at += length;
}

void OnError(png_structp png, png_const_charp message) {
    auto* input = static_cast<MemoryInput*>(png_get_error_ptr(png));
    std::snprintf(input->message, sizeof input->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Reads header, PLTE and rows; every libpng call under one setjmp, with
// only plain data in this frame. `rows` has room for 512 * 3 bytes.
bool Decode(png_structp png, png_infop info, MemoryInput* input, png_uint_32* size, int* depthAndType,
            png_colorp plte, int* plteCount, uint8_t* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, input, ReadFromMemory);
    png_read_info(png, info);
    int interlace = 0;
    png_get_IHDR(png, info, &size[0], &size[1], &depthAndType[0], &depthAndType[1], &interlace, nullptr, nullptr);
    if (size[0] > 512 || size[1] > 424 || interlace != PNG_INTERLACE_NONE) png_error(png, "unexpected IHDR");
    *plteCount = 0;
    png_colorp palette = nullptr;
    if (png_get_PLTE(png, info, &palette, plteCount) != 0) {
        for (int i = 0; i < *plteCount; ++i) plte[i] = palette[i];
    }
    if (depthAndType[0] < 8) png_set_packing(png);  // one byte per index
    png_read_update_info(png, info);
    for (png_uint_32 y = 0; y < size[1]; ++y) png_read_row(png, rows + y * 512 * 3, nullptr);
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

std::string ReadPng(const std::vector<uint8_t>& bytes, DecodedImage& image) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return "no PNG signature";
    MemoryInput input{&bytes, 0, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    png_uint_32 size[2] = {0, 0};
    int depthAndType[2] = {0, 0};
    png_color plte[256];
    int plteCount = 0;
    std::vector<uint8_t> rows(static_cast<std::size_t>(512) * 3 * 424);
    const bool ok = Decode(png, info, &input, size, depthAndType, plte, &plteCount, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) return input.message;

    image.width = static_cast<int>(size[0]);
    image.height = static_cast<int>(size[1]);
    image.bitDepth = depthAndType[0];
    image.indexed = depthAndType[1] == PNG_COLOR_TYPE_PALETTE;
    if (!image.indexed && depthAndType[1] != PNG_COLOR_TYPE_RGB) return "neither indexed nor RGB";
    image.colors.clear();
    for (int i = 0; i < plteCount; ++i) image.colors.push_back(velda::Rgb8{plte[i].red, plte[i].green, plte[i].blue});
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = rows.data() + static_cast<std::size_t>(y) * 512 * 3;
        for (int x = 0; x < image.width; ++x) {
            image.pixels[static_cast<std::size_t>(y) * image.width + x] =
                image.indexed ? row[x] : PackRgb(velda::Rgb8{row[3 * x], row[3 * x + 1], row[3 * x + 2]});
        }
    }
    return "";
}

#else

std::string ReadPng(const std::vector<uint8_t>&, DecodedImage&) { return "built without PNG"; }

#endif

velda::Rgb8 ShownColor(const DecodedImage& image, std::size_t pixel) {
    const uint32_t v = image.pixels[pixel];
    if (image.indexed) return image.colors.at(v);
    return velda::Rgb8{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

}  // namespace velda_test
