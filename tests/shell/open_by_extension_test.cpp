// Open by extension, a picture named on the command line and a file dropped
// on the window, through the real window: each shows what the SCREEN Open of
// the same picture shows, and Save writes the same bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "image_readers.h"
#include "shell/texts.h"
#include "test_archive.h"
#include "test_disk.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

constexpr int FileTypeCombo = 0x0470;  // cmb1, the filter box of the Open dialog

enum class Way { OpenByExtension, CommandLine, Drop };

// What the window shows of a picture, and what Save writes of it.
struct Shown {
    std::string title;
    uint8_t screen;
    SIZE size;
    std::vector<uint32_t> canvas;
    uint16_t startAddress;
    uint16_t endAddress;
    std::string path;
    std::string proposal;  // the Save dialog's folder and name
    std::vector<uint8_t> saved;
};

class OpenByExtensionTest : public MainWindowTest {
protected:
    // A fresh start at another window size, so that an Open that leaves
    // anything undone shows it.
    void Forget() {
        RestartWindow();
        const POINT corner = WindowCorner();
        MoveWindow(window_, corner.x, corner.y, 300, 300, TRUE);
        PumpMessages();
    }

    void OpenBy(Way way, const std::string& path) {
        switch (way) {
        case Way::OpenByExtension:
            OpenFile(IDM_OPEN_BY_EXTENSION, path);
            break;
        case Way::CommandLine:
            velda::OpenStartupPicture(window_, (" \"" + WindowsPath(path) + "\" ").c_str());
            PumpMessages();
            break;
        case Way::Drop:
            DropFile(path);
            break;
        }
    }

    Shown Capture(const std::string& bmpName) {
        Shown shown;
        shown.title = Title();
        shown.screen = Model().ScreenMode;
        shown.size = WindowSize();
        shown.canvas = ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight);
        shown.startAddress = Model().CurrentFile.startAddress;
        shown.endAddress = Model().CurrentFile.endAddress;
        shown.path = Model().CurrentFile.path;
        const std::string bmp = ScratchPath(bmpName);
        DialogScript script({{WindowsPath(bmp), IDOK}});
        Command(IDM_SAVE);
        PumpMessages();
        EXPECT_EQ(script.Seen().size(), 1u) << "a message after Save";
        if (!script.Seen().empty()) shown.proposal = script.Seen()[0].folder + "|" + script.Seen()[0].fileName;
        shown.saved = ReadFile(bmp);
        return shown;
    }
};

// A SCREEN 5 palette unlike the power-on one: entry i has red i & 7, green
// (i >> 1) & 7 and blue 7 - (i & 7).
std::vector<uint8_t> OddPalette() {
    std::vector<uint8_t> palette(velda::PaletteBytes);
    for (int i = 0; i < velda::PaletteSize; ++i) {
        palette[2 * i] = static_cast<uint8_t>(((i & 7) << 4) | (7 - (i & 7)));
        palette[2 * i + 1] = static_cast<uint8_t>((i >> 1) & 7);
    }
    return palette;
}

