#include "render/picture_shapes.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "image/mode_table.h"

namespace velda {

namespace {

constexpr int TvWidth = 512;

// A picture of `width` x `height` in the pixel form and palette of
// `like`, its pixels to be filled.
void ShapeLike(const Picture& like, int width, int height, Picture& out) {
    out.screen = like.screen;
    out.width = width;
    out.height = height;
    out.bitDepth = like.bitDepth;
    out.rowBytes = (width * like.bitDepth + 7) / 8;
    out.palette = like.palette;
    out.pixels.assign(static_cast<std::size_t>(out.rowBytes) * height, 0);
}

uint8_t* RowOf(Picture& picture, int y) { return picture.pixels.data() + static_cast<std::size_t>(y) * picture.rowBytes; }

// One row twice as wide: every pixel repeated once.
void DoubleRow(const uint8_t* in, int width, int bitDepth, uint8_t* out) {
    switch (bitDepth) {
    case 4:  // two pixels a byte, left one high: each pixel becomes a byte of two
        for (int x = 0; x < width; ++x) {
            const uint8_t pixel = x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 0x0F;
            out[x] = static_cast<uint8_t>(pixel * 0x11);
        }
        break;
    case 8:
        for (int x = 0; x < width; ++x) out[2 * x] = out[2 * x + 1] = in[x];
        break;
    default:  // 24: red, green, blue
        for (int x = 0; x < width; ++x) {
            std::memcpy(out + 6 * x, in + 3 * x, 3);
            std::memcpy(out + 6 * x + 3, in + 3 * x, 3);
        }
        break;
    }
}

}  // namespace

Rgb8 PixelColor(const Picture& picture, int x, int y) {
    const uint8_t* row = picture.Row(y);
    switch (picture.bitDepth) {
    case 4:
        return picture.palette[x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F];
    case 8:
        return picture.palette[row[x]];
    default:
        return BgrPixel(row, x);
    }
}

void WeavePictures(const Picture& first, const Picture& second, Picture& woven) {
    ShapeLike(first, first.width, 2 * first.height, woven);
    const auto rowBytes = static_cast<std::size_t>(first.rowBytes);
    for (int y = 0; y < first.height; ++y) {
        std::memcpy(RowOf(woven, 2 * y), first.Row(y), rowBytes);
        std::memcpy(RowOf(woven, 2 * y + 1), second.Row(y), rowBytes);
    }
}

void BlendPictures(const Picture& first, const Picture& second, Picture& blended) {
    blended.screen = first.screen;
    blended.width = first.width;
    blended.height = first.height;
    blended.bitDepth = 24;
    blended.rowBytes = 3 * first.width;
    blended.palette.clear();
    blended.pixels.resize(static_cast<std::size_t>(blended.rowBytes) * blended.height);
    const auto mean = [](uint8_t a, uint8_t b) { return static_cast<uint8_t>((a + b + 1) / 2); };
    for (int y = 0; y < first.height; ++y) {
        uint8_t* out = RowOf(blended, y);
        for (int x = 0; x < first.width; ++x) {
            const Rgb8 a = PixelColor(first, x, y), b = PixelColor(second, x, y);
            PutBgrPixel(out, x, Rgb8{mean(a.r, b.r), mean(a.g, b.g), mean(a.b, b.b)});
        }
    }
}

bool IndexColors(const Picture& picture, Picture& indexed) {
    constexpr std::size_t MaxColors = 256;
    if (picture.Indexed()) return false;
    // The colours met so far, in a table of open addressing four times as
    // large as they can be many: one look most of the time, where a map
    // takes several and allocates.
    constexpr std::size_t Slots = 4 * MaxColors;
    constexpr uint32_t Empty = 0xFFFFFFFFu;  // no 24-bit colour
    uint32_t keys[Slots];
    uint8_t values[Slots];
    std::fill(std::begin(keys), std::end(keys), Empty);
    std::vector<Rgb8> palette;
    std::vector<uint8_t> pixels(static_cast<std::size_t>(picture.width) * picture.height);
    uint8_t* out = pixels.data();
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.Row(y);
        for (int x = 0; x < picture.width; ++x, row += 3) {
            const uint32_t key = (uint32_t{row[2]} << 16) | (uint32_t{row[1]} << 8) | row[0];
            std::size_t slot = (key * 2654435761u) >> 22;  // the top 10 bits: 0..Slots-1
            while (keys[slot] != key && keys[slot] != Empty) slot = (slot + 1) % Slots;
            if (keys[slot] == Empty) {
                if (palette.size() == MaxColors) return false;
                keys[slot] = key;
                values[slot] = static_cast<uint8_t>(palette.size());
                palette.push_back(Rgb8{row[2], row[1], row[0]});
            }
            *out++ = values[slot];
        }
    }
    indexed.screen = picture.screen;
    indexed.width = picture.width;
    indexed.height = picture.height;
    indexed.bitDepth = 8;
    indexed.rowBytes = picture.width;
    indexed.palette = std::move(palette);
    indexed.pixels = std::move(pixels);
    return true;
}

Repeats TelevisionRepeats(const Picture& picture) {
    const ModeInfo* mode = FindMode(picture.screen);
    const int across = TvWidth / (mode != nullptr ? mode->width : picture.width);  // 1 or 2
    const int down = picture.height > ScreenLines ? 1 : 2;  // a woven pair has its lines already
    return Repeats{across, down};
}

void TelevisionAspect(const Picture& picture, Picture& shown) {
    const auto [across, down] = TelevisionRepeats(picture);
    ShapeLike(picture, across * picture.width, down * picture.height, shown);
    for (int y = 0; y < shown.height; ++y) {
        const uint8_t* in = picture.Row(y / down);
        uint8_t* out = RowOf(shown, y);
        if (across == 2) {
            DoubleRow(in, picture.width, picture.bitDepth, out);
        } else {
            std::memcpy(out, in, static_cast<std::size_t>(shown.rowBytes));
        }
    }
}

void CropPicture(const Picture& picture, int width, int height, Picture& cropped) {
    ShapeLike(picture, width, height, cropped);
    const auto rowBytes = static_cast<std::size_t>(cropped.rowBytes);
    const int lastBits = width * picture.bitDepth % 8;  // of a last byte partly used
    for (int y = 0; y < height; ++y) {
        uint8_t* out = RowOf(cropped, y);
        std::memcpy(out, picture.Row(y), rowBytes);
        if (lastBits != 0) out[rowBytes - 1] = static_cast<uint8_t>(out[rowBytes - 1] & (0xFF00 >> lastBits));
    }
}

}  // namespace velda
