#include "window_test_support.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstring>
#include <cwchar>

#include "platform/unicode_win.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "test_support.h"

namespace velda_test {

namespace {

constexpr UINT DialogTimerMs = 40;
constexpr int TextChars = 512;
constexpr int FileNameCombo = 0x047C;  // cmb13, the file name box
constexpr int FileNameEdit = 0x0480;   // edt1, the older file name box

}  // namespace

struct ScriptState {
    std::vector<DialogStep> steps;
    std::size_t next = 0;
    std::vector<DialogSeen> seen;
    std::vector<HWND> handled;
    UINT_PTR timer = 0;
};

namespace {

ScriptState* gScript = nullptr;  // the innermost script answers

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    DialogSeen* seen = reinterpret_cast<DialogSeen*>(param);
    if (GetParent(child) != seen->dialog) return TRUE;
    char className[32];
    GetClassNameA(child, className, sizeof className);
    const std::string text = TextOf(child);
    seen->children.push_back(ChildSeen{GetDlgCtrlID(child), text});
    if (lstrcmpiA(className, "Static") == 0 && !text.empty() && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
        seen->texts.push_back(text);
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
    seen.dialog = dialog;
    seen.title = TextOf(dialog);
    const int nameBox = GetDlgItem(dialog, FileNameCombo) != nullptr ? FileNameCombo : FileNameEdit;
    seen.fileName = TextOf(GetDlgItem(dialog, nameBox));
    wchar_t folder[TextChars] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, TextChars, reinterpret_cast<LPARAM>(folder));
    seen.folder = velda::Narrow(folder);
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&seen));
    gScript->seen.push_back(seen);

    DialogStep step{"", IDCANCEL, DialogAction::Command};
    if (gScript->next < gScript->steps.size()) step = gScript->steps[gScript->next++];
    if (!step.fileName.empty()) SetDlgItemTextW(dialog, nameBox, velda::Widen(step.fileName).c_str());
    switch (step.action) {
    case DialogAction::Command:
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(step.button, BN_CLICKED), 0);
        break;
    case DialogAction::Key: {
        // To the focused control, where the dialog's own loop picks it up.
        HWND focus = GetFocus();
        HWND target = focus != nullptr && IsChild(dialog, focus) ? focus : dialog;
        PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(step.button), 1);
        PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(step.button), 0xC0000001);
        break;
    }
    case DialogAction::CloseBox:
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

HWND gRecordedWindow = nullptr;
std::vector<std::string>* gTitles = nullptr;
HHOOK gTitleHook = nullptr;

LRESULT CALLBACK RecordTitle(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == gRecordedWindow && call->message == WM_SETTEXT && gTitles != nullptr) {
        gTitles->push_back(velda::Narrow(reinterpret_cast<const wchar_t*>(call->lParam)));
    }
    return CallNextHookEx(gTitleHook, code, wParam, lParam);
}

}  // namespace

DialogScript::DialogScript(std::vector<DialogStep> steps) : state_(new ScriptState), previous_(gScript) {
    state_->steps = std::move(steps);
    if (previous_ != nullptr) state_->handled = previous_->handled;
    state_->timer = SetTimer(nullptr, 0, DialogTimerMs, AnswerDialog);
    gScript = state_;
}

DialogScript::~DialogScript() {
    KillTimer(nullptr, state_->timer);
    gScript = previous_;
    delete state_;
}

const std::vector<DialogSeen>& DialogScript::Seen() const { return state_->seen; }

bool DialogScript::AllStepsUsed() const { return state_->next == state_->steps.size(); }

TitleRecorder::TitleRecorder(HWND window) {
    gRecordedWindow = window;
    gTitles = new std::vector<std::string>;
    gTitleHook = SetWindowsHookExW(WH_CALLWNDPROC, RecordTitle, nullptr, GetCurrentThreadId());
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

uint32_t ToPixel(velda::Rgb8 c) { return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b; }

std::string SaidIn(velda::Language language, velda::Text key, ...) {
    wchar_t text[TextChars];
    std::va_list values;
    va_start(values, key);
    std::vswprintf(text, TextChars, velda::TextIn(language, key), values);
    va_end(values);
    return velda::Narrow(text);
}

std::string TextOf(HWND window) {
    wchar_t text[TextChars] = {};
    GetWindowTextW(window, text, TextChars);
    return velda::Narrow(text);
}

void ExpectSaveMessage(const std::vector<DialogSeen>& seen, velda::Text text, bool reason) {
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].title, "VELDA");
    ASSERT_EQ(seen[1].texts.size(), 1u);
    const std::string said = seen[1].texts[0];
    EXPECT_EQ(said.substr(0, said.find("\n\n")), Said(text));
    EXPECT_EQ(said.size() > Said(text).size() + 2 && said.back() != '\n', reason) << said;
}

