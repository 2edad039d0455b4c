// Bad inputs through the real window and the real common dialogs: files the
// loader rejects, files it accepts although they are odd, names the dialogs
// refuse, and outputs that cannot be written. Each case checks what the user
// is told and that nothing else changed or was left half-written.
//
// The full-disk case needs a small file system mounted by a wrapper around
// the Wine run (full_disk_run.sh); it names the folder in the environment
// variable VELDA_FULL_DISK_DIR and the test skips itself without it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "export/bmp_headers.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

constexpr uint32_t White = 0x00FFFFFF;
constexpr uint32_t Black = 0x00000000;

// Everything an Open or Save must leave alone when it fails.
struct WindowState {
    std::string title;
    SIZE size;
    UINT saveItem;
    UINT infoItem;
    uint8_t screenMode;
    std::vector<uint32_t> canvas;
    std::vector<uint8_t> vram;
    std::vector<uint8_t> palette;
    velda::ExportHeadersRecord headers;
    uint16_t startAddress;
    uint16_t endAddress;
};

// Which dialog the leftover canceller closes, and whether it did.
struct Leftover {
    const DialogScript* script = nullptr;
    int quietTicks = 0;
    bool cancelled = false;
};
Leftover* gLeftover = nullptr;

// Once every planned step is used, the first dialog of the script is still
// up (a dialog that refuses a name with its own message stays open) and
// nothing is shown over it: cancel it, as a user would.
void CALLBACK CancelLeftover(HWND, UINT, UINT_PTR, DWORD) {
    if (gLeftover == nullptr || gLeftover->cancelled || !gLeftover->script->AllStepsUsed()) return;
    const std::vector<DialogSeen>& seen = gLeftover->script->Seen();
    if (seen.empty()) return;
    HWND dialog = seen[0].dialog;
    if (!IsWindow(dialog) || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) {
        gLeftover->quietTicks = 0;
        return;
    }
    if (++gLeftover->quietTicks < 5) return;
    gLeftover->cancelled = true;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// The names in a folder (a Unix path), "." and ".." left out.
std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((WindowsPath(folder) + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

class BadInputWindowTest : public MainWindowTest {
protected:
    WindowState Snapshot() const {
        WindowState state;
        state.title = Title();
        state.size = WindowSize();
        state.saveItem = MenuState(IDM_SAVE);
        state.infoItem = MenuState(IDM_FILEINFO);
        state.screenMode = Model().ScreenMode;
        state.canvas = ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight);
        state.vram.assign(Model().VramImage, Model().VramImage + velda::VramBytes);
        state.palette.assign(Model().MsxPalette, Model().MsxPalette + velda::PaletteBytes);
        state.headers = Model().ExportHeaders;
        state.startAddress = Model().CurrentFile.startAddress;
        state.endAddress = Model().CurrentFile.endAddress;
        return state;
    }

    void ExpectUnchanged(const WindowState& before) const {
        const WindowState now = Snapshot();
        EXPECT_EQ(now.title, before.title);
        EXPECT_EQ(now.size.cx, before.size.cx);
        EXPECT_EQ(now.size.cy, before.size.cy);
        EXPECT_EQ(now.saveItem, before.saveItem);
        EXPECT_EQ(now.infoItem, before.infoItem);
        EXPECT_EQ(now.screenMode, before.screenMode);
        EXPECT_TRUE(now.canvas == before.canvas) << "the canvas changed";
        EXPECT_TRUE(now.vram == before.vram) << "VramImage changed";
        EXPECT_TRUE(now.palette == before.palette) << "MsxPalette changed";
        EXPECT_EQ(0, std::memcmp(&now.headers, &before.headers, sizeof now.headers)) << "ExportHeaders changed";
        EXPECT_EQ(now.startAddress, before.startAddress);
        EXPECT_EQ(now.endAddress, before.endAddress);
    }

    // Runs an Open command answered with `path`; a second dialog, if the
    // program or the dialog shows one, is answered OK. Returns what was shown.
    std::vector<DialogSeen> OpenAnswered(unsigned id, const std::string& path) {
        DialogScript script({{WindowsPath(path), IDOK}, {"", IDOK}});
        Command(id);
        PumpMessages();
        return script.Seen();
    }

    // Runs a command whose first dialog is answered OK with `typed` and then
    // stays open; further dialogs are answered OK, and the first one is
    // cancelled once nothing else is shown over it.
    std::vector<DialogSeen> CommandWithLeftover(unsigned id, const std::string& typed, int extraDialogs,
                                                Leftover& leftover) {
        std::vector<DialogStep> steps = {{typed, IDOK}};
        for (int i = 0; i < extraDialogs; ++i) steps.push_back({"", IDOK});
        DialogScript script(steps);
        leftover.script = &script;
        gLeftover = &leftover;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, CancelLeftover);
        Command(id);
        PumpMessages();
        KillTimer(nullptr, timer);
        gLeftover = nullptr;
        leftover.script = nullptr;
        return script.Seen();
    }

    // Runs Save answered OK with `typed`, and OK for a message after it.
    std::vector<DialogSeen> SaveAs(const std::string& typed) {
        DialogScript script({{typed, IDOK}, {"", IDOK}});
        Command(IDM_SAVE);
        PumpMessages();
        return script.Seen();
    }

    void ShowPicture(unsigned id, const std::string& name, uint32_t seed) {
        const std::string path = ScratchPath(name);
        WriteFile(path, PatternFile(seed));
        OpenFile(id, path);
        ASSERT_EQ(Title(), name + " - VELDA");
    }
};

void ExpectMessage(const std::vector<DialogSeen>& seen, const std::string& text) {
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].title, "VELDA");
    ASSERT_EQ(seen[1].texts.size(), 1u);
    EXPECT_EQ(seen[1].texts[0], text);
}

