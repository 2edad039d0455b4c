// The main window driven through real messages: start-up, the seven Open
// commands with the real Open dialog, accelerators, painting and the texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/picture_shapes.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

using velda::FindMode;

constexpr uint32_t White = 0x00FFFFFF;

struct OpenCase {
    unsigned id;
    uint8_t screen;
};
const OpenCase OpenCases[] = {{IDM_OPEN_SCREEN5, 5},   {IDM_OPEN_SCREEN6, 6},   {IDM_OPEN_SCREEN7, 7},
                              {IDM_OPEN_SCREEN8, 8},   {IDM_OPEN_SCREEN10, 10}, {IDM_OPEN_SCREEN11, 11},
                              {IDM_OPEN_SCREEN12, 12}};

// Every canvas pixel against the picture the core makes of the window's
// video memory; white beyond its width.
void ExpectCanvasShows(const velda::PictureModel& model, uint8_t screen) {
    const velda::Picture picture = velda::MakePicture(velda::ViewOf(model, screen), velda::PictureOptions{});
    ExpectCanvas([&](int x, int y) {
        return x < picture.width ? ToPixel(velda::PixelColor(picture, x, y)) : White;
    });
}

bool CanvasIsWhite() {
    for (uint32_t p : ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight)) {
        if (p != White) return false;
    }
    return true;
}

TEST_F(MainWindowTest, StartsEmptyWithTheSmallSize) {
    EXPECT_EQ(Title(), "VELDA");
    EXPECT_EQ(Model().ScreenMode, 5);
    EXPECT_TRUE(MenuState(IDM_SAVE) & MF_GRAYED);
    EXPECT_TRUE(MenuState(IDM_FILEINFO) & MF_GRAYED);
    EXPECT_FALSE(MenuState(IDM_AUTOSIZE) & MF_GRAYED);
    EXPECT_FALSE(MenuState(IDM_OPEN_SCREEN5) & MF_GRAYED);
    const SIZE size = WindowSize();
    EXPECT_EQ(size.cx, velda::FrameExtraWidth + 256);
    EXPECT_EQ(size.cy, velda::FrameExtraHeight + 212);
    const SIZE client = ClientSize();
    EXPECT_NEAR(client.cx, 256, 4);
    EXPECT_NEAR(client.cy, 212, 8);
    EXPECT_TRUE(CanvasIsWhite());
}

TEST_F(MainWindowTest, WindowClassIsMyWinWithMenuIconAndWhiteBackground) {
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"MyWin", &info));
    EXPECT_EQ(info.style, 0u);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_STREQ(info.lpszMenuName, L"VELDAMENU");
    EXPECT_NE(info.hIcon, nullptr);
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_EQ(GetClassLongPtrA(window_, GCLP_HBRBACKGROUND), reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH)));
}

TEST_F(MainWindowTest, EveryOpenCommandShowsItsPicture) {
    uint32_t seed = 1;
    for (const OpenCase& c : OpenCases) {
        SCOPED_TRACE(int(c.screen));
        char name[32];
        std::snprintf(name, sizeof name, "PIC%d.SC%c", c.screen, c.screen < 10 ? '0' + c.screen : 'X');
        const std::string path = ScratchPath(name);
        WriteFile(path, PatternFile(seed++));
        const POINT corner = WindowCorner();

        std::vector<DialogSeen> seen;
        OpenFile(c.id, path, &seen);

        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].title, Said(velda::Text::OpenDialogTitleFormat, c.screen));
        EXPECT_EQ(Title(), std::string(name) + " - VELDA");
        EXPECT_EQ(Model().ScreenMode, c.screen);
        EXPECT_FALSE(MenuState(IDM_SAVE) & MF_GRAYED);
        EXPECT_FALSE(MenuState(IDM_FILEINFO) & MF_GRAYED);
        const SIZE size = WindowSize();
        EXPECT_EQ(size.cx, velda::FrameExtraWidth + FindMode(c.screen)->width);
        EXPECT_EQ(size.cy, velda::FrameExtraHeight + 212);
        EXPECT_EQ(WindowCorner().x, corner.x);
        EXPECT_EQ(WindowCorner().y, corner.y);
        EXPECT_EQ(Model().CurrentFile.path, WindowsPath(path));
        ExpectCanvasShows(Model(), c.screen);
    }
}

