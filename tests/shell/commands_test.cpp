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
    std::string wide;  // 251 characters of 3 UTF-8 bytes, one unit each
    for (int i = 0; i < 251; ++i) wide += "絵";
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

// The program that opens .html files, for as long as it lives: the
// browser stand-in, writing what it opens into `record`. Registered in
// HKEY_CLASSES_ROOT, where Wine's shell looks (it does not merge the
// user's own HKCU\Software\Classes in, as Windows does).
class HtmlOpener {
public:
    explicit HtmlOpener(const std::string& record) {
        const std::string command = "\"" + WindowsPath(VELDA_BROWSER_STUB) + "\" \"" + WindowsPath(record) + "\" \"%1\"";
        SetDefault(L".html", L"VeldaTestPage");
        SetDefault(L"VeldaTestPage\\shell\\open\\command", velda::Widen(command));
    }
    ~HtmlOpener() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"VeldaTestPage");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".html");
    }

private:
    static void SetDefault(const wchar_t* path, const std::wstring& text) {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, path, nullptr, REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
};

// Help contents opens velda-help.html beside the program with what opens
// .html files; without it, a message names the file it looked for.
TEST_F(CommandsTest, HelpContentsOpensTheHtmlHelpBesideTheProgram) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::string help = velda::SplitPath(velda::Narrow(module)).folder + "velda-help.html";
    const std::string record = ScratchPath("opened.txt");
    HtmlOpener opener(record);
    for (const bool present : {true, false}) {
        SCOPED_TRACE(present ? "present" : "missing");
        if (present) WriteFile(help, {'<', 'p', '>'});
        DialogScript script({{"", IDOK}});
        Command(IDM_HELP_CONTENTS);
        PumpMessages();
        if (present) {
            EXPECT_TRUE(script.Seen().empty());
            EXPECT_TRUE(WaitFor([&] { return !ReadFile(record).empty(); }));
            const std::vector<uint8_t> opened = ReadFile(record);
            EXPECT_EQ(std::string(opened.begin(), opened.end()), help);
            velda::RemoveFile(help);
        } else {
            ASSERT_EQ(script.Seen().size(), 1u);
            EXPECT_EQ(script.Seen()[0].texts, std::vector<std::string>{Said(velda::Text::HelpMissing) + "\n" + help});
        }
    }
}

// velda.exe as a process, ended in each of the ways a user ends it.
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
// screen those the core decodes.
TEST_F(ProgramProcess, PictureOnTheCommandLineIsShownAtStartUp) {
    const std::string path = FreshFolder("command line") + "/MY PIC.SC7";
    const std::vector<uint8_t> file = PatternFile(31);
    WriteFile(path, file);
    // Its data fills video memory from 0 to the end of the palette table.
    std::vector<uint8_t> vram(file.begin() + 7, file.end());
    vram.resize(velda::VramBytes);
    velda::PageView page;
    page.screen = 7;
    page.vram = vram.data();
    page.palette = vram.data() + 0xFA80;
    const velda::Picture picture = velda::MakePicture(page, velda::PictureOptions{});

    std::string title;
    int wrong = -1;
    const DWORD code = RunAndEnd(
        [&](HWND window) {
            WaitFor([&] { return TextOf(window) == "MY PIC.SC7 - VELDA"; });
            title = TextOf(window);
            RECT client;
            GetClientRect(window, &client);
            const int width = std::min<int>(client.right, velda::CanvasWidth);
            const int height = std::min<int>(client.bottom, velda::ScreenLines);
            std::vector<uint32_t> expected(static_cast<std::size_t>(width * height));
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) expected[y * width + x] = ToPixel(velda::PixelColor(picture, x, y));
            }
            // Painting in the other process takes its time: look again until
            // it is there or the wait is over.
            WaitFor([&] {
                const std::vector<uint32_t> shown = ClientOnScreen(window, width, height);
                wrong = 0;
                for (std::size_t i = 0; i < shown.size(); ++i) wrong += shown[i] != expected[i];
                return wrong == 0;
            });
            PostMessageW(window, WM_CLOSE, 0, 0);
        },
        "\"" + WindowsPath(path) + "\"");
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(title, "MY PIC.SC7 - VELDA");
    EXPECT_EQ(wrong, 0);
}

// A name on the command line whose extension says nothing: the message in a
// box owned by the window, which stays empty.
TEST_F(ProgramProcess, UnknownExtensionOnTheCommandLineIsReported) {
    const std::string path = ScratchPath("README.TXT");
    WriteFile(path, PatternFile(32));
    std::string caption, text, title;
    const DWORD code = RunAndEnd(
        [&](HWND window) {
            if (HWND box = OwnedDialog(window)) {
                caption = TextOf(box);
                text = TextOf(GetDlgItem(box, MessageTextId));
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                WaitFor([&] { return !IsWindow(box); });
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