// The rejected kinds: each gets "not a BSAVE file" in a box titled VELDA,
// and the window, the picture in memory and the addresses stay as they
// were, from the empty window and from a picture on screen alike.
TEST_F(BadInputWindowTest, RejectedFilesShowTheMessageAndChangeNothing) {
    std::vector<uint8_t> wrongId = PatternFile(2);
    wrongId[0] = 0xFD;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } rejected[] = {
        {"EMPTY.SC5", {}},
        {"ONEBYTE.SC5", {0xFE}},
        {"SIXBYTES.SC5", {0xFE, 0x00, 0x00, 0x9F, 0x76, 0x00}},
        {"ZEROID.SC5", MakeBsave(0, 0x769F, std::vector<uint8_t>(0x76A0, 0x33), 0x00)},
        {"FDID.SC5", wrongId},
        {"BACKWARD.SC5", MakeBsave(0x0100, 0x00FF, std::vector<uint8_t>(64, 0x44))},
    };
    for (const bool showing : {false, true}) {
        if (showing) ShowPicture(IDM_OPEN_SCREEN7, "SHOWN.SC7", 7);
        for (const auto& bad : rejected) {
            SCOPED_TRACE(std::string(bad.name) + (showing ? " over a picture" : " in the empty window"));
            const std::string path = ScratchPath(bad.name);
            WriteFile(path, bad.bytes);
            const WindowState before = Snapshot();
            const std::vector<DialogSeen> seen = OpenAnswered(IDM_OPEN_SCREEN10, path);
            ExpectMessage(seen, Said(velda::Text::NotBsave));
            ExpectUnchanged(before);
            EXPECT_EQ(ReadFile(path), bad.bytes);  // the file itself is untouched
        }
    }
    EXPECT_EQ(Title(), "SHOWN.SC7 - VELDA");
    EXPECT_EQ(Model().ScreenMode, 7);
}

