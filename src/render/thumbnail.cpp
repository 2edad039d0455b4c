#include "render/thumbnail.h"

#include <algorithm>

#include "image/picture_file.h"
#include "render/picture_shapes.h"

namespace velda {

namespace {

// The source pixels one pixel of a scaled line covers, and how much of
// each: a source line of `from` pixels is laid over `to` pixels, so source
// pixel x covers [x * to, (x + 1) * to) and target pixel i covers
// [i * from, (i + 1) * from). The weights of every target pixel add up to
// `from`.
struct Cover {
    int first = 0;
    std::vector<uint32_t> weights;
};

std::vector<Cover> AreaCovers(int from, int to) {
    std::vector<Cover> covers(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const long lo = static_cast<long>(i) * from, hi = lo + from;
        Cover& cover = covers[static_cast<std::size_t>(i)];
        cover.first = static_cast<int>(lo / to);
        const int last = static_cast<int>((hi - 1) / to);
        for (int x = cover.first; x <= last; ++x) {
            const long start = std::max(lo, static_cast<long>(x) * to);
            const long end = std::min(hi, static_cast<long>(x + 1) * to);
            cover.weights.push_back(static_cast<uint32_t>(end - start));
        }
    }
    return covers;
}

// `length` scaled by maxSide / longer, rounded, at least 1.
int ScaledLength(int length, int longer, int maxSide) {
    const long scaled = (2L * length * maxSide + longer) / (2L * longer);
    return static_cast<int>(std::max(1L, scaled));
}

// The palette file beside a picture, as the one companion a thumbnail
// reads: it answers for the palette file of the picture's mode.
class PaletteBeside : public Companions {
public:
    PaletteBeside(const std::vector<uint8_t>* bytes, uint8_t screen) : bytes_(bytes), screen_(screen) {}

    std::string Find(const std::string& name) override {
        const char* extension = PaletteExtension(screen_);
        if (bytes_ == nullptr || extension == nullptr) return "";
        const std::size_t dot = name.rfind('.');
        if (dot == std::string::npos || LowerCase(name.substr(dot + 1)) != LowerCase(extension)) return "";
        return name;
    }

    LoadError Read(const std::string&, std::size_t maxBytes, std::vector<uint8_t>& bytes) override {
        bytes.assign(bytes_->begin(), bytes_->begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, bytes_->size())));
        return LoadError{};
    }

private:
    const std::vector<uint8_t>* bytes_;
    uint8_t screen_;
};

}  // namespace

void ScaleToFit(const Picture& picture, int maxSide, Picture& scaled) {
    const int longer = std::max(picture.width, picture.height);
    maxSide = std::max(1, maxSide);
    const int width = longer <= maxSide ? picture.width : ScaledLength(picture.width, longer, maxSide);
    const int height = longer <= maxSide ? picture.height : ScaledLength(picture.height, longer, maxSide);
    const std::vector<Cover> across = AreaCovers(picture.width, width);
    const std::vector<Cover> down = AreaCovers(picture.height, height);

    // Across first: each line's sums, `picture.width` times the mean.
    std::vector<uint32_t> lines(static_cast<std::size_t>(picture.height) * width * 3);
    for (int y = 0; y < picture.height; ++y) {
        uint32_t* out = lines.data() + static_cast<std::size_t>(y) * width * 3;
        for (const Cover& cover : across) {
            uint32_t r = 0, g = 0, b = 0;
            for (std::size_t k = 0; k < cover.weights.size(); ++k) {
                const Rgb8 c = PixelColor(picture, cover.first + static_cast<int>(k), y);
                r += cover.weights[k] * c.r;
                g += cover.weights[k] * c.g;
                b += cover.weights[k] * c.b;
            }
            *out++ = r;
            *out++ = g;
            *out++ = b;
        }
    }

    // Then down, dividing by the whole area once, rounded.
    scaled.screen = picture.screen;
    scaled.width = width;
    scaled.height = height;
    scaled.bitDepth = 24;
    scaled.rowBytes = 3 * width;
    scaled.palette.clear();
    scaled.pixels.assign(static_cast<std::size_t>(scaled.rowBytes) * height, 0);
    const uint64_t area = static_cast<uint64_t>(picture.width) * picture.height;
    for (int y = 0; y < height; ++y) {
        const Cover& cover = down[static_cast<std::size_t>(y)];
        uint8_t* row = scaled.pixels.data() + static_cast<std::size_t>(y) * scaled.rowBytes;
        for (int x = 0; x < width; ++x) {
            uint64_t sums[3] = {0, 0, 0};
            for (std::size_t k = 0; k < cover.weights.size(); ++k) {
                const uint32_t* in = lines.data() + (static_cast<std::size_t>(cover.first) + k) * width * 3 + 3 * x;
                for (int c = 0; c < 3; ++c) sums[c] += static_cast<uint64_t>(cover.weights[k]) * in[c];
            }
            const auto mean = [&](int c) { return static_cast<uint8_t>((sums[c] + area / 2) / area); };
            PutBgrPixel(row, x, Rgb8{mean(0), mean(1), mean(2)});
        }
    }
}

LoadError MakeThumbnail(const ThumbnailSource& source, int maxSide, Picture& thumbnail) {
    if (!IsPictureKind(source.type.kind)) return LoadError(LoadFault::UnknownExtension);
    PaletteBeside beside(source.paletteFile, source.type.screen);
    PictureRequest request;
    request.kind = source.type.kind;
    request.screen = source.type.screen;
    request.name = PictureName{"PICTURE", ""};
    request.beside = &beside;
    ScreenPage page;
    const std::size_t size = std::min(source.size, MaxPictureFileBytes);
    if (LoadError error = OpenPicture(source.file, size, request, page)) return error;

    Picture picture, shaped;
    BuildPicture(page.screen, page.vram.data(), page.palette, ColorRule::Msx, picture);
    if (page.width > 0) {  // a COPY file's area
        CropPicture(picture, page.width, page.height, shaped);
        std::swap(picture, shaped);
    }
    TelevisionAspect(picture, shaped);
    ScaleToFit(shaped, maxSide, thumbnail);
    return LoadError{};
}

}  // namespace velda
