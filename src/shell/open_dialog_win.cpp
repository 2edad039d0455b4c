// The Open dialogs and the loads of the chosen file, with their messages;
// the next and previous picture of the folder.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "image/disk_image.h"
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
// companions are among `beside`; kind Unknown for a name that is no picture.
PictureRequest RequestFor(const std::string& name, Companions& beside, const PictureModel& model) {
    const PathParts parts = SplitPath(name);
    const FileType type = TypeOfExtension(parts.extension);
    PictureRequest request;
    request.kind = type.kind;
    request.screen = type.screen;
    request.name = PictureName{parts.stem, parts.extension};
    request.beside = &beside;
    request.heldPalette = model.MsxPalette;
    return request;
}

// Shows picture `position` of `shown`'s disk image, titled with the
// image's name and its own, and makes it the picture next and previous
// step from. Save proposes its name in the image's folder.
bool ShowImagePicture(HWND window, const std::shared_ptr<ShownImage>& shown, std::size_t position) {
    PictureModel& model = ModelOf(window);
    model.Image = shown;
    shown->position = position;
    const DiskFile& file = shown->image.Files()[shown->pictures[position]];
    const PathParts image = SplitPath(shown->path);
    DiskFolder folder(shown->image, file.folder, image.Name());
    const std::string found = DiskFileName(image.Name(), file);
    if (!OpenAndShow(window, folder, found, RequestFor(file.path, folder, model), found.c_str())) return false;
    const std::string proposal = image.folder + HarmlessName(NameFromCp932(SplitPath(file.path).Name()));
    std::snprintf(model.CurrentFile.path, sizeof model.CurrentFile.path, "%s",
                  proposal.size() < sizeof model.CurrentFile.path ? proposal.c_str() : shown->path.c_str());
    return true;
}

// Opens the disk image `path` at its first picture by name; says so when
// it cannot be read or holds no picture, and changes nothing.
bool OpenDiskImage(HWND window, const std::string& path) {
    auto shown = std::make_shared<ShownImage>();
    shown->path = path;
    std::vector<uint8_t> bytes;
    LoadError error = ReadWholeFile(path, MaxDiskImageBytes, bytes);
    if (!error) error = shown->image.Open(std::move(bytes));
    const std::vector<DiskFile>& files = shown->image.Files();
    for (std::size_t i = 0; i < files.size() && !error; ++i) {
        if (IsSteppedKind(TypeOfExtension(SplitPath(files[i].path).extension).kind)) shown->pictures.push_back(i);
    }
    if (!error && shown->pictures.empty()) error = LoadError(LoadFault::NoPicture);
    if (error) {
        ShowError(window, LoadMessage(error));
        return false;
    }
    std::sort(shown->pictures.begin(), shown->pictures.end(),
              [&files](std::size_t a, std::size_t b) { return NameBefore(files[a].path, files[b].path); });
    return ShowImagePicture(window, shown, 0);
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
    request.bsaveOnly = true;
    request.heldPalette = model.MsxPalette;
    FolderFiles folder(SplitPath(model.CurrentFile.path).folder);
    if (!OpenAndShow(window, folder, model.CurrentFile.path, request, fileTitle)) return false;
    model.Image.reset();
    return true;
}

bool OpenPictureFile(HWND window, const std::string& path) {
    PictureModel& model = ModelOf(window);
    const PathParts parts = SplitPath(path);
    const FileKind kind = TypeOfExtension(parts.extension).kind;
    if (kind == FileKind::DiskImage) return OpenDiskImage(window, path);
    if (kind == FileKind::Unknown || kind == FileKind::Palette) {
        const LoadFault fault = kind == FileKind::Palette ? LoadFault::PaletteFileAlone : LoadFault::UnknownExtension;
        ShowError(window, LoadMessage(LoadError(fault)));
        return false;
    }
    // The palette file beside the picture is taken as the converter takes it.
    FolderFiles folder(parts.folder);
    if (!OpenAndShow(window, folder, path, RequestFor(path, folder, model), parts.Name().c_str())) return false;
    model.CurrentPicturePath = path;
    model.Image.reset();
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
    // A disk image's picture has set the name Save proposes.
    if (ModelOf(window).Image == nullptr) std::snprintf(current.path, sizeof current.path, "%s", path.c_str());
    return true;
}

void StepPictureCommand(HWND window, int step) {
    PictureModel& model = ModelOf(window);
    if (const std::shared_ptr<ShownImage> shown = model.Image) {
        // Through the pictures of the image; at either end, a beep.
        const std::size_t next = shown->position + static_cast<std::size_t>(step);
        if (next >= shown->pictures.size()) {
            MessageBeep(MB_OK);
            return;
        }
        ShowImagePicture(window, shown, next);
        return;
    }
    std::string& position = model.CurrentPicturePath;
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