// Files the Open by extension refuses, each with the message that says why
// in a box titled VELDA; the picture on screen, the window and the memory
// stay. A name whose extension says nothing is refused the same way when it
// comes on the command line or is dropped on the window.
TEST_F(BadInputWindowTest, OpenByExtensionRefusalsSayWhyAndChangeNothing) {
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* besideName;  // a palette file beside it, or nullptr
        std::vector<uint8_t> besideBytes;
        std::string message;
    } refused[] = {
        {"NOTES.TXT", PatternFile(1), nullptr, {}, Said(velda::Text::UnknownKind)},
        {"NOEXT", PatternFile(1), nullptr, {}, Said(velda::Text::UnknownKind)},
        {"COLOURS.PL5", std::vector<uint8_t>(velda::PaletteBytes, 0x11), nullptr, {}, Said(velda::Text::PaletteFile)},
        {"NOMARK.SC5", MakeBsave(0, 0x769F, std::vector<uint8_t>(0x76A0, 0x33), 0x00), nullptr, {},
         Said(velda::Text::NotBsave)},
        {"NOMARK.S17", {0x12, 0, 0, 0, 0, 0, 0, 1}, nullptr, {}, Said(velda::Text::NotBsave)},
        {"NOTSAURUS.SR7", {0x12, 0, 0, 0, 0, 0, 0, 1}, nullptr, {}, Said(velda::Text::NotGraphSaurus)},
        {"CUT.SR8", {0xFD, 0, 0, 3, 0, 0, 0, 0x20, 0x00, 0x05}, nullptr, {}, Said(velda::Text::CutOff)},
        {"BADPAL.SR5", RawGraphSaurus(NoiseBytes(0x6A00, 3)), "BADPAL.PL5", {1, 2, 3, 4, 5},
         Said(velda::Text::NotPalette)},
    };
    ShowPicture(IDM_OPEN_SCREEN6, "SHOWN.SC6", 6);
    for (const auto& bad : refused) {
        SCOPED_TRACE(bad.name);
        const std::string path = ScratchPath(bad.name);
        WriteFile(path, bad.bytes);
        if (bad.besideName != nullptr) WriteFile(ScratchPath(bad.besideName), bad.besideBytes);
        const WindowState before = Snapshot();
        ExpectMessage(OpenAnswered(IDM_OPEN_BY_EXTENSION, path), bad.message);
        ExpectUnchanged(before);
        EXPECT_EQ(Model().CurrentFile.path, WindowsPath(path));  // the choice is remembered
    }

    const std::string unknown = ScratchPath("NOTES.TXT");
    const std::string pathBefore = Model().CurrentFile.path;
    const WindowState before = Snapshot();
    for (const bool dropped : {false, true}) {
        SCOPED_TRACE(dropped ? "dropped" : "on the command line");
        DialogScript script({{"", IDOK}});
        if (dropped) {
            DropFile(unknown);
        } else {
            velda::OpenStartupPicture(window_, ("\"" + WindowsPath(unknown) + "\"").c_str());
            PumpMessages();
        }
        ASSERT_EQ(script.Seen().size(), 1u);
        EXPECT_EQ(script.Seen()[0].title, "VELDA");
        EXPECT_EQ(script.Seen()[0].texts, std::vector<std::string>{Said(velda::Text::UnknownKind)});
        ExpectUnchanged(before);
        EXPECT_EQ(Model().CurrentFile.path, pathBefore);
    }
}

