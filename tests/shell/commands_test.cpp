// Save as BMP and the small commands (Exit, Auto size, File information,
// Clear, About), driven through the real window and dialogs; and the
// program run as a process: a picture named on its command line, and its
// exit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/picture_shapes.h"
#include "platform/files.h"
#include "platform/names.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

unsigned OpenId(uint8_t screen) {
    switch (screen) {
    case 5: return IDM_OPEN_SCREEN5;
    case 6: return IDM_OPEN_SCREEN6;
    case 7: return IDM_OPEN_SCREEN7;
    case 8: return IDM_OPEN_SCREEN8;
    case 10: return IDM_OPEN_SCREEN10;
    case 11: return IDM_OPEN_SCREEN11;
    default: return IDM_OPEN_SCREEN12;
    }
}

class CommandsTest : public MainWindowTest {
protected:
    // Runs Save with its dialog answered: OK on the proposed name, or on
    // `typed` when it is given. Returns what the dialogs showed.
    std::vector<DialogSeen> Save(const std::string& typed = "", int extraDialogs = 0) {
        std::vector<DialogStep> steps = {{typed, IDOK}};
        for (int i = 0; i < extraDialogs; ++i) steps.push_back({"", IDOK});
        DialogScript script(steps);
        Command(IDM_SAVE);
        PumpMessages();
        return script.Seen();
    }
};

TEST_F(CommandsTest, SaveWritesTheWriterBytesForEveryMode) {
    uint32_t seed = 100;
    for (uint8_t screen : velda::AllScreens) {
        SCOPED_TRACE(int(screen));
        char name[32];
        std::snprintf(name, sizeof name, "SAVE%d.PIC", screen);
        const std::string picture = ScratchPath(name);
        WriteFile(picture, PatternFile(seed++));
        OpenFile(OpenId(screen), picture);
        const std::vector<uint8_t> expected =
            velda_test::SavedBmp(screen, Model().VramImage, Model().MsxPalette);

        const std::vector<DialogSeen> seen = Save();
        ASSERT_EQ(seen.size(), 1u);  // no message on success
        std::snprintf(name, sizeof name, "SAVE%d.bmp", screen);
        EXPECT_EQ(Model().CurrentFile.path, WindowsPath(ScratchPath(name)));
        const std::vector<uint8_t> written = ReadFile(ScratchPath(name));
        EXPECT_EQ(written.size(), BmpFileSize(screen));
        EXPECT_TRUE(written == expected);
        EXPECT_EQ(Title(), std::string("SAVE") + std::to_string(screen) + ".PIC - VELDA");
    }
}

TEST_F(CommandsTest, SaveDialogIsTitledAndFilteredForBitmaps) {
    const std::string picture = ScratchPath("TITLE.SC5");
    WriteFile(picture, PatternFile(1));
    OpenFile(IDM_OPEN_SCREEN5, picture);
    DialogScript script({{"", IDCANCEL}});
    Command(IDM_SAVE);
    PumpMessages();
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].title, Said(velda::Text::SaveDialogTitle));
    EXPECT_EQ(script.Seen()[0].fileName, "TITLE.bmp");
    EXPECT_FALSE(FileExists(ScratchPath("TITLE.bmp")));
    EXPECT_EQ(Model().CurrentFile.path, WindowsPath(picture));
}

TEST_F(CommandsTest, Screen10And11SaveIdenticalFiles) {
    const std::string picture = ScratchPath("YJK.SCA");
    WriteFile(picture, PatternFile(42));
    OpenFile(IDM_OPEN_SCREEN10, picture);
    Save(WindowsPath(ScratchPath("ten.bmp")));
    OpenFile(IDM_OPEN_SCREEN11, picture);
    Save(WindowsPath(ScratchPath("eleven.bmp")));
    const std::vector<uint8_t> ten = ReadFile(ScratchPath("ten.bmp"));
    EXPECT_EQ(ten.size(), 162870u);
    EXPECT_TRUE(ten == ReadFile(ScratchPath("eleven.bmp")));
}

