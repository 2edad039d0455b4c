// The Open dialogs and the loads of the chosen file, with their messages;
// the next and previous picture of the folder.
#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "image/bsave_loader.h"
#include "image/file_types.h"
#include "image/picture_file.h"
#include "shell/picture_folder.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"

namespace velda {

namespace {

constexpr int DialogTitleBytes = 32;
constexpr int FileTitleChars = 63;  // and a NUL

// The one Open dialog of every Open command, started at the last chosen
// path, or before any in the folder kept from the last run; the confirmed
// path goes to CurrentFile.path, and its folder is kept.
int ChooseFile(HWND owner, const char* filter, const char* title, char* fileTitle, int fileTitleSize) {
    char file[PathBytes];
    std::memcpy(file, CurrentFile.path, sizeof file);
    char chosenTitle[FileTitleChars + 1] = {};

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OpenFileNameSize95;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrFileTitle = chosenTitle;
    dialog.nMaxFileTitle = FileTitleChars;
    dialog.lpstrTitle = title;
    if (file[0] == '\0' && LastOpenFolder[0] != '\0') dialog.lpstrInitialDir = LastOpenFolder;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog)) return 0;

    std::snprintf(fileTitle, static_cast<size_t>(fileTitleSize), "%s", chosenTitle);
    std::memcpy(CurrentFile.path, file, sizeof file);
    SaveLastOpenFolder(file);
    return 1;
}

// What the user is told about a picture file that did not open.
const char* LoadMessage(LoadOutcome outcome) {
    switch (outcome) {
    case LoadOutcome::NotBsave: return NotBsaveMessage;
    case LoadOutcome::NotGraphSaurus: return NotGraphSaurusMessage;
    case LoadOutcome::CutOff: return CutOffMessage;
    case LoadOutcome::NotPalette: return NotPaletteMessage;
    case LoadOutcome::CannotOpen:
    case LoadOutcome::ReadFailed:  // a file that fails part-way is as good as none
    default: return CannotOpenMessage;
    }
}

}  // namespace

int ChooseBsaveFile(HWND owner, char* fileTitle, int fileTitleSize, uint8_t screen) {
    char title[DialogTitleBytes];
    std::snprintf(title, sizeof title, OpenDialogTitleFormat, screen);
    return ChooseFile(owner, OpenFilter, title, fileTitle, fileTitleSize);
}

bool ChoosePictureFile(HWND owner) {
    char fileTitle[FileTitleChars + 1];
    return ChooseFile(owner, PictureFilter, PictureDialogTitle, fileTitle, sizeof fileTitle) != 0;
}

bool LoadBsave(HWND owner, uint8_t screen) {
    const LoadOutcome outcome = ReadBsaveFile(screen);
    if (outcome == LoadOutcome::Accepted) return true;
    ShowError(owner, LoadMessage(outcome));
    return false;
}

bool OpenPictureFile(HWND window, const std::string& path) {
    const FileType type = TypeOfFile(path);
    if (type.kind == FileKind::Unknown) {
        ShowError(window, UnknownKindMessage);
        return false;
    }
    if (type.kind == FileKind::Palette) {
        ShowError(window, PaletteFileMessage);
        return false;
    }
    // The palette file beside the picture is taken as the converter takes it.
    ScreenPage page;
    const LoadReport report = LoadPictureFile(path, type.kind, type.screen, PaletteChoice{}, page);
    if (report.outcome != LoadOutcome::Accepted) {
        ShowError(window, LoadMessage(report.outcome));
        return false;
    }
    ShowPicturePage(window, page, path.c_str() + SplitName(path).nameStart);
    CurrentPicturePath = path;
    return true;
}

bool OpenNamedPicture(HWND window, const std::string& path) {
    // Save proposes its name from CurrentFile.path, so a path that does not
    // fit there is not opened, as the Open dialog cannot return one.
    if (path.size() >= sizeof CurrentFile.path) {
        ShowError(window, CannotOpenMessage);
        return false;
    }
    if (!OpenPictureFile(window, path)) return false;
    std::snprintf(CurrentFile.path, sizeof CurrentFile.path, "%s", path.c_str());
    return true;
}

void StepPictureCommand(HWND window, int step) {
    const std::string next = CurrentPicturePath.empty() ? "" : NeighbourPicture(CurrentPicturePath, step);
    if (next.empty()) {
        MessageBeep(MB_OK);
        return;
    }
    // The position moves on to a file that fails too, so that the next key
    // press goes past it instead of failing on it again.
    CurrentPicturePath = next;
    OpenNamedPicture(window, next);
}

}  // namespace velda