void ExpectCanvas(const std::function<uint32_t(int x, int y)>& expected) {
    const std::vector<uint32_t> canvas = ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight);
    int wrong = 0;
    for (int y = 0; y < velda::ScreenLines; ++y) {
        for (int x = 0; x < velda::CanvasWidth; ++x) {
            const uint32_t want = expected(x, y), got = canvas[y * velda::CanvasWidth + x];
            if (got != want && wrong++ < 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", expected " << want;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

std::vector<uint8_t> PatternFile(uint32_t seed, uint16_t end) {
    return MakeBsave(0, end, NoiseBytes(static_cast<std::size_t>(end) + 1, seed));
}

std::size_t BmpFileSize(uint8_t screen) {
    for (const ExpectedMode& mode : ExpectedModes) {
        if (mode.screen == screen) return static_cast<std::size_t>(mode.bmpFileSize);
    }
    return 0;
}

std::vector<uint8_t> RawGraphSaurus(const std::vector<uint8_t>& data) {
    // The length where a BSAVE file has its end address: the raw mark 0xFE
    // is the BSAVE mark too.
    return MakeBsave(0, static_cast<uint16_t>(data.size()), data);
}

void DeleteSettings() { RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey); }

void MainWindowTest::SetUp() {
    DeleteSettings();
    StartWindow();
}

void MainWindowTest::TearDown() {
    StopWindow();
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    DeleteSettings();
}

void MainWindowTest::RestartWindow() {
    StopWindow();
    StartWindow();
}

void MainWindowTest::StartWindow() {
    window_ = velda::StartMainWindow(GetModuleHandleW(nullptr), SW_SHOWNORMAL, &accelerators_);
    ASSERT_NE(window_, nullptr);
    PumpMessages();
}

void MainWindowTest::StopWindow() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassW(velda::WindowClassName, GetModuleHandleW(nullptr));
}

void MainWindowTest::Command(unsigned id) { SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void MainWindowTest::OpenFile(unsigned id, const std::string& path, std::vector<DialogSeen>* seen) {
    DialogScript script({{WindowsPath(path), IDOK}});
    Command(id);
    PumpMessages();
    EXPECT_TRUE(script.AllStepsUsed());
    if (seen != nullptr) *seen = script.Seen();
}

void MainWindowTest::PressKey(int virtualKey) {
    PostMessageW(window_, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1);
    PumpMessages();
}

void MainWindowTest::PressCtrl(int virtualKey) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PressKey(virtualKey);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

void MainWindowTest::PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) break;
        velda::DispatchWithAccelerators(window_, accelerators_, &message);
    }
}

void MainWindowTest::DropFile(const std::string& path) {
    // A DROPFILES record followed by the one UTF-16 name and the empty
    // name that ends the list; the window's DragFinish frees it.
    const std::wstring name = velda::Widen(WindowsPath(path));
    const std::size_t bytes = (name.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
    DROPFILES* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), name.data(), name.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    PostMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    PumpMessages();
}

std::string MainWindowTest::FileInfoText() {
    DialogScript script({{"", IDOK}});
    Command(IDM_FILEINFO);
    PumpMessages();
    EXPECT_EQ(script.Seen().size(), 1u);
    if (script.Seen().empty()) return "";
    EXPECT_EQ(script.Seen()[0].title, Said(velda::Text::FileInfoCaption));
    return script.Seen()[0].texts.empty() ? "" : script.Seen()[0].texts[0];
}

std::string MainWindowTest::Title() const { return TextOf(window_); }

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

velda::PictureModel& MainWindowTest::Model() const { return velda::ModelOf(window_); }

}  // namespace velda_test
