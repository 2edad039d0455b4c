// Fuzzing the converter's encoders: the BSAVE file is opened as
// velda-convert opens it (OpenPicture from program-start state), decoded
// into a Picture under the colour rule the selector picks, and written as
// BMP and as PNG in memory. Input layout: fuzz_input.h.
//
// Each input is also held to the converter's promises:
//   - the Picture has the size, depth and colour count of its mode, and
//     every index names one of its colours;
//   - the two colour rules give the same indices, sizes and layout;
//   - the BMP under the velda rule is byte for byte the file Save writes,
//     and under the msx rule differs from it in colours only;
//   - the PNG is written, and read back with libpng it has the Picture's
//     size and the colour of every one of its pixels.
#include <png.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "fuzz_input.h"
#include "png_read_back.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "render/color_rules.h"
#include "render/picture.h"
#include "render/picture_shapes.h"
#include "export/png_writer.h"

namespace {

using velda::ColorRule;
using velda::ModeInfo;
using velda::Picture;
using velda::Rgb8;
using velda_fuzz::BmpLayout;

void CheckPictureShape(const ModeInfo& mode, const BmpLayout& layout, const Picture& picture) {
    FUZZ_CHECK(picture.screen == mode.screen);
    FUZZ_CHECK(picture.width == mode.width);
    FUZZ_CHECK(picture.height == velda::ScreenLines);
    FUZZ_CHECK(picture.bitDepth == layout.bitCount);
    FUZZ_CHECK(picture.rowBytes == layout.rowBytes);
    FUZZ_CHECK(picture.pixels.size() == static_cast<std::size_t>(layout.imageSize));
    FUZZ_CHECK(picture.palette.size() == static_cast<std::size_t>(layout.colors));
    if (picture.bitDepth == 4) {
        for (uint8_t b : picture.pixels) {
            FUZZ_CHECK((b >> 4) < static_cast<int>(picture.palette.size()));
            FUZZ_CHECK((b & 0x0F) < static_cast<int>(picture.palette.size()));
        }
    }
}

std::vector<uint8_t> PictureBmp(const Picture& picture) {
    std::vector<uint8_t> bytes;
    velda_fuzz::VectorSink sink{bytes};
    velda::EncodeBmp(sink, picture, velda::PrepareExportHeaders(picture));
    return bytes;
}

void CheckPngRoundTrip(const Picture& picture, const std::vector<uint8_t>& png) {
    const std::vector<uint8_t> rgb = velda_fuzz::ReadPngRgb(png, picture);
    const uint8_t* p = rgb.data();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x, p += 3) {
            FUZZ_CHECK(velda::PixelColor(picture, x, y) == (Rgb8{p[0], p[1], p[2]}));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    velda_fuzz::LoadedInput input;
    if (!velda_fuzz::LoadInput(data, size, input)) return 0;
    if (input.error) return 0;
    const velda_fuzz::Selector selector = input.selector;
    const ModeInfo* mode = input.mode;
    const velda::ScreenPage& page = input.page;
    const BmpLayout layout = velda_fuzz::BmpLayoutOf(*mode);
    const ColorRule rule = selector.msxColors ? ColorRule::Msx : ColorRule::Velda;
    const ColorRule otherRule = selector.msxColors ? ColorRule::Velda : ColorRule::Msx;

    Picture picture;
    FUZZ_CHECK(velda::BuildPicture(selector.screen, page.vram.data(), page.palette, rule, picture));
    CheckPictureShape(*mode, layout, picture);
    Picture other;
    FUZZ_CHECK(velda::BuildPicture(selector.screen, page.vram.data(), page.palette, otherRule, other));
    CheckPictureShape(*mode, layout, other);
    if (picture.Indexed()) FUZZ_CHECK(picture.pixels == other.pixels);

    // BMP: the velda rule is Save's file; the msx rule only recolours it.
    const std::vector<uint8_t> save = velda_fuzz::SavedBmp(page);
    const std::vector<uint8_t> bmp = PictureBmp(picture);
    const std::vector<uint8_t> otherBmp = PictureBmp(other);
    const std::vector<uint8_t>& veldaBmp = rule == ColorRule::Velda ? bmp : otherBmp;
    const std::vector<uint8_t>& msxBmp = rule == ColorRule::Msx ? bmp : otherBmp;
    FUZZ_CHECK(veldaBmp == save);
    FUZZ_CHECK(msxBmp.size() == save.size());
    FUZZ_CHECK(std::memcmp(msxBmp.data(), save.data(), velda::BmpHeadersBytes) == 0);
    if (picture.Indexed()) {
        FUZZ_CHECK(std::memcmp(msxBmp.data() + layout.offBits, save.data() + layout.offBits,
                               static_cast<std::size_t>(layout.imageSize)) == 0);
    }

    std::vector<uint8_t> png;
    FUZZ_CHECK(!velda::EncodePng(picture, png));
    CheckPngRoundTrip(picture, png);
    return 0;
}
