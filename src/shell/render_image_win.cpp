// Drawing a picture into the Canvas, pixel by pixel, with the progress in
// the window title.
#include <windows.h>

#include <cwchar>

#include "image/mode_table.h"
#include "render/picture_shapes.h"
#include "shell/shell_state_win.h"

namespace velda {

namespace {

constexpr int ProgressTitleChars = 16;

}  // namespace

std::wstring ProgressTitle(int y) {
    wchar_t title[ProgressTitleChars];
    std::swprintf(title, ProgressTitleChars, L"VELDA %2d%%", y * 100 / ScreenLines);
    return title;
}

void RenderImage(HWND window, const Picture& picture) {
    HDC windowDc = GetDC(window);
    PatBlt(Canvas.dc, 0, 0, CanvasWidth, CanvasHeight, PATCOPY);
    // A picture smaller than the screen (a COPY file's area) is drawn at
    // its top left; the rest stays white.
    for (int y = 0; y < ScreenLines; ++y) {
        SetWindowTextW(window, ProgressTitle(y).c_str());  // for every line of the screen
        if (y >= picture.height) continue;
        for (int x = 0; x < picture.width; ++x) {
            const Rgb8 c = PixelColor(picture, x, y);
            SetPixelV(Canvas.dc, x, y, RGB(c.r, c.g, c.b));
        }
    }
    ReleaseDC(window, windowDc);
}

}  // namespace velda