// A file that ends inside its data is accepted without a message: the bytes
// present are placed, the rest of the mode's range is zero or the power-on
// palette, and above the range nothing of the earlier picture is left.
TEST_F(BadInputWindowTest, DataShorterThanTheHeaderSaysIsAccepted) {
    ShowPicture(IDM_OPEN_SCREEN7, "BEFORE.SC7", 70);  // fills memory up to 0xFA9F
    const velda::ModeInfo* mode = velda::FindMode(5);

    // Two lines of pixels out of the 0x76A0 bytes the header announces.
    const std::string path = ScratchPath("SHORT.SC5");
    WriteFile(path, MakeBsave(0, 0x769F, std::vector<uint8_t>(0x100, 0x5A)));
    const std::vector<DialogSeen> seen = OpenAnswered(IDM_OPEN_SCREEN5, path);
    EXPECT_EQ(seen.size(), 1u) << "no message for a short file";
    EXPECT_EQ(Title(), "SHORT.SC5 - VELDA");
    EXPECT_EQ(Model().ScreenMode, 5);
    EXPECT_EQ(WindowSize().cx, velda::FrameExtraWidth + 256);
    EXPECT_FALSE(MenuState(IDM_SAVE) & MF_GRAYED);
    EXPECT_EQ(Model().CurrentFile.startAddress, 0x0000);
    EXPECT_EQ(Model().CurrentFile.endAddress, 0x769F);
    for (int a = 0; a < 0x10000; ++a) {
        uint8_t expected;
        if (a < 0x100) expected = 0x5A;
        else if (a < mode->paletteAddress) expected = 0;
        else if (a < mode->clearBytes) expected = velda::DefaultPalette[a - mode->paletteAddress];
        else expected = 0;
        ASSERT_EQ(Model().VramImage[a], expected) << "address " << a;
    }
    EXPECT_EQ(0, std::memcmp(Model().MsxPalette, velda::DefaultPalette, velda::PaletteBytes));

    // Lines 0 and 1 show palette colours 5 and 10 in turn, the rest colour 0
    // (power-on black); the right half of the canvas stays white.
    const uint32_t five = ToPixel(velda::PaletteEntryToRgb(velda::DefaultPalette[10], velda::DefaultPalette[11]));
    const uint32_t ten = ToPixel(velda::PaletteEntryToRgb(velda::DefaultPalette[20], velda::DefaultPalette[21]));
    ExpectCanvas([&](int x, int y) { return x >= 256 ? White : y >= 2 ? Black : x % 2 == 0 ? five : ten; });

    // Ending inside the palette table: entries 0 to 7 from the file, 8 to 15
    // the power-on ones.
    std::vector<uint8_t> data(0x7690, 0x00);
    for (int i = 0; i < 16; ++i) data[0x7680 + i] = static_cast<uint8_t>(i % 2 == 0 ? 0x70 + i / 2 : 0x07);
    WriteFile(path, MakeBsave(0, 0x769F, data));
    EXPECT_EQ(OpenAnswered(IDM_OPEN_SCREEN5, path).size(), 1u);
    EXPECT_EQ(0, std::memcmp(Model().MsxPalette, data.data() + 0x7680, 16));
    EXPECT_EQ(0, std::memcmp(Model().MsxPalette + 16, velda::DefaultPalette + 16, 16));
}

// Bytes after the end address are not read.
TEST_F(BadInputWindowTest, DataLongerThanTheHeaderSaysIsCutAtTheEndAddress) {
    std::vector<uint8_t> data(0x300, 0xEE);
    std::fill(data.begin(), data.begin() + 0x100, 0x1D);
    const std::string path = ScratchPath("LONG.SC8");
    WriteFile(path, MakeBsave(0, 0x00FF, data));
    const std::vector<DialogSeen> seen = OpenAnswered(IDM_OPEN_SCREEN8, path);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(Title(), "LONG.SC8 - VELDA");
    EXPECT_EQ(Model().CurrentFile.endAddress, 0x00FF);
    for (int a = 0; a < 0x10000; ++a) ASSERT_EQ(Model().VramImage[a], a < 0x100 ? 0x1D : 0) << "address " << a;

    const uint32_t line0 = ToPixel(velda::Screen8ValueToRgb(0x1D));
    ExpectCanvas([&](int x, int y) { return x >= 256 ? White : y == 0 ? line0 : Black; });
}

// Data placed at a start address above 0; the bytes below it are zero.
TEST_F(BadInputWindowTest, StartAddressAboveZeroLeavesTheBytesBelowAtZero) {
    ShowPicture(IDM_OPEN_SCREEN8, "FULL.SC8", 8);  // nothing below 0x1000 is zero now
    const std::string path = ScratchPath("HIGH.SC8");
    WriteFile(path, MakeBsave(0x1000, 0x10FF, std::vector<uint8_t>(0x100, 0x77)));
    const std::vector<DialogSeen> seen = OpenAnswered(IDM_OPEN_SCREEN8, path);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(Title(), "HIGH.SC8 - VELDA");
    EXPECT_EQ(Model().CurrentFile.startAddress, 0x1000);
    EXPECT_EQ(Model().CurrentFile.endAddress, 0x10FF);
    for (int a = 0; a < velda::FindMode(8)->clearBytes; ++a) {
        ASSERT_EQ(Model().VramImage[a], a >= 0x1000 && a < 0x1100 ? 0x77 : 0) << "address " << a;
    }
    // Line 16 (0x1000 / 256) shows the colour of 0x77, every other line black.
    const uint32_t line16 = ToPixel(velda::Screen8ValueToRgb(0x77));
    ExpectCanvas([&](int x, int y) { return x >= 256 ? White : y == 16 ? line16 : Black; });
}

