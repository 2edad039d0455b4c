// The Save dialog and the Save command: the picture in memory as a BMP.
#include <windows.h>

#include <commdlg.h>

#include <cstring>

#include "export/bmp_headers.h"
#include "export/bmp_name.h"
#include "export/bmp_writer.h"
#include "image/bsave_loader.h"
#include "image/vram_image.h"
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

void SaveBmp(HWND window) {
    if (!ChooseBmpFile(window)) return;
    // A read-only file is never replaced, also where the file system would
    // let this process write it (an administrator, or root under Wine).
    const DWORD attributes = GetFileAttributesA(CurrentFile.path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ShowError(window, CannotCreateMessage);
        return;
    }
    switch (WriteBmpFile(CurrentFile.path, ScreenMode, ExportHeaders, VramImage, MsxPalette)) {
    case SaveOutcome::Saved:
        break;
    case SaveOutcome::CannotCreate:
        ShowError(window, CannotCreateMessage);
        break;
    case SaveOutcome::WriteFailed:
        ShowError(window, WriteFailedMessage);
        break;
    }
}

}  // namespace velda