// Every line of the screen counts, also below a COPY file's area.
TEST_F(MainWindowTest, ProgressTitlesCountUpBeforeEveryLine) {
    const struct {
        const char* name;
        unsigned command;
        std::vector<uint8_t> file;
    } rows[] = {
        {"PROGRESS.SC8", IDM_OPEN_SCREEN8, PatternFile(7)},
        {"PROGRESS.GL5", IDM_OPEN_BY_EXTENSION, MakeCopy(5, std::vector<uint8_t>(velda::VramBytes, 0x35), 100, 60)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = ScratchPath(row.name);
        WriteFile(path, row.file);
        std::vector<std::string> titles;
        {
            TitleRecorder recorder(window_);
            OpenFile(row.command, path);
            titles = recorder.Titles();
        }
        ASSERT_EQ(titles.size(), 213u);
        for (int y = 0; y < 212; ++y) {
            char expected[16];
            std::snprintf(expected, sizeof expected, "VELDA %2d%%", y * 100 / 212);
            EXPECT_EQ(titles[y], expected) << "line " << y;
        }
        EXPECT_EQ(titles[0], "VELDA  0%");
        EXPECT_EQ(titles[211], "VELDA 99%");
        EXPECT_EQ(titles[212], std::string(row.name) + " - VELDA");
    }
}

TEST_F(MainWindowTest, CancelledOpenChangesNothing) {
    const std::string path = ScratchPath("KEEP.SC7");
    WriteFile(path, PatternFile(3));
    OpenFile(IDM_OPEN_SCREEN7, path);
    const std::vector<uint32_t> canvas = ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight);
    const SIZE size = WindowSize();
    const std::string currentPath = Model().CurrentFile.path;

    DialogScript script({{"", IDCANCEL}});
    Command(IDM_OPEN_SCREEN5);
    PumpMessages();

    EXPECT_TRUE(script.AllStepsUsed());
    EXPECT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(Title(), "KEEP.SC7 - VELDA");
    EXPECT_EQ(Model().ScreenMode, 7);
    EXPECT_EQ(WindowSize().cx, size.cx);
    EXPECT_EQ(Model().CurrentFile.path, currentPath);
    EXPECT_FALSE(MenuState(IDM_SAVE) & MF_GRAYED);
    EXPECT_EQ(ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight), canvas);
}

TEST_F(MainWindowTest, RejectedFileShowsTheMessageAndChangesNothing) {
    const std::string good = ScratchPath("GOOD.SC6");
    WriteFile(good, PatternFile(5));
    OpenFile(IDM_OPEN_SCREEN6, good);
    const std::vector<uint32_t> canvas = ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight);
    const std::vector<uint8_t> vram(Model().VramImage, Model().VramImage + velda::VramBytes);
    const std::vector<uint8_t> palette(Model().MsxPalette, Model().MsxPalette + velda::PaletteBytes);
    const SIZE size = WindowSize();

    struct Bad {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> wrongId = PatternFile(9);
    wrongId[0] = 0x00;
    const Bad bads[] = {
        {"WRONGID.SC5", wrongId},
        {"SHORT.SC5", {0xFE, 0x00, 0x00}},
        {"BACKWARD.SC5", MakeBsave(0x2000, 0x1000, std::vector<uint8_t>(16, 0x11))},
    };
    for (const Bad& bad : bads) {
        SCOPED_TRACE(bad.name);
        const std::string path = ScratchPath(bad.name);
        WriteFile(path, bad.bytes);
        DialogScript script({{WindowsPath(path), IDOK}, {"", IDOK}});
        Command(IDM_OPEN_SCREEN5);
        PumpMessages();
        ASSERT_EQ(script.Seen().size(), 2u);
        EXPECT_EQ(script.Seen()[1].title, "VELDA");
        ASSERT_EQ(script.Seen()[1].texts.size(), 1u);
        EXPECT_EQ(script.Seen()[1].texts[0], Said(velda::Text::NotBsave));

        EXPECT_EQ(Title(), "GOOD.SC6 - VELDA");
        EXPECT_EQ(Model().ScreenMode, 6);
        EXPECT_EQ(WindowSize().cx, size.cx);
        EXPECT_FALSE(MenuState(IDM_SAVE) & MF_GRAYED);
        EXPECT_TRUE(std::equal(vram.begin(), vram.end(), Model().VramImage));
        EXPECT_TRUE(std::equal(palette.begin(), palette.end(), Model().MsxPalette));
        EXPECT_EQ(ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight), canvas);
        // The dialog's choice is remembered even so.
        EXPECT_EQ(Model().CurrentFile.path, WindowsPath(path));
    }
}