// A SCREEN 5 file of the palette table alone (0x7680-0x769F) is a picture:
// every pixel is colour 0, black here, and the palette is the file's, as
// the saved bitmap's colour table shows.
TEST_F(BadInputWindowTest, PaletteOnlyFileIsABlackPictureInThatPalette) {
    std::vector<uint8_t> palette(velda::PaletteBytes);
    for (int i = 1; i < 16; ++i) {
        palette[2 * i] = static_cast<uint8_t>(((i & 7) << 4) | (7 - (i & 7)));
        palette[2 * i + 1] = static_cast<uint8_t>((i >> 1) & 7);
    }
    const std::string path = ScratchPath("PALONLY.SC5");
    WriteFile(path, MakeBsave(0x7680, 0x769F, palette));
    const std::vector<DialogSeen> seen = OpenAnswered(IDM_OPEN_SCREEN5, path);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(Title(), "PALONLY.SC5 - VELDA");
    EXPECT_EQ(Model().ScreenMode, 5);
    EXPECT_TRUE(std::equal(palette.begin(), palette.end(), Model().MsxPalette));
    ExpectCanvas([](int x, int) { return x < 256 ? Black : White; });

    ASSERT_EQ(SaveAs("").size(), 1u);
    const std::vector<uint8_t> bmp = ReadFile(ScratchPath("PALONLY.bmp"));
    ASSERT_EQ(bmp.size(), 27254u);
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        const uint8_t* quad = bmp.data() + 54 + 4 * i;
        EXPECT_EQ(quad[0], (palette[2 * i] & 0x07) << 5);      // blue
        EXPECT_EQ(quad[1], (palette[2 * i + 1] & 0x07) << 5);  // green
        EXPECT_EQ(quad[2], (palette[2 * i] & 0x70) << 1);      // red
        EXPECT_EQ(quad[3], 0);
    }
    for (std::size_t i = 118; i < bmp.size(); ++i) ASSERT_EQ(bmp[i], 0) << "offset " << i;
}

