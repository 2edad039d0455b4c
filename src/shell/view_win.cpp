// The View menu's zoom and television aspect: how large the window shows
// each pixel of the Canvas. The Canvas, and so File information and Save,
// stay those of the picture.
#include <windows.h>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"

namespace velda {

ViewRecord View = DefaultView;

namespace {

// Shows a changed View (menu, window size and picture) and keeps it.
void ApplyView(HWND window) {
    SaveViewSettings();
    ShowViewChoices(window);
    AutoSizeCommand(window);
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

SIZE PixelBlock(int pictureWidth) {
    // A television drew every mode across the same width and each of the
    // 212 lines as two of its 424: the pixels of a 512-wide picture were
    // twice as tall as wide, those of a 256-wide one twice as large.
    const int across = View.tvAspect && pictureWidth < CanvasWidth ? 2 : 1;
    const int down = View.tvAspect ? 2 : 1;
    return SIZE{View.zoom * across, View.zoom * down};
}

void ShowViewChoices(HWND window) {
    HMENU view = GetSubMenu(GetMenu(window), ViewPopup);
    CheckMenuRadioItem(view, IDM_ZOOM_1, IDM_ZOOM_3, IDM_ZOOM_1 + View.zoom - 1, MF_BYCOMMAND);
    CheckMenuItem(view, IDM_TV_ASPECT, MF_BYCOMMAND | (View.tvAspect ? MF_CHECKED : MF_UNCHECKED));
    EnableMenuItem(view, IDM_ZOOM_IN, MF_BYCOMMAND | (View.zoom < MaxZoom ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(view, IDM_ZOOM_OUT, MF_BYCOMMAND | (View.zoom > 1 ? MF_ENABLED : MF_GRAYED));
}

// Shows each canvas pixel `zoom` times as large, and sizes the window to it.
void ZoomCommand(HWND window, int zoom) {
    View.zoom = zoom;
    ApplyView(window);
}

// One zoom larger or smaller (+ and -); past 3 or below 1 nothing changes.
void ZoomStepCommand(HWND window, int step) {
    const int zoom = View.zoom + step;
    if (zoom >= 1 && zoom <= MaxZoom) ZoomCommand(window, zoom);
}

// Turns the television's proportions on or off, and sizes the window.
void TvAspectCommand(HWND window) {
    View.tvAspect = !View.tvAspect;
    ApplyView(window);
}

}  // namespace velda