TEST_F(CommandsTest, ProposedNamesStayInTheFileName) {
    struct Case {
        const char* folder;
        const char* file;
        const char* proposed;
    };
    const Case cases[] = {
        {"plain", "A.SC5", "A.bmp"},
        {"plain", "A.B.SC5", "A.B.bmp"},
        {"plain", "NODOT", "NODOT.bmp"},
        {"my.pics", "NODOT", "NODOT.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string folder = ScratchPath(c.folder);
        CreateDirectoryA(WindowsPath(folder).c_str(), nullptr);
        const std::string picture = folder + "/" + c.file;
        WriteFile(picture, PatternFile(3));
        OpenFile(IDM_OPEN_SCREEN5, picture);
        const std::vector<DialogSeen> seen = Save();
        ASSERT_EQ(seen.size(), 1u);
        const std::string saved = folder + "/" + c.proposed;
        EXPECT_EQ(Model().CurrentFile.path, WindowsPath(saved));
        EXPECT_EQ(ReadFile(saved).size(), 27254u);
        EXPECT_EQ(ReadFile(picture).size(), 7u + 0xFAA0u);  // the picture itself is untouched
    }
}

// The proposal in the path's own file name, never a folder's; nothing when
// there is no name or it would not fit the buffer of 256 UTF-16 units with
// its NUL.
TEST(ProposeBmpName, ReplacesTheExtensionOfTheFileName) {
    const std::string longest(251, 'N');  // with ".bmp", 255 units
    std::string wide;                     // 251 characters of 3 UTF-8 bytes, a unit each
    while (wide.size() < 753) wide += "絵";
    const struct {
        std::string path, proposal;
    } cases[] = {
        {"A.SC5", "A.bmp"},
        {"C:\\pics\\A.B.SC5", "C:\\pics\\A.B.bmp"},
        {"C:\\my.pics\\A", "C:\\my.pics\\A.bmp"},
        {"C:/pics/A.S12", "C:/pics/A.bmp"},
        {"C:A.SCA", "C:A.bmp"},
        {"C:\\pics\\A.", "C:\\pics\\A.bmp"},
        {"C:\\表.dir\\PIC", "C:\\表.dir\\PIC.bmp"},
        {"C:\\pics\\表 Ñ.SC5", "C:\\pics\\表 Ñ.bmp"},
        {"", ""}, {"C:\\pics\\", ""}, {"C:", ""},
        {longest + ".SC5", longest + ".bmp"},
        {longest + "N.SC5", ""},
        {wide + ".SC5", wide + ".bmp"},
        {wide + "絵.SC5", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(velda::ProposeBmpName(c.path), c.proposal) << c.path;
}

TEST_F(CommandsTest, SavingTwiceProposesTheSamePathAndOverwrites) {
    const std::string picture = ScratchPath("TWICE.SC8");
    WriteFile(picture, PatternFile(8));
    OpenFile(IDM_OPEN_SCREEN8, picture);
    Save();
    const std::string first = Model().CurrentFile.path;
    WriteFile(ScratchPath("TWICE.bmp"), {1, 2, 3});  // replaced without a question
    const std::vector<DialogSeen> seen = Save();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fileName, "TWICE.bmp");
    EXPECT_EQ(first, Model().CurrentFile.path);
    EXPECT_EQ(ReadFile(ScratchPath("TWICE.bmp")).size(), 55350u);
}

TEST_F(CommandsTest, NameTypedWithoutExtensionIsUsedAsTyped) {
    const std::string picture = ScratchPath("TYPED.SC7");
    WriteFile(picture, PatternFile(9));
    OpenFile(IDM_OPEN_SCREEN7, picture);
    Save(WindowsPath(ScratchPath("noext")));
    EXPECT_EQ(ReadFile(ScratchPath("noext")).size(), 54390u);
    EXPECT_FALSE(FileExists(ScratchPath("noext.bmp")));
}

TEST_F(CommandsTest, SaveOverAFileHeldOpenIsReportedAndLeavesItWhole) {
    const std::string picture = ScratchPath("FAIL.SC5");
    WriteFile(picture, PatternFile(4));
    OpenFile(IDM_OPEN_SCREEN5, picture);
    // A file held open without sharing cannot be created anew.
    const std::string target = ScratchPath("busy.bmp");
    WriteFile(target, {9, 9, 9});
    HANDLE lock = CreateFileA(WindowsPath(target).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::vector<DialogSeen> seen = Save(WindowsPath(target), 1);
    CloseHandle(lock);
    ExpectSaveMessage(seen, velda::Text::CannotCreate, true);
    EXPECT_EQ(ReadFile(target), (std::vector<uint8_t>{9, 9, 9}));
    for (const std::string& name : velda_test::FolderEntries(ScratchPath(""))) {
        EXPECT_NE(name.rfind(".velda-", 0), 0u) << "temporary file left: " << name;
    }
}

TEST_F(CommandsTest, SaveAfterARejectedOpenWritesThePictureOnScreen) {
    const std::string good = ScratchPath("SHOWN.SC5");
    WriteFile(good, PatternFile(12));
    OpenFile(IDM_OPEN_SCREEN5, good);
    const std::vector<uint8_t> expected =
        velda_test::SavedBmp(5, Model().VramImage, Model().MsxPalette);
    const std::string bad = ScratchPath("REJECT.SC7");
    WriteFile(bad, {0x00, 1, 2, 3, 4, 5, 6, 7});
    DialogScript script({{WindowsPath(bad), IDOK}, {"", IDOK}});
    Command(IDM_OPEN_SCREEN7);
    PumpMessages();
    ASSERT_EQ(script.Seen().size(), 2u);

    const std::vector<DialogSeen> seen = Save();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fileName, "REJECT.bmp");  // named after the last chosen file
    EXPECT_TRUE(ReadFile(ScratchPath("REJECT.bmp")) == expected);
}

TEST_F(CommandsTest, FileInformationShowsModeAndAddresses) {
    std::vector<uint8_t> data(0xD400, 0x49);
    const std::string picture = ScratchPath("INFO.SC8");
    WriteFile(picture, MakeBsave(0x0000, 0xD3FF, data));
    OpenFile(IDM_OPEN_SCREEN8, picture);
    const std::string expected = "SCREEN 8\n開始ｱﾄﾞﾚｽ : 0000\n終了ｱﾄﾞﾚｽ : d3ff\n\n";
    EXPECT_EQ(FileInfoText(), expected);

    // A rejected Open leaves the information of the picture on screen.
    const std::string bad = ScratchPath("BAD.SC5");
    WriteFile(bad, {0x12, 0, 0, 0, 0, 0, 0});
    DialogScript script({{WindowsPath(bad), IDOK}, {"", IDOK}});
    Command(IDM_OPEN_SCREEN5);
    PumpMessages();
    EXPECT_EQ(FileInfoText(), expected);

    WriteFile(picture, MakeBsave(0x0100, 0x01FF, std::vector<uint8_t>(256, 0)));
    OpenFile(IDM_OPEN_SCREEN11, picture);
    EXPECT_EQ(FileInfoText(), Said(velda::Text::FileInfoFormat, 11, 0x100, 0x1FF));
    EXPECT_EQ(FileInfoText().substr(0, 10), "SCREEN 11\n");
}

TEST_F(CommandsTest, ClearEmptiesTheWindowButKeepsItsSize) {
    const std::string picture = ScratchPath("WIDE.SC6");
    WriteFile(picture, PatternFile(6));
    OpenFile(IDM_OPEN_SCREEN6, picture);
    const std::vector<uint8_t> vram(Model().VramImage, Model().VramImage + velda::VramBytes);
    const velda::ExportHeadersRecord headers = Model().ExportHeaders;
    const SIZE wide = WindowSize();
    ASSERT_EQ(wide.cx, velda::FrameExtraWidth + 512);

    PressCtrl('C');
    EXPECT_EQ(Title(), "VELDA");
    EXPECT_EQ(Model().ScreenMode, 5);
    EXPECT_TRUE(MenuState(IDM_SAVE) & MF_GRAYED);
    EXPECT_TRUE(MenuState(IDM_FILEINFO) & MF_GRAYED);
    EXPECT_EQ(WindowSize().cx, wide.cx);
    for (uint32_t p : ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight)) ASSERT_EQ(p, 0xFFFFFFu);
    EXPECT_TRUE(std::equal(vram.begin(), vram.end(), Model().VramImage));
    EXPECT_EQ(0, std::memcmp(&headers, &Model().ExportHeaders, sizeof headers));

    const POINT corner = WindowCorner();
    PressCtrl('A');
    EXPECT_EQ(WindowSize().cx, velda::FrameExtraWidth + 256);
    EXPECT_EQ(WindowSize().cy, velda::FrameExtraHeight + 212);
    EXPECT_EQ(WindowCorner().x, corner.x);
    EXPECT_EQ(WindowCorner().y, corner.y);
}

TEST_F(CommandsTest, AutoSizeRestoresTheModeSizeAfterAUserResize) {
    const std::string picture = ScratchPath("AUTO.SC7");
    WriteFile(picture, PatternFile(77));
    OpenFile(IDM_OPEN_SCREEN7, picture);
    const POINT corner = WindowCorner();
    MoveWindow(window_, corner.x, corner.y, 700, 400, TRUE);
    ASSERT_EQ(WindowSize().cx, 700);
    Command(IDM_AUTOSIZE);
    EXPECT_EQ(WindowSize().cx, velda::FrameExtraWidth + 512);
    EXPECT_EQ(WindowSize().cy, velda::FrameExtraHeight + 212);
    EXPECT_EQ(WindowCorner().x, corner.x);
    EXPECT_EQ(WindowCorner().y, corner.y);
}

TEST_F(CommandsTest, AboutDialogClosesOnOkEnterEscAndTheCloseBox) {
    const DialogStep ways[] = {{"", IDOK, DialogAction::Command},
                               {"", VK_RETURN, DialogAction::Key},
                               {"", VK_ESCAPE, DialogAction::Key},
                               {"", 0, DialogAction::CloseBox}};
    for (const DialogStep& way : ways) {
        SCOPED_TRACE(static_cast<int>(way.action));
        DialogScript script({way});
        Command(IDM_ABOUT);  // returns only when the dialog has ended
        PumpMessages();
        ASSERT_EQ(script.Seen().size(), 1u);
        EXPECT_FALSE(IsWindow(script.Seen()[0].dialog));
        EXPECT_TRUE(IsWindowEnabled(window_));
    }
}

// Help contents opens velda-help.html beside the program with what opens
// .html files (here cmd's echo, in HKEY_CLASSES_ROOT: Wine's shell does
// not look in HKCU\Software\Classes, as Windows does); without the file, a
// message names it.
TEST_F(CommandsTest, HelpContentsOpensTheHtmlHelpBesideTheProgram) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::string help = velda::SplitPath(velda::Narrow(module)).folder + "velda-help.html";
    const std::string record = ScratchPath("opened.txt");
    const std::wstring open = velda::Widen("cmd.exe /c echo %1>\"" + WindowsPath(record) + "\"");
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L".html", nullptr, REG_SZ, L"VeldaTestPage", sizeof L"VeldaTestPage");
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L"VeldaTestPage\\shell\\open\\command", nullptr, REG_SZ, open.c_str(),
                    static_cast<DWORD>((open.size() + 1) * sizeof(wchar_t)));
    for (const bool present : {true, false}) {
        if (present) WriteFile(help, {'<'});
        DialogScript script({{"", IDOK}});
        Command(IDM_HELP_CONTENTS);
        PumpMessages();
        for (int i = 0; i < 400 && ReadFile(record).size() < help.size() + 2; ++i) Sleep(50);  // its line whole
        const std::vector<uint8_t> opened = ReadFile(record);
        EXPECT_EQ(std::string(opened.begin(), opened.end()), help + "\r\n");
        ASSERT_EQ(script.Seen().size(), present ? 0u : 1u);
        if (!present) EXPECT_EQ(script.Seen()[0].texts.at(0), Said(velda::Text::HelpMissing) + "\n" + help);
        velda::RemoveFile(help);
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"VeldaTestPage");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".html");
}

