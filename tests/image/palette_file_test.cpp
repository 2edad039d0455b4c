// Palette files: which bytes each size gives, the sizes refused, and
// where each mode takes them in video memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/bsave_loader.h"
#include "image/palette_file.h"
#include "image/vram_image.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;
using velda::LoadFault;

TEST(PaletteFile, EachSizeGivesItsPalette) {
    const Bytes bank = NoiseBytes(256, 1);
    const Bytes one = NoiseBytes(32, 2);
    Bytes unmarked = MakeBsave(0x7680, 0x769F, one);
    unmarked[0] = 0x00;
    Bytes markedFd = unmarked;
    markedFd[0] = 0xFD;
    struct Row {
        std::string what;
        Bytes file;
        int index;
        LoadFault fault;
        std::size_t from;            // where the bytes taken start in the file
        std::size_t taken = velda::PaletteBytes;  // how many: a short dump sets its whole entries only
    };
    // BSAVE dumps of the start of a palette table, as a SCREEN 6 picture's
    // 4 colours are kept: the header names the whole table, the file holds less.
    const auto cut = [](Bytes file, std::size_t size) {
        file.resize(size);
        return file;
    };
    const Bytes four = cut(MakeBsave(0x7680, 0x769F, one), 15);
    std::vector<Row> rows;
    for (int index = 0; index < 8; ++index) {
        rows.push_back({"bank", bank, index, LoadFault::None, 32u * static_cast<std::size_t>(index)});
    }
    const Row more[] = {
        {"one palette", one, 0, LoadFault::None, 0},
        {"one palette, any index", one, 5, LoadFault::None, 0},
        {"BSAVE of the SCREEN 5 table", MakeBsave(0x7680, 0x769F, one), 0, LoadFault::None, 7},
        {"BSAVE of the SCREEN 7 table", MakeBsave(0xFA80, 0xFA9F, one), 7, LoadFault::None, 7},
        {"15 bytes: 4 entries of the SCREEN 5 and 6 table", four, 0, LoadFault::None, 7, 8},
        {"12 bytes: 2 entries and half of one", cut(four, 12), 0, LoadFault::None, 7, 4},
        {"9 bytes of the SCREEN 7 table", cut(MakeBsave(0xFA80, 0xFA9F, one), 9), 0, LoadFault::None, 7, 2},
        {"8 bytes: no whole entry", cut(four, 8), 0, LoadFault::PaletteFileSize, 0},
        {"15 bytes from no palette table", cut(MakeBsave(0x7600, 0x761F, one), 15), 0, LoadFault::PaletteFileSize, 0},
        {"15 bytes without the mark", cut(MakeBsave(0x7680, 0x769F, one, 0x00), 15), 0, LoadFault::PaletteFileSize, 0},
        {"39 bytes, id 0x00", unmarked, 0, LoadFault::PaletteFileMark, 0},
        {"39 bytes, id 0xFD", markedFd, 0, LoadFault::PaletteFileMark, 0},
    };
    rows.insert(rows.end(), std::begin(more), std::end(more));
    const std::size_t wrongSizes[] = {0, 31, 33, 38, 40, 255, 257};
    for (const std::size_t size : wrongSizes) {
        Bytes file = NoiseBytes(size, 3);
        if (size > 0) file[0] = velda::BsaveId;
        rows.push_back({std::to_string(size) + " bytes", file, 0, LoadFault::PaletteFileSize, 0});
    }

    for (const Row& row : rows) {
        SCOPED_TRACE(row.what + ", index " + std::to_string(row.index));
        Bytes palette(velda::PaletteBytes, 0xCC);
        const velda::LoadError error = velda::ReadPaletteFile(row.file.data(), row.file.size(), row.index, palette.data());
        EXPECT_EQ(error.fault, row.fault);
        if (row.fault == LoadFault::PaletteFileSize) EXPECT_EQ(error.fileSize, row.file.size());
        Bytes want(velda::PaletteBytes, 0xCC);  // what is not taken is left alone
        if (row.fault == LoadFault::None) {
            const auto from = row.file.begin() + static_cast<std::ptrdiff_t>(row.from);
            std::copy(from, from + static_cast<std::ptrdiff_t>(row.taken), want.begin());
        }
        EXPECT_EQ(palette, want);
    }
}

TEST(PaletteFile, PutPaletteWritesTheModesShareOfItsTable) {
    const Bytes palette = NoiseBytes(velda::PaletteBytes, 4);
    for (const ExpectedMode& mode : ExpectedModes) {
        SCOPED_TRACE("SCREEN " + std::to_string(mode.screen));
        const Bytes before = NoiseBytes(velda::VramBytes, 5);
        Bytes want = before;
        if (mode.paletteEntries > 0) {
            std::copy(palette.begin(), palette.begin() + 2 * mode.paletteEntries, want.begin() + mode.paletteAddress);
        }
        Bytes vram = before;
        velda::PutPalette(mode.screen, palette.data(), vram.data());
        EXPECT_TRUE(vram == want);
    }
}

}  // namespace
}  // namespace velda_test
