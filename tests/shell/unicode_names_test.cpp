// Names that no single code page holds, under every code page the tests
// run in: opened by a drop, by the Open dialog and on a real velda.exe's
// command line, stepped to with Page Up and Page Down, saved, and converted
// by velda-convert.exe; a disk image's code-page-932 names as the MSX wrote
// them. The texts are read back in UTF-16 and compared with the program's.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/picture_shapes.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "test_disk.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

// A file of the folder, in the order the keys step through them, and what
// must be seen of it.
struct NameRow {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* title;      // the window's, once it is shown; nullptr: refused
    std::string said;       // File information then, or the refusal
    const char* converted;  // what velda-convert.exe writes beside it
};

// Two pictures of the disk image, their names in code page 932: 絵AA, and
// 表, whose second byte is 0x5C, '\'.
std::vector<uint8_t> JapaneseDisk(const std::vector<uint8_t>& picture) {
    TestDisk disk;
    disk.RootEntry(0, "\x8A\x47" "AA    SC5", 2, static_cast<uint32_t>(picture.size()));
    disk.RootEntry(1, "\x95\x5C      SC5", 40, static_cast<uint32_t>(picture.size()));
    disk.Store(2, picture);
    disk.Store(40, picture);
    return disk.bytes;
}

class UnicodeNamesTest : public MainWindowTest {
protected:
    // The rows, with the texts of the language the window starts in.
    void SetUp() override {
        MainWindowTest::SetUp();
        folder_ = FreshFolder("名前 Ñ");
        const std::vector<uint8_t> screen5 = MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 29));
        rows_ = {
            {"bad ü.SC5", {0x00, 1, 2, 3, 4, 5, 6, 7}, nullptr, Said(velda::Text::NotBsave), nullptr},
            {"Ωmega.SC7", PatternFile(30), "Ωmega.SC7", Said(velda::Text::FileInfoFormat, 7, 0, 0xFA9F), "Ωmega.bmp"},
            {"絵 Ñ.SC5", screen5, "絵 Ñ.SC5", Said(velda::Text::FileInfoFormat, 5, 0, 0x69FF), "絵 Ñ.bmp"},
            {"JP.DSK", JapaneseDisk(screen5), "JP.DSK:絵AA.SC5", Said(velda::Text::FileInfoFormat, 5, 0, 0x69FF),
             "JP/絵AA.bmp"},
        };
        for (const NameRow& row : rows_) WriteFile(PathOf(row.name), row.bytes);
    }

    std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }

    std::string folder_;
    std::vector<NameRow> rows_;
};

// Each file dropped (its File information's caption read back too), a
// disk image's names in its title, then the pictures stepped through, back
// and forth, from the one chosen in the Open dialog.
TEST_F(UnicodeNamesTest, DroppedChosenAndSteppedTo) {
    for (const NameRow& row : rows_) {
        SCOPED_TRACE(row.name);
        const std::string before = Title();
        DialogScript script({{"", IDOK}});
        DropFile(PathOf(row.name));
        if (row.title == nullptr) {
            ASSERT_EQ(script.Seen().size(), 1u);
            EXPECT_EQ(script.Seen()[0].texts, std::vector<std::string>{row.said});
            EXPECT_EQ(Title(), before);
            continue;
        }
        EXPECT_TRUE(script.Seen().empty());
        EXPECT_EQ(Title(), std::string(row.title) + " - VELDA");
        EXPECT_EQ(FileInfoText(), row.said);
    }
    PressKey(VK_NEXT);  // in the disk image, to its picture named with a 0x5C
    EXPECT_EQ(Title(), "JP.DSK:表.SC5 - VELDA");

    OpenFile(IDM_OPEN_BY_EXTENSION, PathOf(rows_[2].name));
    const struct {
        int key;
        std::size_t row;
    } steps[] = {{VK_PRIOR, 1}, {VK_PRIOR, 0}, {VK_NEXT, 1}, {VK_NEXT, 2}};
    std::string shown = Title();
    for (const auto& step : steps) {
        const NameRow& row = rows_[step.row];
        SCOPED_TRACE(row.name);
        DialogScript script({{"", IDOK}});
        PressKey(step.key);
        if (row.title != nullptr) shown = std::string(row.title) + " - VELDA";
        EXPECT_EQ(Title(), shown);
        EXPECT_EQ(script.Seen().size(), row.title == nullptr ? 1u : 0u);
    }
}

// Save to a name of its own, and the converter on the same picture, write
// the same bytes.
TEST_F(UnicodeNamesTest, SaveWritesTheConvertersBytes) {
    const std::string picture = PathOf("絵 Ñ.SC5");
    OpenFile(IDM_OPEN_BY_EXTENSION, picture);
    DialogScript script({{WindowsPath(PathOf("保存 Ü.bmp")), IDOK}});
    Command(IDM_SAVE);
    PumpMessages();
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].fileName, "絵 Ñ.bmp");
    EXPECT_EQ(RunConverter("\"" + WindowsPath(picture) + "\"").code, 0u);
    const std::vector<uint8_t> saved = ReadFile(PathOf("保存 Ü.bmp"));
    EXPECT_EQ(saved.size(), 27254u);
    EXPECT_TRUE(saved == ReadFile(PathOf("絵 Ñ.bmp")));
}

