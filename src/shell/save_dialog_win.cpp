// The Save dialog and the Save command: the picture in memory as a BMP.
#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/output_file.h"
#include "render/picture.h"
#include "render/picture_shapes.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"

namespace velda {

std::string ProposeBmpName(const std::string& path) {
    const std::string proposal = FileNameOf(path).empty() ? "" : WithExtension(path, "bmp");
    return proposal.size() < PathBytes ? proposal : "";
}

bool ChooseBmpFile(HWND owner) {
    CurrentFileRecord& current = ModelOf(owner).CurrentFile;
    char file[PathBytes];
    std::snprintf(file, sizeof file, "%s", ProposeBmpName(current.path).c_str());

    OPENFILENAMEA dialog = FileDialogRecord(owner, SaveFilter, SaveDialogTitle, file, sizeof file);
    dialog.Flags = OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&dialog)) return false;

    std::memcpy(current.path, file, sizeof file);
    return true;
}

// Writes the picture in memory as a BMP through a temporary file, so that
// a failed Save leaves any file of the chosen name as it was.
void SaveBmp(HWND window) {
    if (!ChooseBmpFile(window)) return;
    const PictureModel& model = ModelOf(window);
    const std::string target = model.CurrentFile.path;
    // A read-only file is never replaced, also where the file system would
    // let this process do it (an administrator, or root under Wine); nor is
    // a folder or a device.
    const PathKind kind = KindOf(target);
    if (kind == PathKind::Directory || kind == PathKind::Other || IsReadOnly(target)) {
        ShowError(window, CannotCreateMessage);
        return;
    }
    Picture picture;
    BuildPicture(model.ScreenMode, model.VramImage, model.MsxPalette, ColorRule::Velda, picture);
    if (model.PictureWidth > 0) {  // a COPY file's area: the picture is its own size
        Picture whole = std::move(picture);
        CropPicture(whole, model.PictureWidth, model.PictureHeight, picture);
    }
    OutputFile output;
    if (output.Create(target)) {
        ShowError(window, CannotCreateMessage);
        return;
    }
    FileSink sink(output.Stream());
    EncodeBmp(sink, picture, model.ExportHeaders);
    if (!sink.Ok() || output.Close()) {
        output.Discard();
        ShowError(window, WriteFailedMessage);
        return;
    }
    // Written whole; a file of that name that cannot be replaced (held
    // open by another program) is one that cannot be created.
    if (output.Commit(true)) ShowError(window, CannotCreateMessage);
}

}  // namespace velda
