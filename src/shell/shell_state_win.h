// State and entry points of the main window, shared by the shell's files.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/load_error.h"
#include "platform/output_file.h"
#include "render/picture.h"
#include "shell/picture_model.h"
#include "shell/texts.h"

namespace velda {

// The picture the window shows: the record the window made when it was
// created, kept with the window until it is destroyed.
PictureModel& ModelOf(HWND window);

// The off-screen picture: a 512 x 212 bitmap compatible with the window,
// selected into a memory context together with the white stock brush.
struct CanvasRecord {
    HDC dc;
    HBITMAP bitmap;
};
extern CanvasRecord Canvas;

// What the frame, caption and menu bar add to the picture's size, in the
// device pixels of the window's monitor.
extern int FrameExtraWidth;
extern int FrameExtraHeight;

// The device pixels across and down of one canvas pixel at zoom 1: the
// scale of the window's monitor in whole steps, its DPI / 96 rounded down
// and at least 1 (1 at 96-191 DPI, 2 at 192-287, ...). A pixel stays a
// block of whole device pixels at every scale, never blurred, and so the
// zooms stay exact multiples of it.
extern int ScreenScale;
constexpr UINT BaseDpi = 96;

// The DPI of the monitor `window` is on: GetDpiForWindow where Windows has
// it (10, version 1607 on), the system's DPI otherwise.
UINT WindowDpi(HWND window);

// Takes `dpi` for the window's sizes: ScreenScale and the frame's extras.
void AdoptDpi(UINT dpi);

extern HINSTANCE AppInstance;

// Menu bar positions of the popups.
constexpr int FilePopup = 0;
constexpr int ViewPopup = 1;

// How the picture is shown: each canvas pixel as a block of whole window
// pixels, never smoothed.
struct ViewRecord {
    int zoom;               // 1, 2 or 3
    bool tvAspect;          // the proportions a television gave: lines doubled,
                            // and 256-wide pictures doubled across too
    bool msx1Colors;        // SCREEN 1-4 in the MSX1's colours
    SpriteOptions sprites;  // the sprites drawn over a picture that holds their tables
};
constexpr ViewRecord DefaultView = {1, false, false, SpriteOptions{}};
constexpr int MaxZoom = 3;
extern ViewRecord View;

// The language of the menus, titles, dialogs and messages; kept between
// runs.
extern Language UiLanguage;

// The text `key` in UiLanguage.
inline const wchar_t* TextOf(Text key) { return TextIn(UiLanguage, key); }

// The folder of the last file confirmed in an Open dialog (UTF-8), kept
// between runs; "" for none.
extern std::string LastOpenFolder;

// The size of the Open and Save dialog record in its Windows 95 form,
// without the members added later: 76 bytes in the 32-bit program.
constexpr DWORD OpenFileNameSize95 = offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR);
#if !defined(_WIN64)
static_assert(OpenFileNameSize95 == 76, "the Windows 95 dialog record");
#endif

// The record of the Open and Save dialogs in its Windows 95 size, filled
// with what both show: the owner, the filter (its first pair chosen), the
// title and the name buffer `file` of `fileChars` UTF-16 units.
OPENFILENAMEW FileDialogRecord(HWND owner, const wchar_t* filter, const wchar_t* title, wchar_t* file,
                               DWORD fileChars);

// Whether the UTF-8 `path` fits the dialogs' name buffers with its NUL.
bool FitsDialogs(const std::string& path);

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
// The last steps of every Open, once `picture` is drawn: Save's headers for
// it, the window's size, the menu, the title showing `fileTitle`, and the
// mode.
void FinishOpen(HWND window, const Picture& picture, const std::string& fileTitle);

// Makes `page` the picture in memory (video memory, palette and
// addresses), draws it and finishes the Open: what every Open does once
// its file has loaded, the title showing `fileTitle`.
void ShowPicturePage(HWND window, const ScreenPage& page, const std::string& fileTitle);

// The window size that shows a picture of the mode `screen` at the zoom
// and aspect of View and the ScreenScale, at the window's top left corner.
void SizeWindowForMode(HWND window, uint8_t screen);

// Loads the menu of UiLanguage into the window, its items as the picture
// shown and View have them.
void ShowLanguage(HWND window);

// How the window makes its picture, shown and saved: VELDA's colours (the
// MSX1's for SCREEN 1-4 when chosen) and the sprites chosen.
PictureOptions WindowPictureOptions();

// Makes the picture in memory afresh after a View choice changed how it
// is made: drawn, and Save's headers for it; the title stays. Nothing
// while no picture is shown.
void RedrawPicture(HWND window);

