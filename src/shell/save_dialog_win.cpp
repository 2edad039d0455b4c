// The Save dialog and the Save command: the picture in memory as a BMP.
#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "platform/names.h"
#include "platform/output_file.h"
#include "render/picture.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"

namespace velda {

std::string ProposeBmpName(const std::string& path) {
    const std::string proposal = FileNameOf(path).empty() ? "" : WithExtension(path, "bmp");
    return proposal.size() < PathBytes ? proposal : "";
}

bool ChooseBmpFile(HWND owner, const std::string& proposal, std::string& path) {
    char file[PathBytes];
    std::snprintf(file, sizeof file, "%s", ProposeBmpName(proposal).c_str());

    OPENFILENAMEA dialog = FileDialogRecord(owner, SaveFilter, SaveDialogTitle, file, sizeof file);
    dialog.Flags = OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&dialog)) return false;

    std::memcpy(ModelOf(owner).CurrentFile.path, file, sizeof file);
    path = file;
    return true;
}

std::string SaveMessage(const WriteError& error) {
    std::string text = error.fault == WriteFault::Write ? WriteFailedMessage : CannotCreateMessage;
    if (!error.system) return text;
    std::string reason = error.system.message();
    // Windows ends its texts with a line break.
    reason.erase(reason.find_last_not_of(" \r\n") + 1);
    return text + "\n\n" + reason;
}

// Writes the picture in memory as a BMP, the picture decoded afresh; a
// failed Save leaves any file of the chosen name as it was, and a
// read-only file is never replaced, also where the file system would let
// this process do it (an administrator, or root under Wine).
void SaveBmp(HWND window) {
    PictureModel& model = ModelOf(window);
    std::string target;
    if (!ChooseBmpFile(window, model.SaveName, target)) return;
    model.SaveName = target;
    const Picture picture = MakePicture(ViewOf(model, model.ScreenMode), WindowPictureOptions());
    const WriteError error = WriteFinishedFile(target, ExistingTarget::Replace, [&](FileSink& sink) {
        EncodeBmp(sink, picture, model.ExportHeaders);
    });
    if (error) ShowError(window, SaveMessage(error).c_str());
}

}  // namespace velda