// velda.exe as a process, ended in each of the ways a user ends it.
class ProgramProcess : public ::testing::Test {
protected:
    static constexpr int MessageTextId = 0xFFFF;  // the text of a message box

    struct Found {
        DWORD process;
        HWND window;
    };

    static BOOL CALLBACK FindMainWindow(HWND candidate, LPARAM param) {
        Found* found = reinterpret_cast<Found*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(candidate, &owner);
        char className[16];
        GetClassNameA(candidate, className, sizeof className);
        if (owner == found->process && std::string(className) == "MyWin") {
            found->window = candidate;
            return FALSE;
        }
        return TRUE;
    }

    // Owned top-level windows of the class "#32770": the message boxes of
    // the program's window, once shown (their texts are set by then).
    static BOOL CALLBACK FindOwnedDialog(HWND candidate, LPARAM param) {
        Found* found = reinterpret_cast<Found*>(param);
        char className[16];
        GetClassNameA(candidate, className, sizeof className);
        if (GetWindow(candidate, GW_OWNER) != found->window || std::string(className) != "#32770" ||
            !IsWindowVisible(candidate)) {
            return TRUE;
        }
        found->window = candidate;
        return FALSE;
    }

    // What the screen shows of the top-left `width` x `height` pixels of
    // the window's client area.
    static std::vector<uint32_t> ClientOnScreen(HWND window, int width, int height) {
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        POINT corner{0, 0};
        ClientToScreen(window, &corner);
        HDC screen = GetDC(nullptr);
        HDC copy = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = SelectObject(copy, bitmap);
        BitBlt(copy, 0, 0, width, height, screen, corner.x, corner.y, SRCCOPY);
        std::vector<uint32_t> pixels = ReadPixels(copy, width, height);
        SelectObject(copy, old);
        DeleteObject(bitmap);
        DeleteDC(copy);
        ReleaseDC(nullptr, screen);
        return pixels;
    }