// The three ways of a table of pictures, each against a SCREEN Open of the
// same picture (for the Graph Saurus file: a BSAVE file of the same pixels
// holding the .PL5's palette in its palette table).
TEST_F(OpenByExtensionTest, EveryWayShowsWhatTheScreenOpenShows) {
    const std::vector<uint8_t> pixels5 = NoiseBytes(0x6A00, 55);
    std::vector<uint8_t> withPalette(pixels5);
    withPalette.resize(0x7680, 0);
    const std::vector<uint8_t> palette = OddPalette();
    withPalette.insert(withPalette.end(), palette.begin(), palette.end());

    struct Case {
        const char* name;  // the picture opened by extension
        std::vector<uint8_t> bytes;
        const char* besideName;  // a file beside it, or nullptr
        std::vector<uint8_t> besideBytes;
        unsigned screenOpen;  // the SCREEN Open that shows the same picture
        std::vector<uint8_t> screenOpenBytes;  // from this file; empty: the same file
        uint8_t screen;
        uint16_t endAddress;
    };
    const Case cases[] = {
        {"MY PIC.SC7", PatternFile(71), nullptr, {}, IDM_OPEN_SCREEN7, {}, 7, 0xFA9F},
        {"yjk.scb", PatternFile(72), nullptr, {}, IDM_OPEN_SCREEN11, {}, 11, 0xFA9F},
        {"SAURUS.SR5", RawGraphSaurus(pixels5), "SAURUS.PL5", palette, IDM_OPEN_SCREEN5,
         MakeBsave(0, 0x769F, withPalette), 5, 0x69FF},
        {"SECOND.S15", PatternFile(73), nullptr, {}, IDM_OPEN_SCREEN5, {}, 5, 0xFA9F},
        {"表示.SC8", PatternFile(74), nullptr, {}, IDM_OPEN_SCREEN8, {}, 8, 0xFA9F},
    };
    const std::string folder = FreshFolder("two words");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/" + c.name;
        WriteFile(path, c.bytes);
        if (c.besideName != nullptr) WriteFile(folder + "/" + c.besideName, c.besideBytes);
        std::string reference = path;
        if (!c.screenOpenBytes.empty()) {
            reference = FreshFolder("reference") + "/" + c.name;
            WriteFile(reference, c.screenOpenBytes);
        }
        Forget();
        OpenFile(c.screenOpen, reference);
        const Shown expected = Capture("reference.bmp");
        ASSERT_EQ(expected.title, std::string(c.name) + " - VELDA");
        ASSERT_EQ(expected.saved.size(), BmpFileSize(c.screen));

        for (const Way way : {Way::OpenByExtension, Way::CommandLine, Way::Drop}) {
            SCOPED_TRACE(static_cast<int>(way));
            Forget();
            OpenBy(way, path);
            const Shown shown = Capture("way.bmp");
            EXPECT_EQ(shown.title, expected.title);
            EXPECT_EQ(shown.screen, c.screen);
            EXPECT_EQ(shown.size.cx, expected.size.cx);
            EXPECT_EQ(shown.size.cy, expected.size.cy);
            EXPECT_TRUE(shown.canvas == expected.canvas) << "the canvas differs";
            EXPECT_EQ(shown.startAddress, 0);
            EXPECT_EQ(shown.endAddress, c.endAddress);
            EXPECT_EQ(shown.path, WindowsPath(path));
            EXPECT_TRUE(shown.saved == expected.saved) << "Save wrote other bytes";
            EXPECT_FALSE(MenuState(IDM_FILEINFO) & MF_GRAYED);
        }
    }
}

