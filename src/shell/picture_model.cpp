#include "shell/picture_model.h"

#include <cstring>

namespace velda {

void AdoptPage(PictureModel& model, const ScreenPage& page) {
    std::memcpy(model.VramImage, page.vram.data(), VramBytes);
    std::memcpy(model.MsxPalette, page.palette, PaletteBytes);
    BuildColorTable(page.screen, model.MsxPalette, model.ColorTable);
    model.CurrentFile.startAddress = page.startAddress;
    model.CurrentFile.endAddress = page.endAddress;
    model.PictureWidth = page.width;
    model.PictureHeight = page.height;
}

}  // namespace velda
