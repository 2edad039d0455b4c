#include "render/thumbnail.h"

#include <algorithm>

#include "image/picture_file.h"
#include "render/picture_shapes.h"

namespace velda {

namespace {

// The source pixels one pixel of a scaled line covers, and how much of
// each. A line of `pixels` source pixels, each shown `repeat` times, is
// `length` = pixels x repeat long and is laid over `to` pixels: source
// pixel x covers [x * repeat * to, (x + 1) * repeat * to) and target
// pixel i covers [i * length, (i + 1) * length), so the weights of every
// target pixel add up to `length`. A repeated pixel is thus weighed as
// its copies would be, without making them.
struct Cover {
    int first = 0;
    std::vector<uint32_t> weights;
};

std::vector<Cover> AreaCovers(int pixels, int repeat, int to) {
    const long length = static_cast<long>(pixels) * repeat;
    const long unit = static_cast<long>(repeat) * to;
    std::vector<Cover> covers(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const long lo = i * length, hi = lo + length;
        Cover& cover = covers[static_cast<std::size_t>(i)];
        cover.first = static_cast<int>(lo / unit);
        const int last = static_cast<int>((hi - 1) / unit);
        for (int x = cover.first; x <= last; ++x) {
            const long start = std::max(lo, x * unit);
            const long end = std::min(hi, (x + 1) * unit);
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

// `picture` as shown with each pixel repeated `across` times and each line
// `down` times, made smaller to fit `maxSide` as ScaleToFit makes it.
void ScaleShown(const Picture& picture, int across, int down, int maxSide, Picture& scaled) {
    const int shownWidth = picture.width * across, shownHeight = picture.height * down;
    const int longer = std::max(shownWidth, shownHeight);
    maxSide = std::max(1, maxSide);
    const int width = longer <= maxSide ? shownWidth : ScaledLength(shownWidth, longer, maxSide);
    const int height = longer <= maxSide ? shownHeight : ScaledLength(shownHeight, longer, maxSide);
    const std::vector<Cover> covers = AreaCovers(picture.width, across, width);
    const std::vector<Cover> coversDown = AreaCovers(picture.height, down, height);
    const auto lineValues = static_cast<std::size_t>(width) * 3;

    // Across first, line by line: each scaled pixel's channel sums, the
    // line's shown width times their means.
    std::vector<uint32_t> colors(static_cast<std::size_t>(picture.width) * 3);
    std::vector<uint32_t> lines(static_cast<std::size_t>(picture.height) * lineValues);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgb8 c = PixelColor(picture, x, y);
            colors[3 * x] = c.r;
            colors[3 * x + 1] = c.g;
            colors[3 * x + 2] = c.b;
        }
        uint32_t* out = lines.data() + static_cast<std::size_t>(y) * lineValues;
        for (const Cover& cover : covers) {
            const uint32_t* in = colors.data() + 3 * static_cast<std::size_t>(cover.first);
            uint32_t r = 0, g = 0, b = 0;
            for (const uint32_t weight : cover.weights) {
                r += weight * in[0];
                g += weight * in[1];
                b += weight * in[2];
                in += 3;
            }
            *out++ = r;
            *out++ = g;
            *out++ = b;
        }
    }

    // Then down, dividing by the whole shown area once, rounded.
    scaled.screen = picture.screen;
    scaled.width = width;
    scaled.height = height;
    scaled.bitDepth = 24;
    scaled.rowBytes = 3 * width;
    scaled.palette.clear();
    scaled.pixels.assign(static_cast<std::size_t>(scaled.rowBytes) * height, 0);
    const uint64_t area = static_cast<uint64_t>(shownWidth) * shownHeight;
    std::vector<uint64_t> sums(lineValues);
    for (int y = 0; y < height; ++y) {
        const Cover& cover = coversDown[static_cast<std::size_t>(y)];
        std::fill(sums.begin(), sums.end(), 0);
        const uint32_t* in = lines.data() + static_cast<std::size_t>(cover.first) * lineValues;
        for (const uint32_t weight : cover.weights) {
            for (std::size_t i = 0; i < lineValues; ++i) sums[i] += static_cast<uint64_t>(weight) * in[i];
            in += lineValues;
        }
        uint8_t* row = scaled.pixels.data() + static_cast<std::size_t>(y) * scaled.rowBytes;
        for (int x = 0; x < width; ++x) {
            const auto mean = [&](int c) { return static_cast<uint8_t>((sums[3 * x + c] + area / 2) / area); };
            PutBgrPixel(row, x, Rgb8{mean(0), mean(1), mean(2)});
        }
    }
}

}  // namespace

void ScaleToFit(const Picture& picture, int maxSide, Picture& scaled) { ScaleShown(picture, 1, 1, maxSide, scaled); }

LoadError MakeThumbnail(const uint8_t* file, std::size_t size, const PictureName& name, Companions* beside,
                        int maxSide, Picture& thumbnail) {
    PictureRequest request;
    request.name = name;
    request.beside = beside;
    size = std::min(size, MaxPictureFileBytes);
    ScreenPage page;
    if (LoadError error = OpenPicture(file, size, request, page)) return error;
    MakePageThumbnail(ViewOf(page), maxSide, thumbnail);
    return LoadError{};
}

void MakePageThumbnail(PageView page, int maxSide, Picture& thumbnail) {
    page.secondVram = nullptr;
    PictureOptions options;
    options.colors = ColorRule::Msx;
    const Picture picture = MakePicture(page, options);
    const Repeats repeats = TelevisionRepeats(picture);
    ScaleShown(picture, repeats.across, repeats.down, maxSide, thumbnail);
}

}  // namespace velda