    // Polls `ready` for up to 20 seconds.
    static bool WaitFor(const std::function<bool()>& ready) {
        for (int i = 0; i < 400; ++i) {
            if (ready()) return true;
            Sleep(50);
        }
        return false;
    }

    // Starts velda.exe with `arguments`, hands its window to `end` once it
    // is there, and returns its exit code.
    DWORD RunAndEnd(const std::function<void(HWND)>& end, const std::string& arguments = "") {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::wstring command = velda::Widen("\"" + WindowsPath(VELDA_EXE) + "\"" + (arguments.empty() ? "" : " " + arguments));
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "velda.exe did not start";
            return 1234;
        }
        Found found{process.dwProcessId, nullptr};
        for (int i = 0; i < 400 && found.window == nullptr; ++i) {
            Sleep(50);
            EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
        }
        EXPECT_NE(found.window, nullptr);
        if (found.window != nullptr) end(found.window);
        DWORD code = 1234;
        if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &code);
        } else {
            ADD_FAILURE() << "velda.exe did not end";
            TerminateProcess(process.hProcess, 99);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }
};

TEST_F(ProgramProcess, ExitCommandEndsWithCodeZero) {
    EXPECT_EQ(RunAndEnd([](HWND w) { PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0); }), 0u);
}

TEST_F(ProgramProcess, CloseBoxEndsWithCodeZero) {
    EXPECT_EQ(RunAndEnd([](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }), 0u);
}

