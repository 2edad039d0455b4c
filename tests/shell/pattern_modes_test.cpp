// SCREEN 1-4 pictures and sprites in the real window: a .SC2 from the
// command line and dropped, at its own size; the View menu's MSX1 colours
// and sprites, drawn, saved, told by File information and kept between
// runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/picture_file.h"
#include "render/picture.h"
#include "render/picture_shapes.h"
#include "shell/resource.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"
#include "test_support.h"
#include "window_test_support.h"

namespace velda_test {
namespace {

// Video memory of a SCREEN 2 picture with 16 x 16 sprites from line 41 on.
std::vector<uint8_t> Screen2Memory() {
    std::vector<uint8_t> memory = NoiseBytes(0x4000, 202);
    std::fill(memory.begin() + 0x3800, memory.end(), 0xFF);
    for (int n = 0; n < 32; ++n) {
        memory[0x1B00 + 4 * n] = static_cast<uint8_t>(40 + 4 * n);
        memory[0x1B00 + 4 * n + 3] = static_cast<uint8_t>(n % 15 + 1);
    }
    return memory;
}

// The picture the core makes of `file` (a .SC2) with `options`, and its BMP.
velda::Picture CorePicture(const std::vector<uint8_t>& file, const velda::PictureOptions& options) {
    velda::ScreenPage page;
    EXPECT_TRUE(OpenBsave(2, file, page));
    return velda::MakePicture(velda::ViewOf(page), options);
}
std::vector<uint8_t> CoreBmp(const velda::Picture& picture) {
    std::vector<uint8_t> bytes;
    velda::ByteSink sink{bytes};
    velda::EncodeBmp(sink, picture, velda::PrepareExportHeaders(picture));
    return bytes;
}

class PatternModesTest : public MainWindowTest {
protected:
    // What File information says of a SCREEN 2 file ending at `end`, then `more`.
    static std::string InfoOf(uint16_t end, const std::string& more) {
        return Said(velda::Text::FileInfoFormat, 2, 0, end) + more;
    }
    // The canvas shows `picture` at its top left, the rest white.
    void ExpectShown(const velda::Picture& picture) {
        ExpectCanvas([&](int x, int y) {
            return x < picture.width && y < picture.height ? ToPixel(velda::PixelColor(picture, x, y)) : 0xFFFFFFu;
        });
    }
    std::vector<uint8_t> Saved() {
        const std::string bmp = ScratchPath("pattern.bmp");
        DialogScript script({{WindowsPath(bmp), IDOK}});
        Command(IDM_SAVE);
        PumpMessages();
        EXPECT_EQ(script.Seen().size(), 1u) << "a message after Save";
        return ReadFile(bmp);
    }
};

TEST_F(PatternModesTest, Screen2FromTheCommandLineWithTheViewChoices) {
    const std::string folder = FreshFolder("pattern modes");
    const std::vector<uint8_t> file = MakeBsave(0, 0x3FFF, Screen2Memory());
    WriteFile(folder + "/TITLE.SC2", file);
    velda::OpenStartupPicture(window_, ("\"" + WindowsPath(folder + "/TITLE.SC2") + "\"").c_str());
    PumpMessages();
    EXPECT_EQ(Title(), "TITLE.SC2 - VELDA");
    EXPECT_EQ(WindowSize().cx, velda::FrameExtraWidth + 256);
    EXPECT_EQ(WindowSize().cy, velda::FrameExtraHeight + 192);

    // Each View choice, and the picture made with the choices so far.
    const struct {
        unsigned command;
        velda::ColorRule colors;
        velda::SpriteOptions sprites;
        std::string info;
    } steps[] = {
        {0, velda::ColorRule::Velda, {}, ""},
        {IDM_SPRITES_16, velda::ColorRule::Velda, {16, false}, Said(velda::Text::SpritesDrawn)},
        {IDM_MSX1_COLORS, velda::ColorRule::Msx1, {16, false}, Said(velda::Text::SpritesDrawn)},
        {IDM_SPRITES_8X2, velda::ColorRule::Msx1, {8, true}, Said(velda::Text::SpritesDrawn)},
        {IDM_SPRITES_NONE, velda::ColorRule::Msx1, {}, ""},
        {IDM_MSX1_COLORS, velda::ColorRule::Velda, {}, ""},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.command);
        if (step.command != 0) Command(step.command);
        const velda::Picture picture = CorePicture(file, {step.colors, velda::Interlace::Auto, velda::Aspect::Raw, step.sprites});
        ExpectShown(picture);
        EXPECT_EQ(Saved(), CoreBmp(picture));
        EXPECT_EQ(Title(), "TITLE.SC2 - VELDA");
        EXPECT_EQ(FileInfoText(), InfoOf(0x3FFF, step.info));
        EXPECT_EQ((MenuState(IDM_MSX1_COLORS) & MF_CHECKED) != 0, step.colors == velda::ColorRule::Msx1);
    }

    // A file that stops before the sprite patterns shows its picture alone, and says so.
    Command(IDM_SPRITES_16X2);
    const std::vector<uint8_t> memory = Screen2Memory();
    const std::vector<uint8_t> bare = MakeBsave(0, 0x37FF, std::vector<uint8_t>(memory.begin(), memory.begin() + 0x3800));
    WriteFile(folder + "/BARE.GRP", bare);
    DropFile(folder + "/BARE.GRP");
    ExpectShown(CorePicture(bare, velda::PictureOptions{}));
    EXPECT_EQ(FileInfoText(), InfoOf(0x37FF, Said(velda::Text::NoSpriteTables)));

    // Kept between runs.
    RestartWindow();
    EXPECT_TRUE(velda::View.sprites.size == 16 && velda::View.sprites.magnified && !velda::View.msx1Colors);
    EXPECT_TRUE((MenuState(IDM_SPRITES_16X2) & MF_CHECKED) && !(MenuState(IDM_SPRITES_NONE) & MF_CHECKED));
}

}  // namespace
}  // namespace velda_test
