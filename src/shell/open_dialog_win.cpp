// The Open dialogs and the loads of the chosen file, with their messages;
// the next and previous picture of the folder.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "image/container.h"
#include "image/file_types.h"
#include "image/picture_file.h"
#include "platform/containers.h"
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

// The one Open dialog of every Open command, started at CurrentFile.path,
// or before any in the folder kept from the last run; the confirmed path
// goes to `path` and CurrentFile.path, is what Save proposes from now on
// (whether the file then opens or not), and its folder is kept.
bool ChooseFile(HWND owner, const char* filter, const char* title, std::string& path, char* fileTitle,
                int fileTitleSize) {
    CurrentFileRecord& current = ModelOf(owner).CurrentFile;
    char file[PathBytes];
    std::memcpy(file, current.path, sizeof file);
    char chosenTitle[FileTitleChars + 1] = {};

    OPENFILENAMEA dialog = FileDialogRecord(owner, filter, title, file, sizeof file);
    dialog.lpstrFileTitle = chosenTitle;
    dialog.nMaxFileTitle = FileTitleChars;
    if (file[0] == '\0' && LastOpenFolder[0] != '\0') dialog.lpstrInitialDir = LastOpenFolder;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog)) return false;

    std::snprintf(fileTitle, static_cast<size_t>(fileTitleSize), "%s", chosenTitle);
    std::memcpy(current.path, file, sizeof file);
    path = file;
    ModelOf(owner).SaveName = path;
    SaveLastOpenFolder(file);
    return true;
}

// Reads the picture `found` from `files` (a folder, or a folder of a disk
// image), opens it as `request` asks and shows it titled `fileTitle`; says
// why when it cannot. The one way every Open takes.
bool OpenAndShow(HWND window, Companions& files, const std::string& found, const PictureRequest& request,
                 const char* fileTitle) {
    std::vector<uint8_t> bytes;
    ScreenPage page;
    LoadError error = files.Read(found, MaxPictureFileBytes, bytes);
    if (!error) error = OpenPicture(bytes.data(), bytes.size(), request, page);
    if (error) {
        ShowError(window, LoadMessage(error));
        return false;
    }
    ShowPicturePage(window, page, fileTitle);
    return true;
}

// The request of Open by extension for a picture named `name`, whose
// companions are among `beside`.
PictureRequest RequestFor(const std::string& name, Companions& beside, const PictureModel& model) {
    const PathParts parts = SplitPath(name);
    PictureRequest request;
    request.name = PictureName{parts.stem, parts.extension};
    request.beside = &beside;
    request.heldPalette = model.MsxPalette;
    return request;
}

// Shows picture `position` of `shown`'s container, titled with its name
// there ("GAME.ZIP:PICS/TITLE.SC5"), and makes it the picture next and
// previous step from. Save proposes its name in the container's folder.
bool ShowContainerPicture(HWND window, const std::shared_ptr<ShownContainer>& shown, std::size_t position) {
    PictureModel& model = ModelOf(window);
    shown->position = position;
    const ListedFile& file = shown->pictures[position];
    ContainerFolder folder(file.container, file.containerName,
                           ContainerFolderOf(file.container->Files()[file.index].path));
    if (!OpenAndShow(window, folder, file.name, RequestFor(file.fileName, folder, model), file.name.c_str())) {
        return false;
    }
    model.Shown = ShownFile{shown->path, shown};
    model.SaveName = SplitPath(shown->path).folder + HarmlessName(file.fileName);
    return true;
}