// velda-convert.exe on every row: its outputs, its message of the damaged
// file and its listing, in UTF-8 where they are redirected.
TEST_F(UnicodeNamesTest, TheConverterTakesEveryName) {
    std::string inputs;
    for (const NameRow& row : rows_) inputs += " \"" + WindowsPath(PathOf(row.name)) + "\"";
    const ConverterRun converted = RunConverter(inputs);
    EXPECT_EQ(converted.code, 1u);  // the damaged file
    EXPECT_NE(converted.messages.find("bad ü.SC5: not a BSAVE file"), std::string::npos) << converted.messages;
    for (const NameRow& row : rows_) {
        if (row.converted != nullptr) EXPECT_TRUE(FileExists(PathOf(row.converted))) << row.converted;
    }
    EXPECT_TRUE(FileExists(PathOf("JP/表.bmp")));

    const ConverterRun listed = RunConverter("--list" + inputs);
    for (const char* line : {"Ωmega.SC7: BSAVE, SCREEN 7, 512 x 212\r\n", "JP.DSK:絵AA.SC5: BSAVE, SCREEN 5, 256 x 212\r\n",
                             "JP.DSK:表.SC5: BSAVE, SCREEN 5, 256 x 212\r\n"}) {
        EXPECT_NE(listed.output.find(line), std::string::npos) << line << listed.output;
    }
}

// The run's code page is the one its locale gives, so that the runs under
// each locale do test different ones.
TEST(TestLocales, EachRunHasItsCodePage) {
    const TestLocale* locale = RunLocale();
    ASSERT_NE(locale, nullptr) << "LC_ALL is none of the test locales";
    EXPECT_EQ(GetACP(), locale->codePage);
}

// Sets a DPI for the processes started while it lives, as the display
// settings do: Wine reads it when a process starts.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
               ERROR_SUCCESS;
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~ScreenDpi() {
        if (had_) {
            RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
        } else {
            RegDeleteValueW(key_, L"LogPixels");
        }
        RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

// velda.exe started with the name on its command line, on a screen of
// twice the DPI: the title, the picture in blocks of 2 x 2 screen pixels,
// File information, and Page Up to the picture before it.
TEST_F(ProgramProcess, UnicodeNameOnTheCommandLineAtTwiceTheScale) {
    const std::string folder = FreshFolder("名前 Ñ");
    const std::vector<uint8_t> file = MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 31));
    WriteFile(folder + "/絵 Ñ.SC5", file);
    WriteFile(folder + "/Ωmega.SC7", PatternFile(30));
    velda::ScreenPage page;
    ASSERT_TRUE(OpenBsave(5, file, page));
    const velda::Picture picture = velda::MakePicture(velda::ViewOf(page), velda::PictureOptions{});

    std::string title, caption, info, stepped;
    SIZE client = {};
    int wrong = -1;
    ScreenDpi dpi(2 * velda::BaseDpi);
    const DWORD code = RunAndEnd(
        [&](HWND window) {
            WaitFor([&] { return TextOf(window) == "絵 Ñ.SC5 - VELDA"; });
            title = TextOf(window);
            RECT area;
            GetClientRect(window, &area);
            client = SIZE{area.right, area.bottom};
            // The frame's extras at that DPI, as at 96, may leave a line or
            // two below the client area.
            const int width = std::min<int>(client.cx, 512), height = std::min<int>(client.cy, 424);
            WaitFor([&] {
                const std::vector<uint32_t> shown = ClientOnScreen(window, width, height);
                wrong = 0;
                for (int y = 0; y < height; ++y) {
                    for (int x = 0; x < width; ++x) {
                        wrong += shown[y * width + x] != ToPixel(velda::PixelColor(picture, x / 2, y / 2));
                    }
                }
                return wrong == 0;
            });
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_FILEINFO, 0), 0);
            if (HWND box = OwnedDialog(window)) {
                caption = TextOf(box);
                info = TextOf(GetDlgItem(box, MessageTextId));
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                WaitFor([&] { return !IsWindow(box); });
            }
            PostMessageW(window, WM_KEYDOWN, VK_PRIOR, 1);
            WaitFor([&] { return TextOf(window) == "Ωmega.SC7 - VELDA"; });
            stepped = TextOf(window);
            PostMessageW(window, WM_CLOSE, 0, 0);
        },
        "\"" + WindowsPath(folder + "/絵 Ñ.SC5") + "\"");
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(title, "絵 Ñ.SC5 - VELDA");
    EXPECT_NEAR(client.cx, 512, 4);
    EXPECT_NEAR(client.cy, 424, 8);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(caption, "ﾌｧｲﾙ情報");
    EXPECT_EQ(info, "SCREEN 5\n開始ｱﾄﾞﾚｽ : 0000\n終了ｱﾄﾞﾚｽ : 69ff\n\n");
    EXPECT_EQ(stepped, "Ωmega.SC7 - VELDA");
}

}  // namespace
}  // namespace velda_test
