// The Save dialog and the Save command: the picture in memory as a BMP.
#include <windows.h>

#include <commdlg.h>

#include <cstring>
#include <string>

#include "export/bmp_headers.h"
#include "export/bmp_name.h"
#include "export/bmp_writer.h"
#include "image/bsave_loader.h"
#include "image/vram_image.h"
#include "platform/files.h"
#include "platform/output_file.h"
#include "render/picture.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"

namespace velda {

bool ChooseBmpFile(HWND owner) {
    char file[PathBytes];
    ProposeBmpName(CurrentFile.path, file, sizeof file);

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OpenFileNameSize95;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = SaveFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrTitle = SaveDialogTitle;
    dialog.Flags = OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&dialog)) return false;

    std::memcpy(CurrentFile.path, file, sizeof file);
    return true;
}

// Writes the picture in memory as a BMP through a temporary file, so that
// a failed Save leaves any file of the chosen name as it was.
void SaveBmp(HWND window) {
    if (!ChooseBmpFile(window)) return;
    const std::string target = CurrentFile.path;
    // A read-only file is never replaced, also where the file system would
    // let this process do it (an administrator, or root under Wine); nor is
    // a folder or a device.
    const PathKind kind = KindOf(target);
    if (kind == PathKind::Directory || kind == PathKind::Other || IsReadOnly(target)) {
        ShowError(window, CannotCreateMessage);
        return;
    }
    Picture picture;
    BuildPicture(ScreenMode, VramImage, MsxPalette, ColorRule::Velda, picture);
    OutputFile output;
    std::string error;
    if (!output.Create(target, error)) {
        ShowError(window, CannotCreateMessage);
        return;
    }
    FileSink sink(output.Stream());
    EncodeBmp(sink, picture, ExportHeaders);
    if (!sink.Ok() || !output.Close(error)) {
        output.Discard();
        ShowError(window, WriteFailedMessage);
        return;
    }
    // Written whole; a file of that name that cannot be replaced (held
    // open by another program) is one that cannot be created.
    if (output.Commit(true, error) != PlaceOutcome::Done) ShowError(window, CannotCreateMessage);
}

}  // namespace velda
