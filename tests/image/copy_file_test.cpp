// Pictures without a BSAVE header: BASIC COPY files, their area of the
// screen at its top left, and page dumps, each against the page it was
// made from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/copy_file.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;
using velda::FileKind;
using velda::LoadFault;

velda::LoadError Open(FileKind kind, uint8_t screen, const Bytes& file, velda::ScreenPage& page,
                      bool bsaveOnly = false) {
    velda::PictureRequest request;
    request.name = velda::PictureName{"A", kind == FileKind::Copy ? "GL5" : "SC5"};  // the mode is chosen below
    request.screen = screen;
    request.bsaveOnly = bsaveOnly;
    return velda::OpenPicture(file.data(), file.size(), request, page);
}

// The area lands at the top left of an empty screen, under a COPY name and
// under a BSAVE dump's name alike; the SCREEN N Opens take BSAVE dumps only.
TEST(CopyFile, AreaAtTheTopLeftOfAnEmptyScreen) {
    const struct {
        uint8_t screen;
        int width, height;
    } rows[] = {{5, 100, 100}, {5, 256, 212}, {5, 1, 1}, {6, 33, 7}, {7, 511, 3}, {8, 101, 50}, {12, 64, 64}};
    for (const auto& row : rows) {
        SCOPED_TRACE("SCREEN " + std::to_string(row.screen) + " " + std::to_string(row.width) + "x" +
                     std::to_string(row.height));
        const velda::ModeInfo& mode = *velda::FindMode(row.screen);
        const Bytes source = NoiseBytes(velda::VramBytes, row.screen);
        const Bytes file = MakeCopy(row.screen, source, row.width, row.height);
        Bytes empty(velda::VramBytes, 0);
        velda::SeedDefaultPalette(row.screen, empty.data());
        for (const FileKind kind : {FileKind::Copy, FileKind::Bsave}) {
            velda::ScreenPage page;
            ASSERT_FALSE(Open(kind, row.screen, file, page));
            EXPECT_EQ(page.width, row.width);
            EXPECT_EQ(page.height, row.height);
            EXPECT_EQ(MakeCopy(row.screen, page.vram, row.width, row.height), file);
            // Outside the area (and in the bits of its bytes beyond it):
            // nothing but the seeded palette table.
            for (int y = 0; y < row.height; ++y) {
                for (int x = 0; x < (row.width * mode.bitsPerPixel + 7) / 8; ++x) page.vram[y * mode.bytesPerLine + x] = 0;
            }
            EXPECT_TRUE(page.vram == empty);
        }
        velda::ScreenPage page;
        EXPECT_TRUE(Open(FileKind::Bsave, row.screen, file, page, true)) << "a SCREEN N Open reads BSAVE dumps only";
    }
}

TEST(CopyFile, ShapesThatDoNotFitAreRefused) {
    const Bytes page = NoiseBytes(velda::VramBytes, 3);
    Bytes longer = MakeCopy(5, page, 100, 100), shorter = longer;
    longer.push_back(0);
    shorter.pop_back();
    const struct {
        const char* what;
        uint8_t screen;
        Bytes file;
        LoadFault fault;
    } rows[] = {
        {"empty", 5, {}, LoadFault::Empty},
        {"three bytes", 5, {1, 0, 1}, LoadFault::ShortHeader},
        {"a byte too many", 5, longer, LoadFault::CopySize},
        {"a byte too few", 5, shorter, LoadFault::CopySize},
        {"no width", 8, {0, 0, 1, 0}, LoadFault::CopySize},
        {"wider than the mode", 8, MakeCopy(7, page, 257, 1), LoadFault::CopySize},
        {"taller than the screen", 8, {1, 0, 213, 0}, LoadFault::CopySize},
        {"a YJK width of part of a group", 12, {6, 0, 1, 0, 1, 2, 3, 4, 5, 6}, LoadFault::CopySize},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        velda::ScreenPage page;
        EXPECT_EQ(Open(FileKind::Copy, row.screen, row.file, page).fault, row.fault);
    }
}

// A file without the mark of 128, 192, 212 or 256 whole lines of its mode
// is that page from address 0 (the converter's tests decode them); one byte
// more or less is not, and a marked file of a page's size is read by its
// header.
TEST(PageDump, OnlyWholePagesWithoutTheMark) {
    for (const std::size_t size : {128 * 128, 128 * 192, 128 * 256, 128 * 212 + 1, 128 * 212 - 1}) {
        Bytes file = NoiseBytes(size, 5);
        file[0] = 0x12;
        velda::ScreenPage page;
        const bool whole = size % 128 == 0;
        EXPECT_EQ(Open(FileKind::Bsave, 5, file, page).fault, whole ? LoadFault::None : LoadFault::WrongFirstByte);
        EXPECT_EQ(whole, Bytes(page.vram.begin(), page.vram.begin() + static_cast<std::ptrdiff_t>(size)) == file) << size;
    }
    velda::ScreenPage page;
    ASSERT_FALSE(Open(FileKind::Bsave, 5, MakeBsave(0, 0x1FF, NoiseBytes(128 * 128 - 7, 6)), page));
    EXPECT_EQ(page.endAddress, 0x1FF);
}

}  // namespace
}  // namespace velda_test
