// Zoom and television aspect through the real window: the window's size
// for each, the painted pixels as whole blocks of the canvas pixels, the
// menu's check marks and keys, and Save unchanged by them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

// The View menu's zoom and aspect of a case.
struct ViewCase {
    int zoom;
    bool tv;
};

class ViewTest : public MainWindowTest {
protected:
    // Chooses the zoom and aspect in the View menu.
    void ChooseView(const ViewCase& view) {
        Command(IDM_ZOOM_1 + view.zoom - 1);
        if (velda::View.tvAspect != view.tv) Command(IDM_TV_ASPECT);
        PumpMessages();
    }

    // Opens a 256-wide (SCREEN 5) or 512-wide (SCREEN 7) picture; dropped,
    // the quickest way, which sizes the window as every Open does.
    void OpenPicture(int width) {
        const std::string path = ScratchPath(width == 256 ? "VIEW.SC5" : "VIEW.SC7");
        WriteFile(path, PatternFile(width == 256 ? 51 : 52));
        DropFile(path);
        ASSERT_EQ(Model().ScreenMode, width == 256 ? 5 : 7);
    }

    void ExpectWindowShows(int width, int height) {
        EXPECT_EQ(WindowSize().cx, velda::FrameExtraWidth + width);
        EXPECT_EQ(WindowSize().cy, velda::FrameExtraHeight + height);
    }

    void Resize() {
        const POINT corner = WindowCorner();
        MoveWindow(window_, corner.x, corner.y, 300, 300, TRUE);
        PumpMessages();
    }
};

// The picture's size on screen, written out: frame extras plus this.
TEST_F(ViewTest, WindowSizeIsThePictureAtTheZoomAndAspect) {
    const struct {
        int width;  // of the picture
        ViewCase view;
        int shownWidth, shownHeight;
    } cases[] = {
        {256, {1, false}, 256, 212},  {256, {2, false}, 512, 424},  {256, {3, false}, 768, 636},
        {256, {1, true}, 512, 424},   {256, {2, true}, 1024, 848},  {256, {3, true}, 1536, 1272},
        {512, {1, false}, 512, 212},  {512, {2, false}, 1024, 424}, {512, {3, false}, 1536, 636},
        {512, {1, true}, 512, 424},   {512, {2, true}, 1024, 848},  {512, {3, true}, 1536, 1272},
    };
    ASSERT_GE(GetSystemMetrics(SM_CYMAXTRACK), velda::FrameExtraHeight + 1272)
        << "the display is too small for 3x with the television aspect";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " at " + std::to_string(c.view.zoom) + (c.view.tv ? " tv" : ""));
        ChooseView(c.view);
        Resize();
        OpenPicture(c.width);  // Open sizes the window
        ExpectWindowShows(c.shownWidth, c.shownHeight);
        Resize();
        PressCtrl('A');  // and so does Auto size
        ExpectWindowShows(c.shownWidth, c.shownHeight);
        for (int zoom = 1; zoom <= 3; ++zoom) {
            EXPECT_EQ((MenuState(IDM_ZOOM_1 + zoom - 1) & MF_CHECKED) != 0, zoom == c.view.zoom) << zoom;
        }
        EXPECT_EQ((MenuState(IDM_TV_ASPECT) & MF_CHECKED) != 0, c.view.tv);
    }
    // Choosing a view sizes the window too.
    Command(IDM_ZOOM_2);
    ExpectWindowShows(1024, 848);
    Command(IDM_TV_ASPECT);
    ExpectWindowShows(1024, 424);
}