// A file held open by another program without sharing exists, passes the
// dialog, and cannot be opened: "cannot open" in a box titled VELDA, and the
// picture on screen stays.
TEST_F(BadInputWindowTest, UnreadableFileIsReportedAndChangesNothing) {
    ShowPicture(IDM_OPEN_SCREEN8, "BEFORE.SC8", 18);
    const std::string path = ScratchPath("HELD.SC5");
    WriteFile(path, PatternFile(19));
    const WindowState before = Snapshot();
    HANDLE lock = CreateFileA(WindowsPath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::vector<DialogSeen> seen = OpenAnswered(IDM_OPEN_SCREEN5, path);
    CloseHandle(lock);
    ExpectMessage(seen, Said(velda::Text::CannotOpen));
    ExpectUnchanged(before);
    EXPECT_EQ(Model().CurrentFile.path, WindowsPath(path));  // the choice is remembered

    // Once the other program lets go, the same file opens.
    EXPECT_EQ(OpenAnswered(IDM_OPEN_SCREEN5, path).size(), 1u);
    EXPECT_EQ(Title(), "HELD.SC5 - VELDA");
}

// Save into a folder that does not exist. Wine's Save dialog hands the name
// back (Windows' own may refuse it itself with its own message); the program
// then cannot create the file and says so. Nothing is created either way.
TEST_F(BadInputWindowTest, SaveIntoAMissingFolderCreatesNothing) {
    ShowPicture(IDM_OPEN_SCREEN5, "KEEP.SC5", 25);
    const std::string folder = ScratchPath("NOFOLDER");
    const std::string target = folder + "/OUT.bmp";
    const WindowState before = Snapshot();
    Leftover leftover;
    const std::vector<DialogSeen> seen = CommandWithLeftover(IDM_SAVE, WindowsPath(target), 1, leftover);
    ASSERT_EQ(seen.size(), 2u);
    if (seen[1].title == "VELDA") {
        ExpectSaveMessage(seen, velda::Text::CannotCreate, true);
        EXPECT_FALSE(leftover.cancelled);
        EXPECT_EQ(Model().CurrentFile.path, WindowsPath(target));
    } else {
        EXPECT_TRUE(leftover.cancelled) << "the dialog refused the name itself and was cancelled";
    }
    EXPECT_FALSE(FileExists(folder));
    EXPECT_FALSE(FileExists(target));
    ExpectUnchanged(before);
}

// A read-only output file is not replaced: "cannot create" in a box titled
// VELDA, and the file keeps its bytes and its attribute. (Under Wine a
// process running as root is not stopped by the file system here, so the
// program itself must respect the attribute.)
TEST_F(BadInputWindowTest, ReadOnlyOutputFileIsReportedAndKept) {
    ShowPicture(IDM_OPEN_SCREEN10, "KEEP.SCA", 26);
    const std::string target = ScratchPath("READONLY.bmp");
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    WriteFile(target, old);
    ASSERT_TRUE(SetFileAttributesA(WindowsPath(target).c_str(), FILE_ATTRIBUTE_READONLY));
    const WindowState before = Snapshot();
    const std::vector<DialogSeen> seen = SaveAs(WindowsPath(target));
    const DWORD attributes = GetFileAttributesA(WindowsPath(target).c_str());
    SetFileAttributesA(WindowsPath(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    ExpectSaveMessage(seen, velda::Text::CannotCreate, false);
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    ExpectUnchanged(before);
}

// A Save that fails part-way, on a file system that fills up: "writing
// failed" and the system's reason in a box titled VELDA, no partial or
// temporary file is left, and a file it was to replace is kept.
class BadInputFullDiskTest : public BadInputWindowTest {};

TEST_F(BadInputFullDiskTest, SaveThatFailsPartWayLeavesNoFile) {
    const char* full = std::getenv("VELDA_FULL_DISK_DIR");
    if (full == nullptr || full[0] == '\0') {
        GTEST_SKIP() << "needs a small file system from full_disk_run.sh (run as root)";
    }
    const std::string folder = full;
    ASSERT_TRUE(FolderNames(folder).empty()) << "the small file system starts empty";
    ShowPicture(IDM_OPEN_SCREEN12, "BIG.S12", 12);  // a 162,870-byte bitmap
    const WindowState before = Snapshot();
    const std::string target = folder + "/BIG.bmp";
    const std::vector<DialogSeen> seen = SaveAs(WindowsPath(target));
    ExpectSaveMessage(seen, velda::Text::WriteFailed, true);
    EXPECT_FALSE(FileExists(target));
    EXPECT_TRUE(FolderNames(folder).empty());
    ExpectUnchanged(before);

    // A picture that fits is saved there afterwards: the space came back.
    ShowPicture(IDM_OPEN_SCREEN5, "SMALL.SC5", 5);
    const std::string small = folder + "/SMALL.bmp";
    ASSERT_EQ(SaveAs(WindowsPath(small)).size(), 1u);
    const std::vector<uint8_t> saved = ReadFile(small);
    EXPECT_EQ(saved.size(), 27254u);

    // The big picture saved over it fails too, and the file it was to
    // replace is kept byte for byte.
    ShowPicture(IDM_OPEN_SCREEN12, "BIG.S12", 12);
    ExpectSaveMessage(SaveAs(WindowsPath(small)), velda::Text::WriteFailed, true);
    EXPECT_EQ(ReadFile(small), saved);
    EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"SMALL.bmp"});
}

}  // namespace
}  // namespace velda_test