// A COPY file shows its area at the top left of the canvas, the rest
// white, as a SCREEN Open shows the page it was copied from (in the
// palette file beside it, or the power-on palette); Save writes the area.
TEST_F(OpenByExtensionTest, CopyFilesShowTheirAreaOfThePage) {
    const struct {
        const char* name;
        unsigned screenOpen;
        uint8_t screen;
        int width, height;
        bool paletteFile;
    } rows[] = {{"A.GL5", IDM_OPEN_SCREEN5, 5, 100, 60, true}, {"B.GL6", IDM_OPEN_SCREEN6, 6, 301, 20, false},
                {"C.GL7", IDM_OPEN_SCREEN7, 7, 512, 5, true},  {"D.GL8", IDM_OPEN_SCREEN8, 8, 33, 212, false},
                {"E.GLC", IDM_OPEN_SCREEN12, 12, 64, 64, false}};
    const std::string folder = FreshFolder("copy files");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const velda::ModeInfo& mode = *velda::FindMode(row.screen);
        std::vector<uint8_t> page = NoiseBytes(static_cast<std::size_t>(mode.pixelBytes), row.screen);
        const std::string name = row.name;
        if (row.paletteFile) {
            const std::vector<uint8_t> palette = OddPalette();
            WriteFile(folder + "/" + name.substr(0, 2) + "PL" + name.substr(4), palette);
            page.resize(static_cast<std::size_t>(mode.paletteAddress), 0);
            page.insert(page.end(), palette.begin(), palette.end());
        }
        const std::string reference = folder + "/page.bin";
        WriteFile(reference, MakeBsave(0, static_cast<uint16_t>(page.size() - 1), page));
        WriteFile(folder + "/" + name, MakeCopy(row.screen, page, row.width, row.height));
        Forget();
        OpenFile(row.screenOpen, reference);
        const Shown whole = Capture("whole.bmp");
        Forget();
        OpenBy(Way::OpenByExtension, folder + "/" + name);
        const Shown area = Capture("area.bmp");

        EXPECT_EQ(area.title, name + " - VELDA");
        EXPECT_EQ(area.size.cx, whole.size.cx);
        ExpectCanvas([&](int x, int y) {
            return x < row.width && y < row.height ? whole.canvas[y * velda::CanvasWidth + x] : 0xFFFFFFu;
        });
        DecodedImage wholeBmp, areaBmp;
        ASSERT_EQ(ReadBmp(whole.saved, wholeBmp), "");
        ASSERT_EQ(ReadBmp(area.saved, areaBmp), "");
        ASSERT_EQ(areaBmp.width, row.width);
        ASSERT_EQ(areaBmp.height, row.height);
        EXPECT_TRUE(areaBmp.colors == wholeBmp.colors);
        int wrong = 0;
        for (int y = 0; y < row.height; ++y) {
            for (int x = 0; x < row.width; ++x) {
                wrong += areaBmp.pixels[y * row.width + x] != wholeBmp.pixels[y * wholeBmp.width + x];
            }
        }
        EXPECT_EQ(wrong, 0) << "Save wrote other pixels";
    }
}