// Opens the container `path` (a disk image, an archive) at its first
// picture by name; says so when it cannot be read or holds no picture, and
// changes nothing.
bool OpenContainerPath(HWND window, const std::string& path) {
    auto shown = std::make_shared<ShownContainer>();
    shown->path = path;
    std::shared_ptr<const Container> container;
    LoadError error = OpenContainerFile(path, container);
    if (!error) {
        const std::string name = FileNameOf(path);
        for (ListedFile& file : ListContainer(container, name, name, SystemContainerTools())) {
            if (!file.refusal && IsSteppedKind(TypeOfExtension(SplitPath(file.fileName).extension).kind)) {
                shown->pictures.push_back(std::move(file));
            }
        }
        if (shown->pictures.empty()) error = LoadError(LoadFault::NoPicture);
    }
    if (error) {
        ShowError(window, LoadMessage(error));
        return false;
    }
    std::sort(shown->pictures.begin(), shown->pictures.end(),
              [](const ListedFile& a, const ListedFile& b) { return NameBefore(a.name, b.name); });
    return ShowContainerPicture(window, shown, 0);
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
        return error.format == FileKind::GraphSaurus ? NotGraphSaurusMessage
               : error.format == FileKind::Copy      ? NotCopyMessage
                                                     : NotBsaveMessage;
    case LoadFault::CopySize: return NotCopyMessage;
    case LoadFault::CutOff: return CutOffMessage;
    case LoadFault::NotDiskImage: return NotDiskImageMessage;
    case LoadFault::NoPicture: return NoPictureMessage;
    case LoadFault::ChainBroken:
    case LoadFault::ChainShort: return BrokenFileMessage;
    case LoadFault::PaletteFileSize:
    case LoadFault::PaletteFileMark: return NotPaletteMessage;
    case LoadFault::UnknownExtension: return UnknownKindMessage;
    case LoadFault::PaletteFileAlone: return PaletteFileMessage;
    case LoadFault::CannotOpen:
    case LoadFault::ReadFailed:  // a file that fails part-way is as good as none
    default: return CannotOpenMessage;
    }
}

bool ChooseBsaveFile(HWND owner, uint8_t screen, std::string& path, char* fileTitle, int fileTitleSize) {
    char title[DialogTitleBytes];
    std::snprintf(title, sizeof title, OpenDialogTitleFormat, screen);
    return ChooseFile(owner, OpenFilter, title, path, fileTitle, fileTitleSize);
}

bool ChoosePictureFile(HWND owner, std::string& path) {
    char fileTitle[FileTitleChars + 1];
    return ChooseFile(owner, PictureFilter, PictureDialogTitle, path, fileTitle, sizeof fileTitle);
}

bool OpenInMode(HWND window, uint8_t screen, const std::string& path, const char* fileTitle) {
    PictureModel& model = ModelOf(window);
    PictureRequest request;
    const PathParts parts = SplitPath(path);
    request.name = PictureName{parts.stem, parts.extension};
    request.screen = screen;
    request.bsaveOnly = true;
    request.heldPalette = model.MsxPalette;
    FolderFiles folder(parts.folder);
    if (!OpenAndShow(window, folder, path, request, fileTitle)) return false;
    model.Shown = ShownFile{path, nullptr};
    return true;
}

bool OpenPictureFile(HWND window, const std::string& path) {
    PictureModel& model = ModelOf(window);
    const PathParts parts = SplitPath(path);
    if (ContainerKindOf(parts.Name()) != FileKind::Unknown) return OpenContainerPath(window, path);
    // The palette file beside the picture is taken as the converter takes it.
    FolderFiles folder(parts.folder);
    if (!OpenAndShow(window, folder, path, RequestFor(path, folder, model), parts.Name().c_str())) return false;
    model.Shown = ShownFile{path, nullptr};
    model.SaveName = path;
    return true;
}

bool OpenNamedPicture(HWND window, const std::string& path) {
    PictureModel& model = ModelOf(window);
    CurrentFileRecord& current = model.CurrentFile;
    // A path the dialogs could not start from is not opened, as the Open
    // dialog cannot return one.
    if (path.size() >= sizeof current.path) {
        ShowError(window, CannotOpenMessage);
        return false;
    }
    if (!OpenPictureFile(window, path)) return false;
    std::snprintf(current.path, sizeof current.path, "%s", model.Shown.path.c_str());
    return true;
}

void StepPictureCommand(HWND window, int step) {
    PictureModel& model = ModelOf(window);
    if (const std::shared_ptr<ShownContainer> shown = model.Shown.container) {
        // Through the pictures of the container; at either end, a beep.
        const std::size_t next = shown->position + static_cast<std::size_t>(step);
        if (next >= shown->pictures.size()) {
            MessageBeep(MB_OK);
            return;
        }
        ShowContainerPicture(window, shown, next);
        return;
    }
    std::string& position = model.Shown.path;
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
