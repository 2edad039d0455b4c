// The settings kept between runs under HKEY_CURRENT_USER\Software\VELDA:
// written when they change, restored by the next start, and a damaged value
// ignored without a word.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

// A value of the settings key: its type and bytes; REG_NONE for none.
struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<uint8_t> bytes;
};

StoredValue Number(DWORD value) {
    return {REG_DWORD, std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&value), reinterpret_cast<uint8_t*>(&value) + 4)};
}

StoredValue Text(const std::string& text) {
    return {REG_SZ, std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1)};
}

StoredValue ReadValue(const char* name) {
    StoredValue value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return value;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        value.type = type;
        value.bytes.resize(size);
        RegQueryValueExA(key, name, nullptr, &type, value.bytes.data(), &size);
    }
    RegCloseKey(key);
    return value;
}

void WriteValue(const char* name, const StoredValue& value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (value.type != REG_NONE) {
        RegSetValueExA(key, name, 0, value.type, value.bytes.data(), static_cast<DWORD>(value.bytes.size()));
    }
    RegCloseKey(key);
}

bool operator==(const StoredValue& a, const StoredValue& b) { return a.type == b.type && a.bytes == b.bytes; }

class SettingsTest : public MainWindowTest {
protected:
    // The folder the Open dialog of Ctrl+O shows first; cancelled.
    std::string OpenDialogFolder() {
        DialogScript script({{"", IDCANCEL}});
        PressCtrl('O');
        EXPECT_EQ(script.Seen().size(), 1u);
        return script.Seen().empty() ? "" : script.Seen()[0].folder;
    }
};

TEST_F(SettingsTest, ChangesAreWrittenAsTheyHappen) {
    EXPECT_EQ(ReadValue("Zoom").type, static_cast<DWORD>(REG_NONE));  // nothing written at start

    Command(IDM_ZOOM_3);
    EXPECT_TRUE(ReadValue("Zoom") == Number(3));
    EXPECT_TRUE(ReadValue("TvAspect") == Number(0));
    Command(IDM_TV_ASPECT);
    EXPECT_TRUE(ReadValue("TvAspect") == Number(1));
    PressKey(VK_SUBTRACT);
    EXPECT_TRUE(ReadValue("Zoom") == Number(2));

    const std::string folder = FreshFolder("last folder");
    WriteFile(folder + "/LAST.SC5", PatternFile(8));
    OpenFile(IDM_OPEN_BY_EXTENSION, folder + "/LAST.SC5");
    EXPECT_TRUE(ReadValue("LastFolder") == Text(WindowsPath(folder)));
}

// A fresh start takes the zoom, the aspect and, for the first Open dialog
// only, the folder, as an ANSI VELDA wrote it (its name in the code page of
// the run's locale, 932 or 1252, through RegSetValueExA); once a file is
// chosen the dialog opens at it as before.
TEST_F(SettingsTest, TheNextStartRestoresThem) {
    ASSERT_TRUE(GetACP() == 932 || GetACP() == 1252) << "not a code page of the test locales";
    const bool japanese = GetACP() == 932;
    const std::string last = FreshFolder(japanese ? "古い 絵" : "Vieux Ü");
    const std::string ansi = WindowsPath(ScratchPath("")) + (japanese ? "\x8C\xC3\x82\xA2 \x8A\x47" : "Vieux \xDC");
    const std::string other = FreshFolder("chosen later");
    WriteFile(other + "/OTHER.SC7", PatternFile(9));
    WriteValue("Zoom", Number(2));
    WriteValue("TvAspect", Number(1));
    WriteValue("LastFolder", Text(ansi));
    RestartWindow();

    EXPECT_EQ(velda::View.zoom, 2);
    EXPECT_TRUE(velda::View.tvAspect);
    EXPECT_TRUE(MenuState(IDM_ZOOM_2) & MF_CHECKED);
    EXPECT_FALSE(MenuState(IDM_ZOOM_1) & MF_CHECKED);
    EXPECT_TRUE(MenuState(IDM_TV_ASPECT) & MF_CHECKED);
    EXPECT_EQ(WindowSize().cx, velda::FrameExtraWidth + 1024);  // 256 wide, 2 x 2 x 2
    EXPECT_EQ(WindowSize().cy, velda::FrameExtraHeight + 848);

    EXPECT_EQ(OpenDialogFolder(), WindowsPath(last));
    OpenFile(IDM_OPEN_SCREEN7, other + "/OTHER.SC7");
    EXPECT_EQ(WindowSize().cx, velda::FrameExtraWidth + 1024);  // 512 wide, 2 x 2 across
    EXPECT_EQ(OpenDialogFolder(), WindowsPath(other));
}

// Each damaged value falls back to its default alone, without a message.
TEST_F(SettingsTest, DamagedValuesAreIgnoredSilently) {
    const std::string longFolder = "C:\\" + std::string(300, 'x');
    const struct {
        const char* what;
        StoredValue zoom, tvAspect, lastFolder;
        int expectedZoom;
        bool expectedTv;
    } cases[] = {
        {"zoom as text", Text("2"), Number(1), {}, 1, true},
        {"zoom 7", Number(7), {}, {}, 1, false},
        {"zoom 0", Number(0), Number(1), {}, 1, true},
        {"aspect 2", Number(3), Number(2), {}, 3, false},
        {"aspect as text", Number(2), Text("1"), {}, 2, false},
        {"folder too long", Number(2), {}, Text(longFolder), 2, false},
        {"folder as a number", {}, {}, Number(1), 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteSettings();
        WriteValue("Zoom", c.zoom);
        WriteValue("TvAspect", c.tvAspect);
        WriteValue("LastFolder", c.lastFolder);
        DialogScript script({});
        RestartWindow();
        EXPECT_TRUE(script.Seen().empty()) << "a message at start";
        EXPECT_EQ(velda::View.zoom, c.expectedZoom);
        EXPECT_EQ(velda::View.tvAspect, c.expectedTv);
        EXPECT_EQ(velda::LastOpenFolder, "");
        const int block = c.expectedZoom * (c.expectedTv ? 2 : 1);
        EXPECT_EQ(WindowSize().cx, velda::FrameExtraWidth + 256 * block);
        EXPECT_EQ(WindowSize().cy, velda::FrameExtraHeight + 212 * block);
    }
}

}  // namespace
}  // namespace velda_test
