// The commands that neither load nor save: Exit, Auto size, File
// information, Clear, Help contents and About.
#include <cstdio>
#include <string>

#include "image/mode_table.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"

namespace velda {

namespace {

constexpr int FileInfoBytes = 128;
constexpr int OkButton = IDOK;

}  // namespace

// Ends the program through the window's own shutdown.
void ExitCommand(HWND window) { SendMessageA(window, WM_DESTROY, 0, 0); }

// Gives the window the size of the picture's mode, at the zoom and aspect,
// at the same corner.
void AutoSizeCommand(HWND window) { SizeWindowForMode(window, ModelOf(window).ScreenMode); }

// Shows the mode and the addresses of the file on screen.
void FileInfoCommand(HWND window) {
    const PictureModel& model = ModelOf(window);
    char text[FileInfoBytes];
    std::snprintf(text, sizeof text, FileInfoFormat, model.ScreenMode, model.CurrentFile.startAddress,
                  model.CurrentFile.endAddress);
    std::string shown = text;
    if (View.sprites.Drawn()) shown += model.SpriteTables ? SpritesDrawnText : NoSpriteTablesText;
    MessageBoxA(window, shown.c_str(), FileInfoCaption, MB_OK);
}

// Back to the empty window; the size and the picture in memory stay.
void ClearCommand(HWND window) {
    PatBlt(Canvas.dc, 0, 0, CanvasWidth, CanvasHeight, PATCOPY);
    InvalidateRect(window, nullptr, TRUE);
    SetWindowTextA(window, AppName);
    ModelOf(window).ScreenMode = 5;
    ModelOf(window).PictureShown = false;
    GrayImageItems(window);
}

// Opens the help file's contents in the Windows help engine.
void HelpContentsCommand(HWND window) { WinHelpA(window, HelpFileName, HELP_CONTENTS, 0); }

// Shows the About dialog until it is closed.
void AboutCommand(HWND window) {
    DialogBoxParamA(AppInstance, AboutDialogName, window, AboutDlgProc, 0);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        EnableWindow(GetDlgItem(dialog, OkButton), TRUE);
        return TRUE;
    case WM_COMMAND:  // OK, Enter, Esc and the close box all end it
    case WM_DESTROY:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace velda
