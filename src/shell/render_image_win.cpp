// Drawing the picture of the model's VramImage into the Canvas, pixel by pixel, with
// the progress in the window title.
#include <windows.h>

#include "image/mode_table.h"
#include "render/line_decoder.h"
#include "shell/shell_state_win.h"

namespace velda {

namespace {

constexpr int ProgressTitleBytes = 16;

}  // namespace

void RenderImage(HWND window, uint8_t screen) {
    const PictureModel& model = ModelOf(window);
    HDC windowDc = GetDC(window);
    PatBlt(Canvas.dc, 0, 0, CanvasWidth, CanvasHeight, PATCOPY);
    // A picture smaller than the screen (a COPY file's area) is drawn at
    // its top left; the rest stays white.
    const int lines = model.PictureHeight > 0 ? model.PictureHeight : ScreenLines;
    ColorRef line[CanvasWidth];
    char title[ProgressTitleBytes];
    for (int y = 0; y < ScreenLines; ++y) {
        FormatProgressTitle(y, title, sizeof title);
        SetWindowTextA(window, title);
        if (y >= lines) continue;
        const int decoded = DecodeLine(screen, model.VramImage, model.ColorTable, y, line);
        const int width = model.PictureWidth > 0 ? model.PictureWidth : decoded;
        for (int x = 0; x < width; ++x) SetPixelV(Canvas.dc, x, y, line[x]);
    }
    ReleaseDC(window, windowDc);
}

}  // namespace velda
