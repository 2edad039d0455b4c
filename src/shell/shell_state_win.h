// State and entry points of the main window, shared by the shell's files.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/bsave_loader.h"

namespace velda {

struct ScreenPage;

// The off-screen picture: a 512 x 212 bitmap compatible with the window,
// selected into a memory context together with the white stock brush.
struct CanvasRecord {
    HDC dc;
    HBITMAP bitmap;
};
extern CanvasRecord Canvas;

// What the frame, caption and menu bar add to the picture's size.
extern int FrameExtraWidth;
extern int FrameExtraHeight;

extern HINSTANCE AppInstance;

// Menu bar positions of the popups.
constexpr int FilePopup = 0;
constexpr int ViewPopup = 1;

// How the picture is shown: each canvas pixel as a block of whole window
// pixels, never smoothed.
struct ViewRecord {
    int zoom;       // 1, 2 or 3
    bool tvAspect;  // the proportions a television gave: lines doubled,
                    // and 256-wide pictures doubled across too
};
constexpr ViewRecord DefaultView = {1, false};
constexpr int MaxZoom = 3;
extern ViewRecord View;

// The folder of the last file confirmed in an Open dialog, kept between
// runs; "" for none.
extern char LastOpenFolder[PathBytes];

// The picture the window shows, as the next and previous picture see it:
// the file of the last successful Open, or the file that next or previous
// tried last. "" before any.
extern std::string CurrentPicturePath;

// The size of the Open and Save dialog record in its Windows 95 form,
// without the members added later: 76 bytes in the 32-bit program.
constexpr DWORD OpenFileNameSize95 = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#if !defined(_WIN64)
static_assert(OpenFileNameSize95 == 76, "the Windows 95 dialog record");
#endif

// WinMain's start-up: registers the class, creates and shows the window.
// Returns the window, or nullptr when the class cannot be registered.
HWND StartMainWindow(HINSTANCE instance, int showCommand, HACCEL* accelerators);

// The message loop with accelerator translation; returns WM_QUIT's wParam.
int RunMessageLoop(HWND window, HACCEL accelerators);

// One turn of that loop: the accelerators for the main window first, and
// only a message that is not one of them is translated and dispatched.
void DispatchWithAccelerators(HWND window, HACCEL accelerators, MSG* message);

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

void GrayImageItems(HWND window);
void EnableImageItems(HWND window);
void FinishOpen(HWND window, uint8_t screen, const char* fileTitle);

// Makes `page` the picture in memory (video memory, palette, colours and
// addresses), draws it and finishes the Open: what every Open by extension
// does once its file has loaded.
void ShowPicturePage(HWND window, const ScreenPage& page, const char* fileTitle);

// The window size that shows a picture `pictureWidth` pixels wide at the
// zoom and aspect of View.
void SizeWindowForWidth(HWND window, int pictureWidth);

// The window pixels across and down that one canvas pixel of a picture
// `pictureWidth` pixels wide becomes.
SIZE PixelBlock(int pictureWidth);

// The check marks of the View menu's zoom and aspect, and the zoom steps
// grayed where they cannot go further.
void ShowViewChoices(HWND window);

// The settings kept between runs under HKEY_CURRENT_USER\Software\VELDA:
// loading starts from the defaults and takes each value that is there and
// sound, silently; saving is silent when the registry refuses.
void LoadSettings();
void SaveViewSettings();
// Keeps the folder of `chosenPath`, a path confirmed in an Open dialog.
void SaveLastOpenFolder(const char* chosenPath);

// Reports a failure in a message box with the program's caption.
void ShowError(HWND owner, const char* text);

// The Open dialog and the load with its messages (the image subsystem).
int ChooseBsaveFile(HWND owner, char* fileTitle, int fileTitleSize, uint8_t screen);
bool LoadBsave(HWND owner, uint8_t screen);

// The Open dialog of every picture kind; the confirmed path goes to
// CurrentFile.path. False when it is cancelled.
bool ChoosePictureFile(HWND owner);

// Opens `path` in the mode and by the reader its extension names, with the
// palette file beside it where one goes with it, and shows it. On failure
// says why in a message box and changes nothing; returns whether it opened.
bool OpenPictureFile(HWND window, const std::string& path);

// OpenPictureFile for a name that came without the dialog (the command line,
// a drop, next and previous): once the picture is shown, CurrentFile.path
// names it too. Returns whether it opened.
bool OpenNamedPicture(HWND window, const std::string& path);

// Opens the picture after (step 1) or before (step -1) the current one in
// its folder; beeps and changes nothing at either end.
void StepPictureCommand(HWND window, int step);

// The picture named on the command line: the first quoted name, or the
// whole line without its outer blanks; "" for none.
std::string CommandLinePicture(const char* commandLine);

// Opens the picture named on the command line, if any, once the window is
// shown.
void OpenStartupPicture(HWND window, const char* commandLine);

// Draws the picture of VramImage into the Canvas (the render subsystem).
void RenderImage(HWND window, uint8_t screen);

// The Save dialog and command (the export subsystem).
bool ChooseBmpFile(HWND owner);
void SaveBmp(HWND window);

// The small commands of the View, File and Help menus.
void ExitCommand(HWND window);
void AutoSizeCommand(HWND window);
void FileInfoCommand(HWND window);
void ClearCommand(HWND window);
void ZoomCommand(HWND window, int zoom);
void ZoomStepCommand(HWND window, int step);
void TvAspectCommand(HWND window);
void HelpContentsCommand(HWND window);
void AboutCommand(HWND window);

}  // namespace velda
