// The main window: class, start-up, message loop, the window procedure, the
// finishing steps of every Open, and the pictures that come from the command
// line or are dropped on the window.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "export/bmp_headers.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "platform/unicode_win.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"

namespace velda {

CanvasRecord Canvas;
HINSTANCE AppInstance;

namespace {

constexpr int MainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;

#if !defined(_WIN64)
static_assert(sizeof(WNDCLASSEXW) == 48, "the 32-bit class record");
#endif

// Creates the picture model and the Canvas, and starts in the empty state.
void OnCreate(HWND window) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PictureModel()));
    HDC windowDc = GetDC(window);
    Canvas.dc = CreateCompatibleDC(windowDc);
    Canvas.bitmap = CreateCompatibleBitmap(windowDc, CanvasWidth, CanvasHeight);
    SelectObject(Canvas.dc, Canvas.bitmap);
    SelectObject(Canvas.dc, GetStockObject(WHITE_BRUSH));
    PatBlt(Canvas.dc, 0, 0, CanvasWidth, CanvasHeight, PATCOPY);
    ReleaseDC(window, windowDc);
    DragAcceptFiles(window, TRUE);
}

// Copies the Canvas to the client area's top-left corner: as it is, or its
// picture's part with each pixel a block of the zoom and aspect, where the
// white background stands for the white rest of the Canvas.
void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const int width = FindMode(ModelOf(window).ScreenMode)->width;
    const SIZE block = PixelBlock(width);
    if (block.cx == 1 && block.cy == 1) {
        BitBlt(dc, 0, 0, CanvasWidth, CanvasHeight, Canvas.dc, 0, 0, SRCCOPY);
    } else {
        // Every copy of a pixel keeps its colour: nothing is blended.
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, width * block.cx, CanvasHeight * block.cy, Canvas.dc, 0, 0, width, CanvasHeight, SRCCOPY);
    }
    EndPaint(window, &paint);
}

// Releases the Canvas, closes help and ends the message loop.
void OnDestroy(HWND window) {
    DeleteDC(Canvas.dc);
    // The bitmap is out of any context now; give it back too.
    DeleteObject(Canvas.bitmap);
    Canvas = CanvasRecord{};
    CloseHelp(window);
    PostQuitMessage(0);
}

// Lets go of the picture model once the window is gone.
void OnNcDestroy(HWND window) {
    delete reinterpret_cast<PictureModel*>(SetWindowLongPtrW(window, GWLP_USERDATA, 0));
}

// The window is now on a monitor of `dpi`: the picture keeps its whole
// pixels at the new scale, the window at the corner Windows suggests.
void OnDpiChanged(HWND window, UINT dpi, const RECT& suggested) {
    AdoptDpi(dpi);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SizeWindowForMode(window, ModelOf(window).ScreenMode);
}

// Asks for a file, loads it in the given mode, draws it and shows it.
void OpenCommand(HWND window, uint8_t screen) {
    std::string fileTitle;
    std::string path;
    if (ChooseBsaveFile(window, screen, path, fileTitle)) OpenInMode(window, screen, path, fileTitle);
}

// Asks for a picture file of any kind and opens it by its extension.
void OpenByExtensionCommand(HWND window) {
    std::string path;
    if (ChoosePictureFile(window, path)) OpenPictureFile(window, path);
}

// Opens the first of the files dropped on the window.
void OnDropFiles(HWND window, HDROP drop) {
    std::wstring name;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        name.resize(DragQueryFileW(drop, 0, nullptr, 0) + 1);
        name.resize(DragQueryFileW(drop, 0, &name[0], static_cast<UINT>(name.size())));
    }
    const std::string path = Narrow(name);
    // Let go of the drop before the picture is drawn or a message shown, so
    // that the program it came from is not kept waiting.
    DragFinish(drop);
    if (!path.empty()) OpenNamedPicture(window, path);
}

