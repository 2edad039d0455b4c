#include "render/picture.h"

#include <cstring>
#include <utility>

#include "image/mode_table.h"
#include "render/pattern_modes.h"
#include "render/picture_shapes.h"
#include "render/yjk_line.h"

namespace velda {

namespace {

void BuildPalette(uint8_t screen, const uint8_t* msxPalette, ColorRule rule, int colors, std::vector<Rgb8>& palette) {
    palette.resize(static_cast<std::size_t>(colors));
    const bool msx1 = rule == ColorRule::Msx1 && IsPatternScreen(screen);
    rule = Msx2ModeRule(rule);
    for (int i = 0; i < colors; ++i) {
        palette[i] = msx1          ? Msx1Color(i)
                     : screen == 8 ? Screen8Color(rule, static_cast<uint8_t>(i))
                                   : PaletteEntryColor(rule, msxPalette[PaletteEntryBytes * i],
                                                       msxPalette[PaletteEntryBytes * i + 1]);
    }
}

}  // namespace

PictureForm FormOf(uint8_t screen) {
    switch (screen) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 7: return PictureForm{4, 16};
    case 6: return PictureForm{4, 4};
    case 8: return PictureForm{8, 256};
    default: return PictureForm{24, 0};
    }
}

bool BuildPicture(uint8_t screen, const uint8_t* vram, const uint8_t* msxPalette, ColorRule rule,
                  Picture& picture) {
    const ModeInfo* mode = FindMode(screen);
    if (mode == nullptr) return false;

    const PictureForm form = FormOf(screen);
    picture.screen = screen;
    picture.width = mode->width;
    picture.height = mode->lines;
    picture.bitDepth = form.bitDepth;
    picture.rowBytes = mode->width * form.bitDepth / 8;
    picture.pixels.resize(static_cast<std::size_t>(picture.rowBytes) * mode->lines);
    BuildPalette(screen, msxPalette, rule, form.colors, picture.palette);
    if (IsPatternScreen(screen)) {
        DecodePatternPicture(screen, vram, picture.pixels.data());
        return true;
    }

    // The palette pixels of SCREEN 10 and 11.
    rule = Msx2ModeRule(rule);
    std::vector<Rgb8> yjkPalette;
    if (screen == 10 || screen == 11) BuildPalette(screen, msxPalette, rule, PaletteSize, yjkPalette);

    for (int y = 0; y < mode->lines; ++y) {
        const uint8_t* line = vram + y * mode->bytesPerLine;
        uint8_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.rowBytes;
        switch (screen) {
        case 5:
        case 7:
        case 8:
            std::memcpy(row, line, static_cast<std::size_t>(mode->bytesPerLine));
            break;
        case 6:
            for (int x = 0; x < mode->bytesPerLine; ++x) {
                row[2 * x] = Screen6HighPair(line[x]);
                row[2 * x + 1] = Screen6LowPair(line[x]);
            }
            break;
        default:
            DecodeYjkLine(screen, line, yjkPalette.data(), rule, row);
            break;
        }
    }
    return true;
}

PageView ViewOf(const ScreenPage& page) {
    PageView view;
    view.screen = page.screen;
    view.vram = page.vram.data();
    view.palette = page.palette;
    view.width = page.width;
    view.height = page.height;
    view.secondVram = page.secondVram.empty() ? nullptr : page.secondVram.data();
    view.spriteTables = page.spriteTables;
    return view;
}

Picture MakePicture(const PageView& page, const PictureOptions& options) {
    Picture picture, shaped;
    BuildPicture(page.screen, page.vram, page.palette, options.colors, picture);
    const bool sprites = options.sprites.Drawn() && page.spriteTables;
    if (sprites) DrawSprites(page.vram, page.palette, options.colors, options.sprites, picture);
    if (page.width > 0) {  // a COPY file's area: the picture is its own size
        CropPicture(picture, page.width, page.height, shaped);
        std::swap(picture, shaped);
    }
    if (page.secondVram != nullptr) {
        Picture second;
        BuildPicture(page.screen, page.secondVram, page.palette, options.colors, second);
        // The sprite tables stay where the registers put them, in the first page.
        if (sprites) DrawSprites(page.vram, page.palette, options.colors, options.sprites, second);
        if (options.interlace == Interlace::Blend) {
            BlendPictures(picture, second, shaped);
        } else {
            WeavePictures(picture, second, shaped);
        }
        std::swap(picture, shaped);
    }
    if (options.aspect == Aspect::Tv) {
        TelevisionAspect(picture, shaped);
        std::swap(picture, shaped);
    }
    return picture;
}

}  // namespace velda
