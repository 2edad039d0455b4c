// Names that no single code page holds, under each code page the tests run
// in, through the window and velda-convert.exe; a disk image's names in
// code page 932, as the MSX wrote them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/resource.h"
#include "test_disk.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

class UnicodeNamesTest : public MainWindowTest {
protected:
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* title;   // the window's, once it is shown; nullptr: refused
        std::string said;    // File information then, or the refusal
        const char* listed;  // what velda-convert.exe --list says
    };

    // The folder's files in their order; 絵AA and 表 (whose second byte is
    // 0x5C, '\') in the disk image.
    void SetUp() override {
        MainWindowTest::SetUp();
        const std::vector<uint8_t> picture = MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 29));
        TestDisk disk;
        disk.RootEntry(0, "\x8A\x47" "AA    SC5", 2, static_cast<uint32_t>(picture.size()));
        disk.RootEntry(1, "\x95\x5C      SC5", 40, static_cast<uint32_t>(picture.size()));
        disk.Store(2, picture);
        disk.Store(40, picture);
        const std::string info5 = Said(velda::Text::FileInfoFormat, 5, 0, 0x69FF);
        rows_ = {
            {"bad ü.SC5", {0x00, 1, 2, 3, 4, 5, 6, 7}, nullptr, Said(velda::Text::NotBsave), "bad ü.SC5: not a BSAVE"},
            {"Ωmega.SC7", PatternFile(30), "Ωmega.SC7", Said(velda::Text::FileInfoFormat, 7, 0, 0xFA9F),
             "Ωmega.SC7: BSAVE, SCREEN 7, 512 x 212\r\n"},
            {"絵 Ñ.SC5", picture, "絵 Ñ.SC5", info5, "絵 Ñ.SC5: BSAVE, SCREEN 5, 256 x 212\r\n"},
            {"JP.DSK", disk.bytes, "JP.DSK:絵AA.SC5", info5, "JP.DSK:表.SC5: BSAVE, SCREEN 5"},
        };
        folder_ = FreshFolder("名前 Ñ");
        for (const Row& row : rows_) WriteFile(PathOf(row.name), row.bytes);
    }

    std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }

    // velda-convert.exe on `arguments`, through cmd: its exit code, and what
    // it said into `said` (redirected, so UTF-8).
    int Convert(const std::string& arguments, std::string& said) {
        const std::string out = ScratchPath("converter.txt"), exe = WindowsPath(VELDA_CONVERT_EXE);
        const int code = _wsystem(velda::Widen("\"\"" + exe + "\" " + arguments + " >\"" + WindowsPath(out) + "\" 2>&1\"").c_str());
        const std::vector<uint8_t> bytes = ReadFile(out);
        said.assign(bytes.begin(), bytes.end());
        return code;
    }

    std::string folder_;
    std::vector<Row> rows_;
};

// The picture chosen in the Open dialog, then Page Up and Page Down through
// the folder, File information's caption read back at each; the disk image
// dropped, its names in the title; Save under a name of its own writes the
// converter's bytes.
TEST_F(UnicodeNamesTest, TheWindowOpensStepsToAndSavesEveryName) {
    const struct {
        int key;  // 0: as opened; -1: the file dropped
        std::size_t row;
    } steps[] = {{0, 2}, {VK_PRIOR, 1}, {VK_PRIOR, 0}, {VK_NEXT, 1}, {VK_NEXT, 2}, {-1, 3}};
    OpenFile(IDM_OPEN_BY_EXTENSION, PathOf(rows_[2].name));
    for (const auto& step : steps) {
        const Row& row = rows_[step.row];
        SCOPED_TRACE(row.name);
        const std::string before = Title();
        DialogScript script({{"", IDOK}});
        if (step.key > 0) PressKey(step.key);
        if (step.key < 0) DropFile(PathOf(row.name));
        ASSERT_EQ(script.Seen().size(), row.title == nullptr ? 1u : 0u);
        EXPECT_EQ(Title(), row.title == nullptr ? before : std::string(row.title) + " - VELDA");
        EXPECT_EQ(row.title == nullptr ? script.Seen()[0].texts.at(0) : FileInfoText(), row.said);
    }
    PressKey(VK_NEXT);
    EXPECT_EQ(Title(), "JP.DSK:表.SC5 - VELDA");

    OpenFile(IDM_OPEN_BY_EXTENSION, PathOf(rows_[2].name));
    DialogScript script({{WindowsPath(PathOf("保存 Ü.bmp")), IDOK}});
    Command(IDM_SAVE);
    PumpMessages();
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].fileName, "絵 Ñ.bmp");
    std::string said;
    EXPECT_EQ(Convert("\"" + WindowsPath(PathOf(rows_[2].name)) + "\"", said), 0);
    EXPECT_EQ(ReadFile(PathOf("保存 Ü.bmp")).size(), 27254u);
    EXPECT_TRUE(ReadFile(PathOf("保存 Ü.bmp")) == ReadFile(PathOf("絵 Ñ.bmp")));
}

// velda-convert.exe on every file: what it writes of each, and each name
// in its listing and messages.
TEST_F(UnicodeNamesTest, TheConverterTakesEveryName) {
    std::string inputs, said;
    for (const Row& row : rows_) inputs += " \"" + WindowsPath(PathOf(row.name)) + "\"";
    EXPECT_EQ(Convert(inputs, said), 1) << said;  // the damaged file
    for (const char* output : {"Ωmega.bmp", "絵 Ñ.bmp", "JP/絵AA.bmp", "JP/表.bmp"}) EXPECT_TRUE(FileExists(PathOf(output)));
    Convert("--list" + inputs, said);
    for (const Row& row : rows_) EXPECT_NE(said.find(row.listed), std::string::npos) << row.listed << said;
}

}  // namespace
}  // namespace velda_test