// Painting copies the canvas to the window, each canvas pixel as a whole
// block of its colour, to the last row and column of the picture.
TEST_F(ViewTest, EveryCanvasPixelBecomesAWholeBlock) {
    const struct { int width; ViewCase view; int blockWidth, blockHeight; } cases[] = {
        {256, {1, false}, 1, 1}, {256, {2, true}, 4, 4}, {512, {2, true}, 2, 4}, {256, {3, false}, 3, 3},
        {512, {1, true}, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " at " + std::to_string(c.view.zoom) + (c.view.tv ? " tv" : ""));
        ChooseView(c.view);
        OpenPicture(c.width);
        // The whole window on the display, where it can be read back.
        SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        SetForegroundWindow(window_);
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const int shownWidth = c.width * c.blockWidth, shownHeight = velda::ScreenLines * c.blockHeight;
        ASSERT_EQ(ClientSize().cx, shownWidth);
        ASSERT_EQ(ClientSize().cy, shownHeight);
        HDC dc = GetDC(window_);
        const std::vector<uint32_t> shown = ReadPixels(dc, shownWidth, shownHeight);
        ReleaseDC(window_, dc);
        const std::vector<uint32_t> canvas = ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight);
        int wrong = 0;
        for (int y = 0; y < shownHeight; ++y) {
            for (int x = 0; x < shownWidth; ++x) {
                const uint32_t want = canvas[(y / c.blockHeight) * velda::CanvasWidth + x / c.blockWidth];
                if (shown[y * shownWidth + x] != want && wrong++ < 5) {
                    ADD_FAILURE() << "window pixel (" << x << ", " << y << ") is " << std::hex
                                  << shown[y * shownWidth + x] << ", expected " << want;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// + and - of the main keyboard and the keypad step the zoom between 1 and 3,
// through the accelerators; the steps past the ends are grayed.
TEST_F(ViewTest, PlusAndMinusStepTheZoom) {
    const struct {
        int key;
        bool shift;
        int zoom;  // afterwards
    } presses[] = {
        {VK_OEM_PLUS, true, 2}, {VK_ADD, false, 3},       {VK_OEM_PLUS, false, 3}, {VK_OEM_MINUS, false, 2},
        {VK_SUBTRACT, false, 1}, {VK_OEM_MINUS, false, 1}, {VK_OEM_PLUS, false, 2},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(std::to_string(press.key) + (press.shift ? " with Shift" : ""));
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = press.shift ? 0x80 : 0;
        SetKeyboardState(keys);
        PressKey(press.key);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        EXPECT_EQ(velda::View.zoom, press.zoom);
        EXPECT_TRUE(MenuState(IDM_ZOOM_1 + press.zoom - 1) & MF_CHECKED);
        EXPECT_EQ((MenuState(IDM_ZOOM_IN) & MF_GRAYED) != 0, press.zoom == 3);
        EXPECT_EQ((MenuState(IDM_ZOOM_OUT) & MF_GRAYED) != 0, press.zoom == 1);
        ExpectWindowShows(256 * press.zoom, 212 * press.zoom);
    }
    EXPECT_FALSE(velda::View.tvAspect);
}

// Save writes the picture, not the view: the same bytes at every zoom and
// aspect.
TEST_F(ViewTest, SaveWritesTheSameBytesAtEveryZoomAndAspect) {
    OpenPicture(256);
    const auto save = [&](const std::string& name) {
        DialogScript script({{WindowsPath(ScratchPath(name)), IDOK}});
        Command(IDM_SAVE);
        PumpMessages();
        EXPECT_EQ(script.Seen().size(), 1u);
        return ReadFile(ScratchPath(name));
    };
    const std::vector<uint8_t> plain = save("plain.bmp");
    ASSERT_EQ(plain.size(), 27254u);
    for (const ViewCase view : {ViewCase{2, false}, ViewCase{3, false}, ViewCase{1, true}, ViewCase{2, true},
                                ViewCase{3, true}}) {
        SCOPED_TRACE(std::to_string(view.zoom) + (view.tv ? " tv" : ""));
        ChooseView(view);
        EXPECT_TRUE(save("viewed.bmp") == plain);
    }
}

// A move to a monitor of another scale: each canvas pixel a block of that
// scale's whole pixels (150% stays 1), at the corner Windows suggests.
TEST_F(ViewTest, AMonitorOfAnotherScaleKeepsWholePixels) {
    OpenPicture(512);
    for (const auto& [dpi, scale] : {std::pair{192, 2}, {144, 1}, {288, 3}, {96, 1}}) {
        RECT suggested = {10, 20, 30, 40};
        SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        ExpectWindowShows(512 * scale, 212 * scale);
        EXPECT_EQ(WindowCorner().x + WindowCorner().y, 30) << dpi;
    }
}

// Every command identifier of a menu and its popups, in order.
std::vector<UINT> CommandsOf(HMENU menu) {
    std::vector<UINT> commands;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        HMENU popup = GetSubMenu(menu, i);
        const std::vector<UINT> inner = popup ? CommandsOf(popup) : std::vector<UINT>{GetMenuItemID(menu, i)};
        commands.insert(commands.end(), inner.begin(), inner.end());
    }
    return commands;
}

// English names the same commands in the same places as Japanese, shows
// its own texts, and is kept for the next start.
TEST_F(ViewTest, EnglishShowsTheSameCommandsInItsOwnWords) {
    const std::vector<UINT> japanese = CommandsOf(GetMenu(window_));
    Command(IDM_LANGUAGE_ENGLISH);
    RestartWindow();
    EXPECT_EQ(CommandsOf(GetMenu(window_)), japanese);
    EXPECT_TRUE(MenuState(IDM_LANGUAGE_ENGLISH) & MF_CHECKED);
    WriteFile(ScratchPath("BAD.SC5"), {0x00, 1, 2, 3, 4, 5, 6, 7});
    DialogScript script({{"", IDOK}});
    DropFile(ScratchPath("BAD.SC5"));
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].texts.at(0), SaidIn(velda::Language::English, velda::Text::NotBsave));
}

}  // namespace
}  // namespace velda_test
