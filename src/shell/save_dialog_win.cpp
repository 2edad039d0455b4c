// The Save dialog and the Save command: the picture in memory as a BMP.
#include <windows.h>

#include <commdlg.h>

#include <string>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "platform/names.h"
#include "platform/output_file.h"
#include "platform/unicode_win.h"
#include "render/picture.h"
#include "shell/shell_state_win.h"

namespace velda {

std::string ProposeBmpName(const std::string& path) {
    const std::string proposal = FileNameOf(path).empty() ? "" : WithExtension(path, "bmp");
    return FitsDialogs(proposal) ? proposal : "";
}

bool ChooseBmpFile(HWND owner, const std::string& proposal, std::string& path) {
    wchar_t file[PathChars] = {};
    Widen(ProposeBmpName(proposal)).copy(file, PathChars - 1);

    OPENFILENAMEW dialog =
        FileDialogRecord(owner, TextOf(Text::SaveFilter), TextOf(Text::SaveDialogTitle), file, PathChars);
    dialog.Flags = OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) return false;

    path = Narrow(file);
    ModelOf(owner).CurrentFile.path = path;
    return true;
}

std::wstring SaveMessage(const WriteError& error) {
    std::wstring text = TextOf(error.fault == WriteFault::Write ? Text::WriteFailed : Text::CannotCreate);
    if (!error.system) return text;
    std::string reason = error.system.message();
    // Windows ends its texts with a line break.
    reason.erase(reason.find_last_not_of(" \r\n") + 1);
    return text + L"\n\n" + Widen(reason);
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
    if (error) ShowError(window, SaveMessage(error));
}

}  // namespace velda
