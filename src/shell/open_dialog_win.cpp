// The Open dialogs and the loads of the chosen file, with their messages;
// the next and previous picture of the folder.
#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "image/file_types.h"
#include "image/picture_file.h"
#include "platform/files.h"
#include "platform/folder_files.h"
#include "platform/names.h"
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
    CurrentFileRecord& current = ModelOf(owner).CurrentFile;
    char file[PathBytes];
    std::memcpy(file, current.path, sizeof file);
    char chosenTitle[FileTitleChars + 1] = {};

    OPENFILENAMEA dialog = FileDialogRecord(owner, filter, title, file, sizeof file);
    dialog.lpstrFileTitle = chosenTitle;
    dialog.nMaxFileTitle = FileTitleChars;
    if (file[0] == '\0' && LastOpenFolder[0] != '\0') dialog.lpstrInitialDir = LastOpenFolder;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog)) return 0;

    std::snprintf(fileTitle, static_cast<size_t>(fileTitleSize), "%s", chosenTitle);
    std::memcpy(current.path, file, sizeof file);
    SaveLastOpenFolder(file);
    return 1;
}

// Reads the picture file `path`, opens it as `request` asks and shows it
// titled `fileTitle`; says why when it cannot. The one way every Open takes.
bool OpenAndShow(HWND window, const std::string& path, const PictureRequest& request, const char* fileTitle) {
    std::vector<uint8_t> bytes;
    ScreenPage page;
    LoadError error = ReadWholeFile(path, MaxPictureFileBytes, bytes);
    if (!error) error = OpenPicture(bytes.data(), bytes.size(), request, page);
    if (error) {
        ShowError(window, LoadMessage(error));
        return false;
    }
    ShowPicturePage(window, page, fileTitle);
    return true;
}

}  // namespace

OPENFILENAMEA FileDialogRecord(HWND owner, const char* filter, const char* title, char* file, DWORD fileSize) {
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OpenFileNameSize95;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = fileSize;
    dialog.lpstrTitle = title;
    return dialog;
}

const char* LoadMessage(const LoadError& error) {
    switch (error.fault) {
    case LoadFault::Empty:
    case LoadFault::ShortHeader:
    case LoadFault::WrongFirstByte:
    case LoadFault::EndBelowStart:
        return error.format == FileKind::GraphSaurus ? NotGraphSaurusMessage : NotBsaveMessage;
    case LoadFault::CutOff: return CutOffMessage;
    case LoadFault::PaletteFileSize:
    case LoadFault::PaletteFileMark: return NotPaletteMessage;
    case LoadFault::UnknownExtension: return UnknownKindMessage;
    case LoadFault::PaletteFileAlone: return PaletteFileMessage;
    case LoadFault::CannotOpen:
    case LoadFault::ReadFailed:  // a file that fails part-way is as good as none
    default: return CannotOpenMessage;
    }
}

int ChooseBsaveFile(HWND owner, char* fileTitle, int fileTitleSize, uint8_t screen) {
    char title[DialogTitleBytes];
    std::snprintf(title, sizeof title, OpenDialogTitleFormat, screen);
    return ChooseFile(owner, OpenFilter, title, fileTitle, fileTitleSize);
}

bool ChoosePictureFile(HWND owner) {
    char fileTitle[FileTitleChars + 1];
    return ChooseFile(owner, PictureFilter, PictureDialogTitle, fileTitle, sizeof fileTitle) != 0;
}

bool OpenInMode(HWND window, uint8_t screen, const char* fileTitle) {
    PictureModel& model = ModelOf(window);
    PictureRequest request;
    request.kind = FileKind::Bsave;
    request.screen = screen;
    request.heldPalette = model.MsxPalette;
    return OpenAndShow(window, model.CurrentFile.path, request, fileTitle);
}

bool OpenPictureFile(HWND window, const std::string& path) {
    PictureModel& model = ModelOf(window);
    const PathParts parts = SplitPath(path);
    const FileType type = TypeOfExtension(parts.extension);
    if (type.kind == FileKind::Unknown || type.kind == FileKind::Palette) {
        const LoadFault fault = type.kind == FileKind::Palette ? LoadFault::PaletteFileAlone : LoadFault::UnknownExtension;
        ShowError(window, LoadMessage(LoadError(fault)));
        return false;
    }
    // The palette file beside the picture is taken as the converter takes it.
    FolderFiles folder(parts.folder);
    PictureRequest request;
    request.kind = type.kind;
    request.screen = type.screen;
    request.name = PictureName{parts.stem, parts.extension};
    request.beside = &folder;
    request.heldPalette = model.MsxPalette;
    if (!OpenAndShow(window, path, request, parts.Name().c_str())) return false;
    model.CurrentPicturePath = path;
    return true;
}

bool OpenNamedPicture(HWND window, const std::string& path) {
    CurrentFileRecord& current = ModelOf(window).CurrentFile;
    // Save proposes its name from CurrentFile.path, so a path that does not
    // fit there is not opened, as the Open dialog cannot return one.
    if (path.size() >= sizeof current.path) {
        ShowError(window, CannotOpenMessage);
        return false;
    }
    if (!OpenPictureFile(window, path)) return false;
    std::snprintf(current.path, sizeof current.path, "%s", path.c_str());
    return true;
}

void StepPictureCommand(HWND window, int step) {
    std::string& position = ModelOf(window).CurrentPicturePath;
    const std::string next = position.empty() ? "" : NeighbourPicture(position, step);
    if (next.empty()) {
        MessageBeep(MB_OK);
        return;
    }
    // The position moves on to a file that fails too, so that the next key
    // press goes past it instead of failing on it again.
    position = next;
    OpenNamedPicture(window, next);
}

}  // namespace velda
