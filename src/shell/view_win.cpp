// The View menu: the zoom and television aspect, how large the window
// shows each pixel of the Canvas (the Canvas, and so File information and
// Save, stay those of the picture); the MSX1's colours and the sprites,
// how the picture itself is made, which Save writes too; and the language
// of the user interface.
//
// High-DPI screens: the program is aware of each monitor's DPI (its
// manifest). A canvas pixel at zoom 1 is ScreenScale device pixels across
// and down, the monitor's scale rounded down to a whole number, so that
// every pixel stays a sharp block at every scale, 150% included (where it
// stays 1); the zooms multiply that, and so stay exact. The frame's
// extras are the system's metrics for the monitor's DPI. A move to a
// monitor of another scale (WM_DPICHANGED) sizes the window afresh.
#include <windows.h>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"

namespace velda {

ViewRecord View = DefaultView;
Language UiLanguage = Language::Japanese;
int ScreenScale = 1;
int FrameExtraWidth;
int FrameExtraHeight;

namespace {

// The functions of Windows 10, version 1607, that give a window's DPI and
// the metrics at a DPI; nullptr where Windows (or Wine) lacks them.
template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

// The system metric `index` at `dpi`, or as the system gives it where
// Windows has no metrics for a DPI.
int MetricAt(int index, UINT dpi) {
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    return forDpi != nullptr ? forDpi(index, dpi) : GetSystemMetrics(index);
}

// Shows a changed View (menu, window size and picture) and keeps it.
void ApplyView(HWND window) {
    SaveViewSettings();
    ShowViewChoices(window);
    AutoSizeCommand(window);
    InvalidateRect(window, nullptr, TRUE);
}

// Shows a changed choice of how the picture is made, and keeps it.
void ApplyPictureChoice(HWND window) {
    SaveViewSettings();
    ShowViewChoices(window);
    RedrawPicture(window);
}

}  // namespace

int SpriteChoiceOf(SpriteOptions sprites) {
    for (int i = 0; i < SpriteChoiceCount; ++i) {
        if (SpriteChoices[i].size == sprites.size && SpriteChoices[i].magnified == sprites.magnified) return i;
    }
    return 0;
}

SIZE PixelBlock(int pictureWidth) {
    // A television drew every mode across the same width and each of the
    // 212 lines as two of its 424: the pixels of a 512-wide picture were
    // twice as tall as wide, those of a 256-wide one twice as large.
    const int across = View.tvAspect && pictureWidth < CanvasWidth ? 2 : 1;
    const int down = View.tvAspect ? 2 : 1;
    return SIZE{ScreenScale * View.zoom * across, ScreenScale * View.zoom * down};
}

UINT WindowDpi(HWND window) {
    static const auto forWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) return forWindow(window);
    HDC screen = GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    return dpi;
}

void AdoptDpi(UINT dpi) {
    ScreenScale = dpi > BaseDpi ? static_cast<int>(dpi / BaseDpi) : 1;
    FrameExtraWidth = 2 * MetricAt(SM_CXFRAME, dpi);
    FrameExtraHeight = 3 * MetricAt(SM_CYFRAME, dpi) + MetricAt(SM_CYMENUSIZE, dpi) + MetricAt(SM_CYSMCAPTION, dpi);
}

void ShowViewChoices(HWND window) {
    HMENU view = GetSubMenu(GetMenu(window), ViewPopup);
    CheckMenuRadioItem(view, IDM_ZOOM_1, IDM_ZOOM_3, IDM_ZOOM_1 + View.zoom - 1, MF_BYCOMMAND);
    CheckMenuItem(view, IDM_TV_ASPECT, MF_BYCOMMAND | (View.tvAspect ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(view, IDM_MSX1_COLORS, MF_BYCOMMAND | (View.msx1Colors ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuRadioItem(view, IDM_SPRITES_NONE, IDM_SPRITES_16X2, IDM_SPRITES_NONE + SpriteChoiceOf(View.sprites),
                       MF_BYCOMMAND);
    EnableMenuItem(view, IDM_ZOOM_IN, MF_BYCOMMAND | (View.zoom < MaxZoom ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(view, IDM_ZOOM_OUT, MF_BYCOMMAND | (View.zoom > 1 ? MF_ENABLED : MF_GRAYED));
    CheckMenuRadioItem(view, IDM_LANGUAGE_JAPANESE, IDM_LANGUAGE_ENGLISH,
                       IDM_LANGUAGE_JAPANESE + static_cast<int>(UiLanguage), MF_BYCOMMAND);
}

// Menus, titles, dialogs and messages in `language` from now on, kept for
// the next runs; the picture and the window's size stay.
void LanguageCommand(HWND window, Language language) {
    UiLanguage = language;
    SaveViewSettings();
    ShowLanguage(window);
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

PictureOptions WindowPictureOptions() {
    PictureOptions options;
    options.colors = View.msx1Colors ? ColorRule::Msx1 : ColorRule::Velda;
    options.sprites = View.sprites;
    return options;
}

// Shows SCREEN 1-4 in the MSX1's colours, or no longer.
void Msx1ColorsCommand(HWND window) {
    View.msx1Colors = !View.msx1Colors;
    ApplyPictureChoice(window);
}

void SpritesCommand(HWND window, int choice) {
    View.sprites = SpriteChoices[choice];
    ApplyPictureChoice(window);
}

}  // namespace velda