// The window pixels across and down that one canvas pixel of a picture
// `pictureWidth` pixels wide becomes: the zoom, the aspect and the
// ScreenScale.
SIZE PixelBlock(int pictureWidth);

// The index in SpriteChoices of `sprites`.
int SpriteChoiceOf(SpriteOptions sprites);

// The check marks of the View menu's zoom, aspect, colours and sprites,
// and the zoom steps grayed where they cannot go further.
void ShowViewChoices(HWND window);

// The settings kept between runs under HKEY_CURRENT_USER\Software\VELDA:
// loading starts from the defaults and takes each value that is there and
// sound, silently; saving is silent when the registry refuses.
void LoadSettings();
void SaveViewSettings();
// Keeps the folder of `chosenPath`, a path confirmed in an Open dialog.
void SaveLastOpenFolder(const std::string& chosenPath);

// Reports a failure in a message box with the program's caption.
void ShowError(HWND owner, const std::wstring& text);

// The message the window shows for a picture refused with `error`.
Text LoadMessage(const LoadError& error);

// The Open dialog and the load with its messages (the image subsystem).
// The dialog of the SCREEN N Opens: the confirmed path into `path` (and
// CurrentFile.path), its file name into `fileTitle`. False when cancelled.
bool ChooseBsaveFile(HWND owner, uint8_t screen, std::string& path, std::string& fileTitle);

// Opens the file `path` as a BSAVE file in the given mode, keeping the
// entries of the palette shown that the mode does not set, and shows it
// titled `fileTitle`. On failure says why in a message box, changes
// nothing and returns false.
bool OpenInMode(HWND window, uint8_t screen, const std::string& path, const std::string& fileTitle);

// The Open dialog of every picture kind: the confirmed path into `path`
// (and CurrentFile.path). False when it is cancelled.
bool ChoosePictureFile(HWND owner, std::string& path);

// Opens `path` in the mode and by the reader its extension names, with the
// palette file beside it where one goes with it, and shows it. On failure
// says why in a message box and changes nothing; returns whether it opened.
bool OpenPictureFile(HWND window, const std::string& path);

// OpenPictureFile for a name that came without the dialog (the command line,
// a drop, next and previous): once the picture is shown, CurrentFile.path
// names it (or the disk image holding it) too, so that the dialogs start
// there. Returns whether it opened.
bool OpenNamedPicture(HWND window, const std::string& path);

// Opens the picture after (step 1) or before (step -1) the current one in
// its folder; beeps and changes nothing at either end.
void StepPictureCommand(HWND window, int step);

// The picture named on the command line (UTF-8, without the program's
// name): the first quoted name, or the whole line without its outer
// blanks; "" for none.
std::string CommandLinePicture(const char* commandLine);

// Opens the picture named on the command line, if any, once the window is
// shown.
void OpenStartupPicture(HWND window, const char* commandLine);

// Draws `picture` into the Canvas pixel by pixel, at its top left, the
// progress in the window title (the render subsystem).
void RenderImage(HWND window, const Picture& picture);

// The title shown before line y is drawn: "VELDA %2d%%" with y * 100 / 212,
// truncated, so 0 for lines 0-2 and 99 for the last two lines.
std::wstring ProgressTitle(int y);

// The Save dialog and command (the export subsystem).
// The name the Save dialog proposes for the picture file `path`: its file
// name's extension replaced by "bmp", or ".bmp" added to a name without
// one, in its folder ("A.B.SC5" gives "A.B.bmp"). "" when `path` names no
// file or the proposal would not fit the dialog's buffer: nothing is
// better than a name cut short.
std::string ProposeBmpName(const std::string& path);
// The Save dialog, proposing `proposal`: the confirmed path into `path`
// (and CurrentFile.path). False when it is cancelled.
bool ChooseBmpFile(HWND owner, const std::string& proposal, std::string& path);
void SaveBmp(HWND window);

// The message the window shows for a Save that failed with `error`: what
// failed, and the system's reason where the system gave one.
std::wstring SaveMessage(const WriteError& error);

// The small commands of the View, File and Help menus.
void ExitCommand(HWND window);
void AutoSizeCommand(HWND window);
void FileInfoCommand(HWND window);
void ClearCommand(HWND window);
void ZoomCommand(HWND window, int zoom);
void ZoomStepCommand(HWND window, int step);
void TvAspectCommand(HWND window);
void Msx1ColorsCommand(HWND window);
void SpritesCommand(HWND window, int choice);  // an index of SpriteChoices
void LanguageCommand(HWND window, Language language);
void HelpContentsCommand(HWND window);
// Closes what Help contents opened in the old help engine, if anything.
void CloseHelp(HWND window);
void AboutCommand(HWND window);

}  // namespace velda
