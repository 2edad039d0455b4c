// The Open dialogs and the loads of the chosen file, with their messages;
// the next and previous picture of the folder.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>

#include "image/container.h"
#include "image/file_types.h"
#include "image/picture_file.h"
#include "platform/containers.h"
#include "platform/files.h"
#include "platform/folder_files.h"
#include "platform/names.h"
#include "platform/unicode_win.h"
#include "shell/picture_folder.h"
#include "shell/shell_state_win.h"

namespace velda {

namespace {

constexpr int DialogTitleChars = 64;
constexpr int FileTitleChars = 63;  // and a NUL

// The one Open dialog of every Open command, started at CurrentFile.path,
// or before any in the folder kept from the last run; the confirmed path
// goes to `path` and CurrentFile.path, is what Save proposes from now on
// (whether the file then opens or not), and its folder is kept.
bool ChooseFile(HWND owner, const wchar_t* filter, const wchar_t* title, std::string& path, std::string& fileTitle) {
    CurrentFileRecord& current = ModelOf(owner).CurrentFile;
    wchar_t file[PathChars] = {};
    Widen(current.path).copy(file, PathChars - 1);
    wchar_t chosenTitle[FileTitleChars + 1] = {};
    const std::wstring initialFolder = Widen(LastOpenFolder);

    OPENFILENAMEW dialog = FileDialogRecord(owner, filter, title, file, PathChars);
    dialog.lpstrFileTitle = chosenTitle;
    dialog.nMaxFileTitle = FileTitleChars;
    if (file[0] == L'\0' && !initialFolder.empty()) dialog.lpstrInitialDir = initialFolder.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) return false;

    fileTitle = Narrow(chosenTitle);
    path = Narrow(file);
    current.path = path;
    ModelOf(owner).SaveName = path;
    SaveLastOpenFolder(path);
    return true;
}

// Reads the picture `found` from `files` (a folder, or a folder of a disk
// image), opens it as `request` asks and shows it titled `fileTitle`; says
// why when it cannot. The one way every Open takes.
bool OpenAndShow(HWND window, Companions& files, const std::string& found, const PictureRequest& request,
                 const std::string& fileTitle) {
    std::vector<uint8_t> bytes;
    ScreenPage page;
    LoadError error = files.Read(found, MaxPictureFileBytes, bytes);
    if (!error) error = OpenPicture(bytes.data(), bytes.size(), request, page);
    if (error) {
        ShowError(window, TextOf(LoadMessage(error)));
        return false;
    }
    ShowPicturePage(window, page, fileTitle);
    return true;
}

// The request of Open by extension for a picture named as `parts` split
// its name, whose companions are among `beside`.
PictureRequest RequestFor(const PathParts& parts, Companions& beside, const PictureModel& model) {
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
    // Split at '/' alone: a name inside a container may hold a '\' or ':'.
    if (!OpenAndShow(window, folder, file.name, RequestFor(SplitImagePath(file.fileName), folder, model), file.name)) {
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
            if (!file.refusal && IsSteppedKind(TypeOfExtension(SplitImagePath(file.fileName).extension).kind)) {
                shown->pictures.push_back(std::move(file));
            }
        }
        if (shown->pictures.empty()) error = LoadError(LoadFault::NoPicture, TypeOfExtension(SplitPath(path).extension).kind);
    }
    if (error) {
        ShowError(window, TextOf(LoadMessage(error)));
        return false;
    }
    std::sort(shown->pictures.begin(), shown->pictures.end(),
              [](const ListedFile& a, const ListedFile& b) { return NameBefore(a.name, b.name); });
    return ShowContainerPicture(window, shown, 0);
}

}  // namespace

OPENFILENAMEW FileDialogRecord(HWND owner, const wchar_t* filter, const wchar_t* title, wchar_t* file,
                               DWORD fileChars) {
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = OpenFileNameSize95;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = fileChars;
    dialog.lpstrTitle = title;
    return dialog;
}

bool FitsDialogs(const std::string& path) { return Widen(path).size() < PathChars; }

Text LoadMessage(const LoadError& error) {
    switch (error.fault) {
    case LoadFault::Empty:
    case LoadFault::ShortHeader:
    case LoadFault::WrongFirstByte:
    case LoadFault::EndBelowStart:
        return error.format == FileKind::GraphSaurus ? Text::NotGraphSaurus
               : error.format == FileKind::Copy      ? Text::NotCopy
                                                     : Text::NotBsave;
    case LoadFault::CopySize: return Text::NotCopy;
    case LoadFault::CutOff: return Text::CutOff;
    case LoadFault::NotDiskImage: return Text::NotDiskImage;
    case LoadFault::NoPicture: return error.format == FileKind::DiskImage ? Text::NoPicture : Text::NoPictureInArchive;
    case LoadFault::ChainBroken:
    case LoadFault::ChainShort: return Text::BrokenFile;
    case LoadFault::NotZipArchive: return Text::NotZipArchive;
    case LoadFault::NotGzip: return Text::NotGzip;
    case LoadFault::SplitArchive: return Text::SplitArchive;
    case LoadFault::ArchiveDamaged:
    case LoadFault::CrcMismatch: return Text::BrokenInArchive;
    case LoadFault::Encrypted: return Text::Encrypted;
    case LoadFault::UnknownMethod: return Text::UnknownMethod;
    case LoadFault::TooLarge: return Text::TooLarge;
    case LoadFault::NestedTooDeep: return Text::NestedTooDeep;
    case LoadFault::PaletteFileSize:
    case LoadFault::PaletteFileMark: return Text::NotPalette;
    case LoadFault::UnknownExtension: return Text::UnknownKind;
    case LoadFault::PaletteFileAlone: return Text::PaletteFile;
    case LoadFault::CannotOpen:
    case LoadFault::ReadFailed:  // a file that fails part-way is as good as none
    default: return Text::CannotOpen;
    }
}

bool ChooseBsaveFile(HWND owner, uint8_t screen, std::string& path, std::string& fileTitle) {
    wchar_t title[DialogTitleChars];
    std::swprintf(title, DialogTitleChars, TextOf(Text::OpenDialogTitleFormat), screen);
    return ChooseFile(owner, TextOf(Text::OpenFilter), title, path, fileTitle);
}

bool ChoosePictureFile(HWND owner, std::string& path) {
    std::string fileTitle;
    return ChooseFile(owner, TextOf(Text::PictureFilter), TextOf(Text::PictureDialogTitle), path, fileTitle);
}

bool OpenInMode(HWND window, uint8_t screen, const std::string& path, const std::string& fileTitle) {
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
    if (!OpenAndShow(window, folder, path, RequestFor(parts, folder, model), parts.Name())) return false;
    model.Shown = ShownFile{path, nullptr};
    model.SaveName = path;
    return true;
}

bool OpenNamedPicture(HWND window, const std::string& path) {
    PictureModel& model = ModelOf(window);
    CurrentFileRecord& current = model.CurrentFile;
    // A path the dialogs could not start from is not opened, as the Open
    // dialog cannot return one.
    if (!FitsDialogs(path)) {
        ShowError(window, TextOf(Text::CannotOpen));
        return false;
    }
    if (!OpenPictureFile(window, path)) return false;
    current.path = model.Shown.path;
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