// Runs the command of a menu item or accelerator.
void OnCommand(HWND window, unsigned id) {
    switch (id) {
    case IDM_OPEN_SCREEN5: OpenCommand(window, 5); break;
    case IDM_OPEN_SCREEN6: OpenCommand(window, 6); break;
    case IDM_OPEN_SCREEN7: OpenCommand(window, 7); break;
    case IDM_OPEN_SCREEN8: OpenCommand(window, 8); break;
    case IDM_OPEN_SCREEN10:  // SCREEN 10 and 11 share one path
    case IDM_OPEN_SCREEN11: OpenCommand(window, id == IDM_OPEN_SCREEN10 ? 10 : 11); break;
    case IDM_OPEN_SCREEN12: OpenCommand(window, 12); break;
    case IDM_OPEN_BY_EXTENSION: OpenByExtensionCommand(window); break;
    case IDM_NEXT_PICTURE: StepPictureCommand(window, 1); break;
    case IDM_PREVIOUS_PICTURE: StepPictureCommand(window, -1); break;
    case IDM_SAVE: SaveBmp(window); break;
    case IDM_EXIT: ExitCommand(window); break;
    case IDM_AUTOSIZE: AutoSizeCommand(window); break;
    case IDM_FILEINFO: FileInfoCommand(window); break;
    case IDM_CLEAR: ClearCommand(window); break;
    case IDM_ZOOM_1: ZoomCommand(window, 1); break;
    case IDM_ZOOM_2: ZoomCommand(window, 2); break;
    case IDM_ZOOM_3: ZoomCommand(window, 3); break;
    case IDM_ZOOM_IN: ZoomStepCommand(window, 1); break;
    case IDM_ZOOM_OUT: ZoomStepCommand(window, -1); break;
    case IDM_TV_ASPECT: TvAspectCommand(window); break;
    case IDM_MSX1_COLORS: Msx1ColorsCommand(window); break;
    case IDM_SPRITES_NONE:
    case IDM_SPRITES_8:
    case IDM_SPRITES_16:
    case IDM_SPRITES_8X2:
    case IDM_SPRITES_16X2: SpritesCommand(window, static_cast<int>(id - IDM_SPRITES_NONE)); break;
    case IDM_LANGUAGE_JAPANESE: LanguageCommand(window, Language::Japanese); break;
    case IDM_LANGUAGE_ENGLISH: LanguageCommand(window, Language::English); break;
    case IDM_HELP_CONTENTS: HelpContentsCommand(window); break;
    case IDM_ABOUT: AboutCommand(window); break;
    default: break;  // not one of ours: ignored
    }
}

void SetImageItems(HWND window, UINT state) {
    HMENU menu = GetMenu(window);
    EnableMenuItem(GetSubMenu(menu, FilePopup), IDM_SAVE, MF_BYCOMMAND | state);
    EnableMenuItem(GetSubMenu(menu, ViewPopup), IDM_FILEINFO, MF_BYCOMMAND | state);
}

}  // namespace

void GrayImageItems(HWND window) { SetImageItems(window, MF_GRAYED); }

void EnableImageItems(HWND window) { SetImageItems(window, MF_ENABLED); }

