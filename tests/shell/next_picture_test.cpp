// Next and previous picture through the real keys and accelerators: the
// pictures of a folder in order, the files that are not stepped to, a file
// that fails on the way, both ends, and every way of opening the first one.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "image/bsave_loader.h"
#include "image/vram_image.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

// A SCREEN 7 palette that is not the power-on one.
std::vector<uint8_t> GreyPalette() {
    std::vector<uint8_t> palette(velda::PaletteBytes);
    for (int i = 0; i < velda::PaletteSize; ++i) {
        palette[2 * i] = static_cast<uint8_t>(((i / 2) << 4) | (i / 2));
        palette[2 * i + 1] = static_cast<uint8_t>(i / 2);
    }
    return palette;
}

class NextPictureTest : public MainWindowTest {
protected:
    // The folder: pictures of three readers and four modes, a palette
    // file, a second page, a text file and a damaged picture. Lower case
    // d2.ge5 comes after D.TXT only when case is ignored.
    void SetUp() override {
        MainWindowTest::SetUp();
        folder_ = FreshFolder("browse");
        std::vector<uint8_t> damaged = PatternFile(5);
        damaged[0] = 0x00;
        const struct {
            const char* name;
            std::vector<uint8_t> bytes;
        } files[] = {
            {"A.SC5", PatternFile(1)},
            {"B.SR7", RawGraphSaurus(NoiseBytes(0xD400, 2))},
            {"B.PL7", GreyPalette()},
            {"C.S17", PatternFile(3)},
            {"D.TXT", PatternFile(4)},
            {"d2.ge5", PatternFile(6)},
            {"E.SC8", damaged},
            {"E2.sc2", PatternFile(8, 0x3FFF)},
            {"F.SCC", PatternFile(7)},
        };
        for (const auto& file : files) WriteFile(folder_ + "/" + file.name, file.bytes);
    }

    std::string PathOf(const std::string& name) const { return WindowsPath(folder_ + "/" + name); }

    // Presses `key` with a message box answered; the texts of the boxes.
    std::vector<std::string> Step(int key) {
        DialogScript script({{"", IDOK}});
        PressKey(key);
        std::vector<std::string> texts;
        for (const DialogSeen& seen : script.Seen()) texts.insert(texts.end(), seen.texts.begin(), seen.texts.end());
        return texts;
    }

    std::string folder_;
};

TEST_F(NextPictureTest, KeysStepThroughThePicturesOfTheFolderInNameOrder) {
    OpenFile(IDM_OPEN_SCREEN5, folder_ + "/A.SC5");
    // After Save, CurrentFile.path names the BMP, elsewhere: the keys still
    // step from the picture.
    const std::string bmp = FreshFolder("browse elsewhere") + "/A.bmp";
    {
        DialogScript script({{WindowsPath(bmp), IDOK}});
        Command(IDM_SAVE);
        PumpMessages();
    }
    ASSERT_EQ(ReadFile(bmp).size(), 27254u);

    enum Outcome { Shows, Fails, End };
    const struct {
        int key;
        Outcome outcome;
        const char* name;  // the picture shown afterwards
        uint8_t screen;
    } steps[] = {
        {VK_NEXT, Shows, "B.SR7", 7},   {VK_SPACE, Shows, "d2.ge5", 5}, {VK_NEXT, Fails, "d2.ge5", 5},
        {VK_NEXT, Shows, "E2.sc2", 2},  {VK_NEXT, Shows, "F.SCC", 12},  {VK_SPACE, End, "F.SCC", 12},
        {VK_PRIOR, Shows, "E2.sc2", 2}, {VK_PRIOR, Fails, "E2.sc2", 2}, {VK_BACK, Shows, "d2.ge5", 5},
        {VK_PRIOR, Shows, "B.SR7", 7},  {VK_BACK, Shows, "A.SC5", 5},   {VK_PRIOR, End, "A.SC5", 5},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.name) + " " + std::to_string(step.key));
        const std::vector<uint32_t> canvasBefore = ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight);
        const std::string pathBefore = Model().CurrentFile.path;
        const std::vector<std::string> messages = Step(step.key);

        EXPECT_EQ(Title(), std::string(step.name) + " - VELDA");
        EXPECT_EQ(Model().ScreenMode, step.screen);
        const std::vector<uint32_t> canvas = ReadPixels(velda::Canvas.dc, velda::CanvasWidth, velda::CanvasHeight);
        if (step.outcome == Shows) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(Model().CurrentFile.path, PathOf(step.name));
            EXPECT_FALSE(canvas == canvasBefore);
        } else {
            EXPECT_EQ(messages, step.outcome == Fails ? std::vector<std::string>{Said(velda::Text::NotBsave)}
                                                      : std::vector<std::string>{});
            EXPECT_EQ(Model().CurrentFile.path, pathBefore);
            EXPECT_TRUE(canvas == canvasBefore);
        }
        // The Graph Saurus picture takes the palette file beside it, as
        // Open by extension does.
        if (step.outcome == Shows && step.screen == 7) {
            EXPECT_TRUE(std::equal(Model().MsxPalette, Model().MsxPalette + velda::PaletteBytes, GreyPalette().begin()));
        }
    }
}

// Open by extension, the command line and a drop each set the picture the
// keys step from; before any Open there is none.
TEST_F(NextPictureTest, EveryOpenSetsWhereTheKeysStepFrom) {
    EXPECT_TRUE(Step(VK_NEXT).empty());
    EXPECT_EQ(Title(), "VELDA");

    const std::string d2 = folder_ + "/d2.ge5";
    const std::vector<std::function<void()>> ways = {
        [&] { OpenFile(IDM_OPEN_BY_EXTENSION, d2); },
        [&] { velda::OpenStartupPicture(window_, ("\"" + WindowsPath(d2) + "\"").c_str()); },
        [&] { DropFile(d2); },
    };
    for (std::size_t i = 0; i < ways.size(); ++i) {
        SCOPED_TRACE(i);
        Command(IDM_CLEAR);
        ways[i]();
        ASSERT_EQ(Title(), "d2.ge5 - VELDA");
        EXPECT_TRUE(Step(VK_PRIOR).empty());
        EXPECT_EQ(Title(), "B.SR7 - VELDA");
    }
}

}  // namespace
}  // namespace velda_test