TEST_F(ProgramProcess, AltF4EndsWithCodeZero) {
    EXPECT_EQ(RunAndEnd([](HWND w) {
                  // Alt held: the context code (bit 29) of a system key.
                  PostMessageW(w, WM_SYSKEYDOWN, VK_F4, 0x20000001);
                  PostMessageW(w, WM_SYSKEYUP, VK_F4, 0xE0000001);
              }),
              0u);
}

// A picture named on the command line, quoted, with spaces in its folder and
// name, as an association passes it: shown at start-up, its pixels on the
// screen those the core decodes, each a block of the screen's scale; the
// second named in characters no single code page holds, on a screen of 192
// DPI (which Wine reads as a process starts).
TEST_F(ProgramProcess, PictureOnTheCommandLineIsShownAtStartUp) {
    const struct {
        const char *folder, *name;
        uint8_t screen;
        DWORD dpi;
    } rows[] = {{"command line", "MY PIC.SC7", 7, 96}, {"名前 Ñ", "絵 Ñ.SC5", 5, 192}};
    for (const auto& row : rows) {
        const std::string path = FreshFolder(row.folder) + "/" + row.name;
        const std::vector<uint8_t> file = PatternFile(31);
        WriteFile(path, file);
        velda::ScreenPage page;
        ASSERT_TRUE(OpenBsave(row.screen, file, page));
        const velda::Picture picture = velda::MakePicture(velda::ViewOf(page), velda::PictureOptions{});
        const int scale = static_cast<int>(row.dpi / velda::BaseDpi);
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &row.dpi, sizeof row.dpi);

        std::string title;
        SIZE client = {};
        int wrong = -1;
        const DWORD code = RunAndEnd(
            [&](HWND window) {
                RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
                WaitFor([&] { return TextOf(window) == std::string(row.name) + " - VELDA"; });
                title = TextOf(window);
                RECT area;
                GetClientRect(window, &area);
                client = SIZE{area.right, area.bottom};
                // The frame's extras, the metrics at the window's DPI, may
                // leave a line or two below the client area.
                const int width = std::min<int>(client.cx, picture.width * scale);
                const int height = std::min<int>(client.cy, velda::ScreenLines * scale);
                // Painting in the other process takes its time: look again
                // until it is there or the wait is over.
                WaitFor([&] {
                    const std::vector<uint32_t> shown = ClientOnScreen(window, width, height);
                    wrong = 0;
                    for (int i = 0; i < width * height; ++i) {
                        wrong += shown[i] != ToPixel(velda::PixelColor(picture, i % width / scale, i / width / scale));
                    }
                    return wrong == 0;
                });
                PostMessageW(window, WM_CLOSE, 0, 0);
            },
            "\"" + WindowsPath(path) + "\"");
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(title, std::string(row.name) + " - VELDA");
        EXPECT_NEAR(client.cx, picture.width * scale, 4);
        EXPECT_NEAR(client.cy, velda::ScreenLines * scale, 8);
        EXPECT_EQ(wrong, 0);
    }
}

// A name on the command line whose extension says nothing: the message in a
// box owned by the window, which stays empty.
TEST_F(ProgramProcess, UnknownExtensionOnTheCommandLineIsReported) {
    const std::string path = ScratchPath("README.TXT");
    WriteFile(path, PatternFile(32));
    std::string caption, text, title;
    const DWORD code = RunAndEnd(
        [&](HWND window) {
            Found box{0, window};
            const bool shown = WaitFor([&] {
                box.window = window;
                EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&box));
                return box.window != window;
            });
            if (shown) {
                caption = TextOf(box.window);
                text = TextOf(GetDlgItem(box.window, MessageTextId));
                PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                WaitFor([&] { return !IsWindow(box.window); });
            }
            title = TextOf(window);
            PostMessageW(window, WM_CLOSE, 0, 0);
        },
        "\"" + WindowsPath(path) + "\"");
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(caption, "VELDA");
    EXPECT_EQ(text, Said(velda::Text::UnknownKind));
    EXPECT_EQ(title, "VELDA");
}

}  // namespace
}  // namespace velda_test
