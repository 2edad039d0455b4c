#include "shell/picture_model.h"

#include <cstring>

namespace velda {

void AdoptPage(PictureModel& model, const ScreenPage& page) {
    std::memcpy(model.VramImage, page.vram.data(), VramBytes);
    std::memcpy(model.MsxPalette, page.palette, PaletteBytes);
    model.CurrentFile.startAddress = page.startAddress;
    model.CurrentFile.endAddress = page.endAddress;
    model.PictureWidth = page.width;
    model.PictureHeight = page.height;
    model.SpriteTables = page.spriteTables;
}

PageView ViewOf(const PictureModel& model, uint8_t screen) {
    PageView view;
    view.screen = screen;
    view.vram = model.VramImage;
    view.palette = model.MsxPalette;
    view.width = model.PictureWidth;
    view.height = model.PictureHeight;
    view.spriteTables = model.SpriteTables;
    return view;
}

}  // namespace velda
