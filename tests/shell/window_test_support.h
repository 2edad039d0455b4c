// Driving the real main window in tests: a fixture that starts it as
// WinMain does, a script that answers the modal dialogs from a timer, and
// read-back of the canvas and the window's pixels.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/unicode_win.h"
#include "render/color_rules.h"
#include "shell/picture_model.h"
#include "shell/shell_state_win.h"

namespace velda_test {

// The program's text `key` in `language` (Said: the one chosen), in UTF-8
// and a format filled with what follows, for the window's texts, which
// TextOf reads back in UTF-16.
std::string SaidIn(velda::Language language, velda::Text key, ...);
template <typename... Args>
std::string Said(velda::Text key, Args... args) { return SaidIn(velda::UiLanguage, key, args...); }
std::string TextOf(HWND window);

// What a test does with the next dialog (common dialog or message box)
// that the program shows.
enum class DialogAction {
    Command,   // post WM_COMMAND with `button`, as a click does
    Key,       // post the key `button` (VK_RETURN, VK_ESCAPE) to the dialog
    CloseBox,  // the close box: WM_SYSCOMMAND SC_CLOSE
};
struct DialogStep {
    std::string fileName;  // typed into the file name box, when not empty
    int button;            // IDOK or IDCANCEL, or a virtual key
    DialogAction action = DialogAction::Command;
};

struct ChildSeen {
    int id;
    std::string text;
};

// What the test saw of a dialog it answered.
struct DialogSeen {
    HWND dialog;
    std::string title;
    std::string fileName;  // what the file name box proposed
    std::string folder;    // the file dialog's folder; "" for other dialogs
    std::vector<std::string> texts;  // the static texts (a message box's text)
    std::vector<ChildSeen> children;
};

struct ScriptState;

// Answers the program's dialogs in order from a thread timer, so that the
// modal loops of the real dialogs run. Unplanned dialogs are cancelled and
// recorded too. Scripts nest: the newest one answers until it ends.
class DialogScript {
public:
    explicit DialogScript(std::vector<DialogStep> steps);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    const std::vector<DialogSeen>& Seen() const;
    bool AllStepsUsed() const;

private:
    ScriptState* state_;
    ScriptState* previous_;
};

// Records every title the main window is given while it lives.
class TitleRecorder {
public:
    explicit TitleRecorder(HWND window);
    ~TitleRecorder();
    const std::vector<std::string>& Titles() const;
};

// 0x00RRGGBB pixels of a device context's area, row by row from the top.
std::vector<uint32_t> ReadPixels(HDC dc, int width, int height);

// A colour in the 0x00RRGGBB form of ReadPixels.
uint32_t ToPixel(velda::Rgb8 color);

// Every canvas pixel of the picture lines against expected(x, y), which
// is asked row by row from the top; the first few that differ are
// reported.
void ExpectCanvas(const std::function<uint32_t(int x, int y)>& expected);

// The dialogs of a failed Save: the Save dialog, then a box titled VELDA
// saying `text`, and the system's reason after an empty line when `reason`.
void ExpectSaveMessage(const std::vector<DialogSeen>& seen, velda::Text text, bool reason);

// The key of the settings the program keeps between runs, under
// HKEY_CURRENT_USER. The window tests start and end without it, so that no
// test sees settings another left.
constexpr char SettingsKey[] = "Software\\VELDA";
void DeleteSettings();

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Closes the window and starts the program's window anew, as the next
    // run does, with the settings in the registry as they are.
    void RestartWindow();

    // Sends a menu command the way a menu choice does.
    void Command(unsigned id);
    // Runs an Open command whose dialog is answered with `path`.
    void OpenFile(unsigned id, const std::string& path, std::vector<DialogSeen>* seen = nullptr);
    // Presses the key (a virtual-key code), alone or with Ctrl, and lets
    // the message loop, with its accelerator translation, handle it.
    void PressKey(int virtualKey);
    void PressCtrl(int virtualKey);
    // Runs the message loop until no message is waiting.
    void PumpMessages();
    // Drops the file `path` on the window, as Explorer does, and lets the
    // message loop handle it.
    void DropFile(const std::string& path);

    // The text File information shows, its box closed with OK.
    std::string FileInfoText();

    std::string Title() const;
    SIZE WindowSize() const;
    POINT WindowCorner() const;
    SIZE ClientSize() const;
    UINT MenuState(unsigned id) const;
    // The picture the window shows, as it holds it.
    velda::PictureModel& Model() const;

    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;

private:
    void StartWindow();
    void StopWindow();
};

// A picture file whose bytes cover the pixels and the palette table of
// every mode, different for every seed.
std::vector<uint8_t> PatternFile(uint32_t seed, uint16_t end = 0xFA9F);

// The size of the BMP that Save writes for a picture of `screen`.
std::size_t BmpFileSize(uint8_t screen);

// A raw Graph Saurus file: its header and `data`, video memory from 0.
std::vector<uint8_t> RawGraphSaurus(const std::vector<uint8_t>& data);

}  // namespace velda_test