// A disk image or an archive opens at its first picture by name, titled
// with the container, as the same file loose shows; Page Down and Page Up
// step through its pictures, a disk image in an archive's included, Save
// proposes a picture's name beside the container, and the dialogs start at
// the container. One that shows no picture says why and leaves the picture
// shown.
TEST_F(OpenByExtensionTest, ContainersShowTheirPicturesInTurn) {
    const std::string folder = FreshFolder("images");
    const std::vector<uint8_t> first = PatternFile(81), second = PatternFile(82, 0xD3FF);
    WriteFile(folder + "/A.SC5", first);
    TestDisk disk;
    disk.RootEntry(0, "README     ", 2, 1);
    disk.RootEntry(1, "B       SC8", 3, static_cast<uint32_t>(second.size()));
    disk.Store(3, second);
    disk.RootEntry(2, "A       SC5", 100, static_cast<uint32_t>(first.size()));
    disk.Store(100, first);
    WriteFile(folder + "/GAME.DSK", disk.bytes);
    WriteFile(folder + "/GAME.ZIP", MakeZip({{"B.SC8", second}, {"SUB/IN.DSK", disk.bytes}, {"A.SC5", first, 0, 0}}));
    TestDisk empty;
    empty.RootEntry(0, "README     ", 2, 1);
    TestDisk broken = disk;
    broken.SetFat(100, 0);  // A.SC5's chain reaches a free cluster
    WriteFile(folder + "/EMPTY.DSK", empty.bytes);
    WriteFile(folder + "/BROKEN.DSK", broken.bytes);
    WriteFile(folder + "/JUNK.DSK", std::vector<uint8_t>(2000, 0));  // media byte 0
    WriteFile(folder + "/EMPTY.ZIP", MakeZip({{"README", {1}}}));
    WriteFile(folder + "/BROKEN.ZIP", MakeZip({{"A.SC5", first, 0, 8, 1}}));  // its CRC-32 does not match
    WriteFile(folder + "/JUNK.ZIP", std::vector<uint8_t>(2000, 0));

    OpenFile(IDM_OPEN_SCREEN5, folder + "/A.SC5");
    const Shown loose = Capture("loose.bmp");
    const struct {
        const char* container;
        std::vector<std::string> pictures;  // by name
    } containers[] = {{"GAME.DSK", {"A.SC5", "B.SC8"}},
                      {"GAME.ZIP", {"A.SC5", "B.SC8", "SUB/IN.DSK:A.SC5", "SUB/IN.DSK:B.SC8"}}};
    for (const auto& container : containers) {
        const std::string name = container.container;
        Forget();
        OpenBy(Way::CommandLine, folder + "/" + name);
        const Shown shown = Capture("image.bmp");
        EXPECT_EQ(shown.title, name + ":A.SC5 - VELDA");
        EXPECT_TRUE(shown.canvas == loose.canvas) << "the canvas differs";
        EXPECT_TRUE(shown.saved == loose.saved) << "Save wrote other bytes";
        EXPECT_EQ(shown.proposal, loose.proposal);
        EXPECT_EQ(shown.path, WindowsPath(folder + "/" + name));  // the dialogs start at a file that exists
        std::vector<std::string> titles = {Title()}, expected;
        for (const std::string& picture : container.pictures) expected.push_back(name + ":" + picture + " - VELDA");
        expected.push_back(expected.back());                // Page Down past the last: a beep, the last stays
        expected.push_back(expected[expected.size() - 3]);  // Page Up
        for (const int key : std::vector<int>(container.pictures.size(), VK_NEXT)) {
            PressKey(key);
            titles.push_back(Title());
        }
        PressKey(VK_PRIOR);
        titles.push_back(Title());
        EXPECT_EQ(titles, expected);
    }

    const std::pair<const char*, std::string> refusals[] = {
        {"EMPTY.DSK", Said(velda::Text::NoPicture)},          {"JUNK.DSK", Said(velda::Text::NotDiskImage)},
        {"BROKEN.DSK", Said(velda::Text::BrokenFile)},        {"EMPTY.ZIP", Said(velda::Text::NoPictureInArchive)},
        {"BROKEN.ZIP", Said(velda::Text::BrokenInArchive)}, {"JUNK.ZIP", Said(velda::Text::NotZipArchive)}};
    for (const auto& [name, message] : refusals) {
        DialogScript script({{"", IDOK}});
        OpenBy(Way::CommandLine, folder + "/" + name);
        ASSERT_EQ(script.Seen().size(), 1u) << name;
        EXPECT_EQ(script.Seen()[0].texts, std::vector<std::string>{message}) << name;
        EXPECT_EQ(Title(), "GAME.ZIP:SUB/IN.DSK:A.SC5 - VELDA");
    }
}

// Ctrl+O shows the one dialog of every picture kind, and the window takes
// files dropped on it.
TEST_F(OpenByExtensionTest, CtrlOShowsThePictureDialogAndTheWindowTakesDrops) {
    DialogScript script({{"", IDCANCEL}});
    PressCtrl('O');
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].title, Said(velda::Text::PictureDialogTitle));
    bool filterShown = false;
    for (const ChildSeen& child : script.Seen()[0].children) {
        filterShown = filterShown || (child.id == FileTypeCombo && child.text == Said(velda::Text::PictureFilter));
    }
    EXPECT_TRUE(filterShown) << "the picture filter is not the first choice";
    EXPECT_EQ(Title(), "VELDA");
    EXPECT_TRUE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

// The name on the command line: quoted (the first one) or the whole line.
TEST(CommandLinePicture, IsTheFirstQuotedNameOrTheWholeLine) {
    const struct {
        const char* line;
        const char* picture;
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"A.SC5", "A.SC5"},
        {"\"C:\\my pics\\A B.SC7\"", "C:\\my pics\\A B.SC7"},
        {"  \"A.SC5\"  \"B.SC5\"", "A.SC5"},
        {"C:\\my pics\\A B.SC7  ", "C:\\my pics\\A B.SC7"},
        {"\"C:\\unclosed.SC8", "C:\\unclosed.SC8"},
    };
    for (const auto& c : cases) EXPECT_EQ(velda::CommandLinePicture(c.line), c.picture) << c.line;
}

}  // namespace
}  // namespace velda_test