PictureModel& ModelOf(HWND window) { return *reinterpret_cast<PictureModel*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void ShowLanguage(HWND window) {
    HMENU old = GetMenu(window);
    SetMenu(window, LoadMenuW(AppInstance, MenuNames[static_cast<int>(UiLanguage)]));
    DestroyMenu(old);
    if (ModelOf(window).PictureShown) {
        EnableImageItems(window);
    } else {
        GrayImageItems(window);
    }
    ShowViewChoices(window);
    DrawMenuBar(window);
}

void SizeWindowForMode(HWND window, uint8_t screen) {
    const ModeInfo& mode = *FindMode(screen);
    const SIZE block = PixelBlock(mode.width);
    RECT frame;
    GetWindowRect(window, &frame);
    MoveWindow(window, frame.left, frame.top, FrameExtraWidth + mode.width * block.cx,
               FrameExtraHeight + mode.lines * block.cy, TRUE);
}

void FinishOpen(HWND window, const Picture& picture, const std::string& fileTitle) {
    PictureModel& model = ModelOf(window);
    const uint8_t screen = picture.screen;
    InvalidateRect(window, nullptr, TRUE);
    model.ExportHeaders = PrepareExportHeaders(picture);
    SizeWindowForMode(window, screen);
    EnableImageItems(window);
    SetWindowTextW(window, (Widen(fileTitle) + TitleEnd).c_str());
    model.ScreenMode = screen;
    model.PictureShown = true;
}

void ShowPicturePage(HWND window, const ScreenPage& page, const std::string& fileTitle) {
    AdoptPage(ModelOf(window), page);
    const Picture picture = MakePicture(ViewOf(page), WindowPictureOptions());
    RenderImage(window, picture);
    FinishOpen(window, picture, fileTitle);
}

void RedrawPicture(HWND window) {
    PictureModel& model = ModelOf(window);
    if (!model.PictureShown) return;
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(GetWindowTextW(window, &title[0], static_cast<int>(title.size()))));
    const Picture picture = MakePicture(ViewOf(model, model.ScreenMode), WindowPictureOptions());
    RenderImage(window, picture);
    model.ExportHeaders = PrepareExportHeaders(picture);
    SetWindowTextW(window, title.c_str());
    InvalidateRect(window, nullptr, TRUE);
}

std::string CommandLinePicture(const char* commandLine) {
    // '"', space and tab are never a byte of a longer UTF-8 sequence, so
    // the bytes are searched as they are.
    const std::string line = commandLine != nullptr ? commandLine : "";
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    if (line[first] == '"') {
        const std::size_t close = line.find('"', first + 1);
        return line.substr(first + 1, close == std::string::npos ? std::string::npos : close - first - 1);
    }
    // Unquoted, the whole rest is the name: an association with %1 left
    // unquoted passes a name with spaces so.
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

void OpenStartupPicture(HWND window, const char* commandLine) {
    const std::string path = CommandLinePicture(commandLine);
    if (!path.empty()) OpenNamedPicture(window, path);
}

void ShowError(HWND owner, const std::wstring& text) { MessageBoxW(owner, text.c_str(), AppName, MB_OK); }

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_NCDESTROY: OnNcDestroy(window); return DefWindowProcW(window, message, wParam, lParam);
    case WM_COMMAND: OnCommand(window, LOWORD(wParam)); return 0;
    case WM_DROPFILES: OnDropFiles(window, reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_DPICHANGED: OnDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND StartMainWindow(HINSTANCE instance, int showCommand, HACCEL* accelerators) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = 0;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, IconName);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = MenuNames[static_cast<int>(Language::Japanese)];
    windowClass.lpszClassName = WindowClassName;
    windowClass.hIconSm = LoadIconW(instance, IconName);
    if (!RegisterClassExW(&windowClass)) return nullptr;

    LoadSettings();
    AdoptDpi(WindowDpi(nullptr));
    const ModeInfo& start = *FindMode(5);  // the empty window's mode
    const SIZE block = PixelBlock(start.width);
    HWND window = CreateWindowExW(0, WindowClassName, AppName, MainWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  FrameExtraWidth + start.width * block.cx, FrameExtraHeight + start.lines * block.cy,
                                  nullptr, nullptr, instance, nullptr);
    AppInstance = instance;
    *accelerators = LoadAcceleratorsW(instance, AccelName);
    // The monitor Windows chose may have another scale than the system's.
    AdoptDpi(WindowDpi(window));
    SizeWindowForMode(window, start.screen);
    ShowLanguage(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

void DispatchWithAccelerators(HWND window, HACCEL accelerators, MSG* message) {
    // Accelerators always go to the main window, whichever window the key
    // was meant for.
    if (!TranslateAcceleratorW(window, accelerators, message)) {
        TranslateMessage(message);
        DispatchMessageW(message);
    }
}

int RunMessageLoop(HWND window, HACCEL accelerators) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) DispatchWithAccelerators(window, accelerators, &message);
    return static_cast<int>(message.wParam);
}

}  // namespace velda