TEST_F(MainWindowTest, FileThatCannotBeOpenedIsReportedAndChangesNothing) {
    const std::string path = ScratchPath("LOCKED.SC5");
    WriteFile(path, PatternFile(11));
    // Held open without sharing, the file exists but cannot be read.
    HANDLE lock = CreateFileA(WindowsPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    DialogScript script({{WindowsPath(path), IDOK}, {"", IDOK}});
    Command(IDM_OPEN_SCREEN5);
    PumpMessages();
    CloseHandle(lock);

    ASSERT_EQ(script.Seen().size(), 2u);
    EXPECT_EQ(script.Seen()[1].title, "VELDA");
    ASSERT_EQ(script.Seen()[1].texts.size(), 1u);
    EXPECT_EQ(script.Seen()[1].texts[0], Said(velda::Text::CannotOpen));
    EXPECT_EQ(Title(), "VELDA");
    EXPECT_TRUE(MenuState(IDM_SAVE) & MF_GRAYED);
    EXPECT_TRUE(CanvasIsWhite());
}

TEST_F(MainWindowTest, CtrlDigitsOpenTheirModesAndTheKeypadDoesNothing) {
    struct Key {
        int virtualKey;
        int screen;  // 0: no dialog
    };
    const Key keys[] = {{'0', 10}, {'1', 11}, {'2', 12}, {'5', 5}, {'6', 6}, {'7', 7}, {'8', 8},
                        {VK_NUMPAD0, 0}, {VK_NUMPAD5, 0}, {VK_NUMPAD8, 0}, {'3', 0}, {'9', 0}};
    for (const Key& key : keys) {
        SCOPED_TRACE(key.virtualKey);
        DialogScript script({{"", IDCANCEL}});
        PressCtrl(key.virtualKey);
        if (key.screen == 0) {
            EXPECT_TRUE(script.Seen().empty());
            continue;
        }
        ASSERT_EQ(script.Seen().size(), 1u);
        EXPECT_EQ(script.Seen()[0].title, Said(velda::Text::OpenDialogTitleFormat, key.screen));
    }
    EXPECT_EQ(Title(), "VELDA");
}

TEST_F(MainWindowTest, GrayedItemsIgnoreTheirAccelerators) {
    DialogScript script({});
    PressCtrl('S');
    PressCtrl('I');
    EXPECT_TRUE(script.Seen().empty());
}

TEST_F(MainWindowTest, IdentifiersOutsideTheCommandsAreIgnored) {
    for (unsigned id : {40000u, 40024u, 0u, 65535u}) {
        DialogScript script({});
        EXPECT_EQ(SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0), 0);
        PumpMessages();
        EXPECT_TRUE(script.Seen().empty()) << id;
        EXPECT_TRUE(IsWindow(window_));
        EXPECT_EQ(Title(), "VELDA");
    }
}

}  // namespace
}  // namespace velda_test
