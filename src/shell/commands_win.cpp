// The commands that neither load nor save: Exit, Auto size, File
// information, Clear, Help contents and About.
#include <cwchar>
#include <string>

#include "image/mode_table.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/unicode_win.h"
#include "shell/shell_state_win.h"

namespace velda {

namespace {

constexpr int FileInfoChars = 128;
constexpr int OkButton = IDOK;
// ShellExecuteW's results up to this one are errors.
constexpr INT_PTR LastShellExecuteError = 32;

// Whether Help contents started the old help engine, which is to be closed
// with the window.
bool gWinHelpStarted = false;

// The path (UTF-8) of the file `name` in the running program's folder.
std::string BesideProgram(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) return SplitPath(Narrow(path.substr(0, length))).folder + Narrow(name);
        path.resize(path.size() * 2);  // cut short: try a larger buffer
    }
}

}  // namespace

// Ends the program through the window's own shutdown.
void ExitCommand(HWND window) { SendMessageW(window, WM_DESTROY, 0, 0); }

// Gives the window the size of the picture's mode, at the zoom and aspect,
// at the same corner.
void AutoSizeCommand(HWND window) { SizeWindowForMode(window, ModelOf(window).ScreenMode); }

// Shows the mode and the addresses of the file on screen.
void FileInfoCommand(HWND window) {
    const PictureModel& model = ModelOf(window);
    wchar_t text[FileInfoChars];
    std::swprintf(text, FileInfoChars, TextOf(Text::FileInfoFormat), model.ScreenMode, model.CurrentFile.startAddress,
                  model.CurrentFile.endAddress);
    std::wstring shown = text;
    if (View.sprites.Drawn()) shown += TextOf(model.SpriteTables ? Text::SpritesDrawn : Text::NoSpriteTables);
    MessageBoxW(window, shown.c_str(), TextOf(Text::FileInfoCaption), MB_OK);
}

// Back to the empty window; the size and the picture in memory stay.
void ClearCommand(HWND window) {
    PatBlt(Canvas.dc, 0, 0, CanvasWidth, CanvasHeight, PATCOPY);
    InvalidateRect(window, nullptr, TRUE);
    SetWindowTextW(window, AppName);
    ModelOf(window).ScreenMode = 5;
    ModelOf(window).PictureShown = false;
    GrayImageItems(window);
}

// Opens the help beside the program: VELDAWIN.HLP in the Windows help
// engine where that file is there (Windows 10 and 11 have no such engine),
// otherwise velda-help.html in the system's browser. A missing or
// unopened help file is named in a message.
void HelpContentsCommand(HWND window) {
    const std::string oldHelp = BesideProgram(HelpFileName);
    if (KindOf(oldHelp) == PathKind::File) {
        gWinHelpStarted = WinHelpW(window, Widen(oldHelp).c_str(), HELP_CONTENTS, 0) != FALSE;
        return;
    }
    const std::wstring help = Widen(BesideProgram(HtmlHelpFileName));
    if (KindOf(Narrow(help)) != PathKind::File) {
        ShowError(window, TextOf(Text::HelpMissing) + (L"\n" + help));
        return;
    }
    const HINSTANCE opened = ShellExecuteW(window, L"open", help.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(opened) <= LastShellExecuteError) {
        ShowError(window, TextOf(Text::HelpFailed) + (L"\n" + help));
    }
}

void CloseHelp(HWND window) {
    if (gWinHelpStarted) WinHelpW(window, HelpFileName, HELP_QUIT, 0);
    gWinHelpStarted = false;
}

// Shows the About dialog of the chosen language until it is closed.
void AboutCommand(HWND window) {
    DialogBoxParamW(AppInstance, AboutDialogNames[static_cast<int>(UiLanguage)], window, AboutDlgProc, 0);
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
