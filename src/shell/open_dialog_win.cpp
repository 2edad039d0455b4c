// The Open dialog and the load of the chosen file, with its messages.
#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "image/bsave_loader.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"

namespace velda {

namespace {

constexpr int DialogTitleBytes = 32;
constexpr int FileTitleChars = 63;  // and a NUL

}  // namespace

int ChooseBsaveFile(HWND owner, char* fileTitle, int fileTitleSize, uint8_t screen) {
    char file[PathBytes];
    std::memcpy(file, CurrentFile.path, sizeof file);
    char title[DialogTitleBytes];
    std::snprintf(title, sizeof title, OpenDialogTitleFormat, screen);
    char chosenTitle[FileTitleChars + 1] = {};

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OpenFileNameSize95;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = OpenFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrFileTitle = chosenTitle;
    dialog.nMaxFileTitle = FileTitleChars;
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog)) return 0;

    std::snprintf(fileTitle, static_cast<size_t>(fileTitleSize), "%s", chosenTitle);
    std::memcpy(CurrentFile.path, file, sizeof file);
    return 1;
}

bool LoadBsave(HWND owner, uint8_t screen) {
    switch (ReadBsaveFile(screen)) {
    case LoadOutcome::Accepted:
        return true;
    case LoadOutcome::NotBsave:
        ShowError(owner, NotBsaveMessage);
        return false;
    case LoadOutcome::CannotOpen:
    case LoadOutcome::ReadFailed:  // a file that fails part-way is as good as none
    default:
        ShowError(owner, CannotOpenMessage);
        return false;
    }
}

}  // namespace velda
