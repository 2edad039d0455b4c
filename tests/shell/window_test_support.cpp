#include "window_test_support.h"

#include <cstring>

#include "shell/shell_state_win.h"
#include "shell/texts.h"
#include "test_support.h"

namespace velda_test {

namespace {

constexpr UINT DialogTimerMs = 40;
constexpr int FileNameCombo = 0x047C;  // cmb13, the file name box
constexpr int FileNameEdit = 0x0480;   // edt1, the older file name box

struct ScriptState {
    std::vector<DialogStep> steps;
    std::size_t next = 0;
    std::vector<DialogSeen> seen;
    std::vector<HWND> handled;
    UINT_PTR timer = 0;
};
ScriptState* gScript = nullptr;

BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
    char className[32];
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        char text[512];
        GetWindowTextA(child, text, sizeof text);
        if (text[0] != '\0') reinterpret_cast<DialogSeen*>(param)->texts.push_back(text);
    }
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND candidate, LPARAM param) {
    char className[16];
    GetClassNameA(candidate, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(candidate)) return TRUE;
    for (HWND done : gScript->handled) {
        if (done == candidate) return TRUE;
    }
    *reinterpret_cast<HWND*>(param) = candidate;
    return FALSE;
}

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR, DWORD) {
    if (gScript == nullptr) return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    gScript->handled.push_back(dialog);

    DialogSeen seen;
    char title[256];
    GetWindowTextA(dialog, title, sizeof title);
    seen.title = title;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&seen));
    gScript->seen.push_back(seen);

    DialogStep step{"", IDCANCEL};
    if (gScript->next < gScript->steps.size()) step = gScript->steps[gScript->next++];
    if (!step.fileName.empty()) {
        if (GetDlgItem(dialog, FileNameCombo) != nullptr) {
            SetDlgItemTextA(dialog, FileNameCombo, step.fileName.c_str());
        } else {
            SetDlgItemTextA(dialog, FileNameEdit, step.fileName.c_str());
        }
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(step.button, BN_CLICKED), 0);
}

HWND gRecordedWindow = nullptr;
std::vector<std::string>* gTitles = nullptr;
HHOOK gTitleHook = nullptr;

LRESULT CALLBACK RecordTitle(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == gRecordedWindow && call->message == WM_SETTEXT && gTitles != nullptr) {
        gTitles->push_back(reinterpret_cast<const char*>(call->lParam));
    }
    return CallNextHookEx(gTitleHook, code, wParam, lParam);
}

}  // namespace

DialogScript::DialogScript(std::vector<DialogStep> steps) {
    gScript = new ScriptState;
    gScript->steps = std::move(steps);
    gScript->timer = SetTimer(nullptr, 0, DialogTimerMs, AnswerDialog);
}

DialogScript::~DialogScript() {
    KillTimer(nullptr, gScript->timer);
    delete gScript;
    gScript = nullptr;
}

const std::vector<DialogSeen>& DialogScript::Seen() const { return gScript->seen; }

bool DialogScript::AllStepsUsed() const { return gScript->next == gScript->steps.size(); }

TitleRecorder::TitleRecorder(HWND window) {
    gRecordedWindow = window;
    gTitles = new std::vector<std::string>;
    gTitleHook = SetWindowsHookExA(WH_CALLWNDPROC, RecordTitle, nullptr, GetCurrentThreadId());
}

TitleRecorder::~TitleRecorder() {
    UnhookWindowsHookEx(gTitleHook);
    delete gTitles;
    gTitles = nullptr;
}

const std::vector<std::string>& TitleRecorder::Titles() const { return *gTitles; }

std::vector<uint32_t> ReadPixels(HDC dc, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC copyDc = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(copyDc, section);
    BitBlt(copyDc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + width * height);
    SelectObject(copyDc, old);
    DeleteDC(copyDc);
    DeleteObject(section);
    for (uint32_t& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

uint32_t ToPixel(uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

std::string WindowsPath(const std::string& path) {
    std::string result = path;
    if (!result.empty() && result[0] == '/') result = "Z:" + result;
    for (char& c : result) {
        if (c == '/') c = '\\';
    }
    return result;
}

void MainWindowTest::SetUp() {
    ResetProgramState();
    window_ = velda::StartMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL, &accelerators_);
    ASSERT_NE(window_, nullptr);
    PumpMessages();
}

void MainWindowTest::TearDown() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA(velda::WindowClassName, GetModuleHandleA(nullptr));
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

void MainWindowTest::Command(unsigned id) { SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void MainWindowTest::OpenFile(unsigned id, const std::string& path, std::vector<DialogSeen>* seen) {
    DialogScript script({{WindowsPath(path), IDOK}});
    Command(id);
    PumpMessages();
    EXPECT_TRUE(script.AllStepsUsed());
    if (seen != nullptr) *seen = script.Seen();
}

void MainWindowTest::PressCtrl(int virtualKey) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(window_, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1);
    PumpMessages();
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

void MainWindowTest::PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) break;
        velda::DispatchWithAccelerators(window_, accelerators_, &message);
    }
}

std::string MainWindowTest::Title() const {
    char title[256];
    GetWindowTextA(window_, title, sizeof title);
    return title;
}

SIZE MainWindowTest::WindowSize() const {
    RECT r;
    GetWindowRect(window_, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

POINT MainWindowTest::WindowCorner() const {
    RECT r;
    GetWindowRect(window_, &r);
    return POINT{r.left, r.top};
}

SIZE MainWindowTest::ClientSize() const {
    RECT r;
    GetClientRect(window_, &r);
    return SIZE{r.right, r.bottom};
}

UINT MainWindowTest::MenuState(unsigned id) const { return GetMenuState(GetMenu(window_), id, MF_BYCOMMAND); }

}  // namespace velda_test
