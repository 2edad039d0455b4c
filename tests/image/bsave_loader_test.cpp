// Loading BSAVE files: the header test, where the data lands, what is
// cleared and seeded, how the palette is captured, and that a rejected file
// changes nothing. The last group loads the corpus of real pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "test_support.h"

namespace {

using velda::LoadOutcome;
using velda_test::LoadBytes;
using velda_test::MakeBsave;
using velda_test::NoiseBytes;

constexpr int kAccepted = static_cast<int>(LoadOutcome::Accepted);
constexpr int kNotBsave = static_cast<int>(LoadOutcome::NotBsave);
constexpr int kCannotOpen = static_cast<int>(LoadOutcome::CannotOpen);

// A palette in register form that differs from the power-on one in every
// entry.
std::vector<uint8_t> CustomPalette(uint8_t salt) {
    std::vector<uint8_t> p(velda::PaletteBytes);
    for (int i = 0; i < 16; ++i) {
        p[static_cast<std::size_t>(2 * i)] = static_cast<uint8_t>(((i + salt) * 0x13) & 0x77);
        p[static_cast<std::size_t>(2 * i + 1)] = static_cast<uint8_t>((i + salt + 3) & 7);
        if (p[static_cast<std::size_t>(2 * i)] == velda::DefaultPalette[2 * i] &&
            p[static_cast<std::size_t>(2 * i + 1)] == velda::DefaultPalette[2 * i + 1]) {
            p[static_cast<std::size_t>(2 * i)] ^= 0x40;
        }
    }
    return p;
}

std::vector<uint8_t> PaletteNow() { return std::vector<uint8_t>(velda::MsxPalette, velda::MsxPalette + 32); }
std::vector<uint8_t> Default() { return std::vector<uint8_t>(velda::DefaultPalette, velda::DefaultPalette + 32); }

// Everything a load may touch, for before-and-after comparisons.
struct Snapshot {
    std::vector<uint8_t> vram;
    std::vector<uint8_t> palette;
    std::vector<velda::ColorRef> colors;
    std::string path;
    uint16_t start, end;
    uint8_t screenMode;

    static Snapshot Take() {
        return Snapshot{std::vector<uint8_t>(velda::VramImage, velda::VramImage + velda::VramBytes),
                        PaletteNow(),
                        std::vector<velda::ColorRef>(velda::ColorTable, velda::ColorTable + velda::ColorTableSize),
                        velda::CurrentFile.path, velda::CurrentFile.startAddress, velda::CurrentFile.endAddress,
                        velda::ScreenMode};
    }
};

void ExpectSame(const Snapshot& before, const Snapshot& after) {
    EXPECT_TRUE(before.vram == after.vram) << "VramImage changed";
    EXPECT_EQ(before.palette, after.palette) << "MsxPalette changed";
    EXPECT_TRUE(before.colors == after.colors) << "ColorTable changed";
    EXPECT_EQ(before.path, after.path);
    EXPECT_EQ(before.start, after.start);
    EXPECT_EQ(before.end, after.end);
    EXPECT_EQ(before.screenMode, after.screenMode) << "only the finished Open sets the mode";
}

class BsaveLoader : public ::testing::Test {
protected:
    void SetUp() override { velda::ResetImageModel(); }
    void TearDown() override { velda::ResetImageModel(); }

    // Fills every piece of state with something a load would have to
    // overwrite to leave unnoticed.
    static void Scribble() {
        const std::vector<uint8_t> noise = NoiseBytes(velda::VramBytes, 99);
        std::memcpy(velda::VramImage, noise.data(), noise.size());
        const std::vector<uint8_t> palette = CustomPalette(5);
        std::memcpy(velda::MsxPalette, palette.data(), palette.size());
        for (int i = 0; i < velda::ColorTableSize; ++i) velda::ColorTable[i] = 0x01000000u + static_cast<uint32_t>(i) * 0x10101u;
        velda::CurrentFile.startAddress = 0x1234;
        velda::CurrentFile.endAddress = 0x5678;
        velda::ScreenMode = 7;
    }
};

// Tests start every case from here, so a part of the model the reset
// forgets would carry one case's picture into the next.
TEST(ResetImageModel, RestoresTheProgramStartState) {
    std::memset(velda::VramImage, 0xA5, sizeof velda::VramImage);
    std::memset(velda::MsxPalette, 0xA5, sizeof velda::MsxPalette);
    std::memset(velda::ColorTable, 0xA5, sizeof velda::ColorTable);
    std::memset(&velda::CurrentFile, 0xA5, sizeof velda::CurrentFile);
    velda::ScreenMode = 12;

    velda::ResetImageModel();

    const auto allZero = [](const void* bytes, std::size_t size) {
        const auto* p = static_cast<const uint8_t*>(bytes);
        for (std::size_t i = 0; i < size; ++i) {
            if (p[i] != 0) return false;
        }
        return true;
    };
    EXPECT_TRUE(allZero(velda::VramImage, sizeof velda::VramImage));
    EXPECT_TRUE(allZero(velda::MsxPalette, sizeof velda::MsxPalette));
    EXPECT_TRUE(allZero(velda::ColorTable, sizeof velda::ColorTable));
    EXPECT_TRUE(allZero(&velda::CurrentFile, sizeof velda::CurrentFile));
    EXPECT_EQ(velda::ScreenMode, 5);
}

TEST(ParseBsaveHeader, FieldsAreLittleEndian) {
    const uint8_t bytes[] = {0xFE, 0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A};
    velda::BsaveHeader h{};
    ASSERT_TRUE(velda::ParseBsaveHeader(bytes, sizeof bytes, h));
    EXPECT_EQ(h.id, 0xFE);
    EXPECT_EQ(h.startAddress, 0x1234);
    EXPECT_EQ(h.endAddress, 0x5678);
    EXPECT_EQ(h.execAddress, 0x9ABC);
}

TEST(ParseBsaveHeader, AcceptsAndRejects) {
    struct Case {
        std::vector<uint8_t> bytes;
        bool ok;
        const char* what;
    };
    const Case cases[] = {
        {{0xFE, 0, 0, 0xFF, 0x69, 0, 0}, true, "SCREEN 5 pixels"},
        {{0xFE, 0x00, 0x10, 0x00, 0x10, 0, 0}, true, "start equal to end"},
        {{0xFE, 0, 0, 0xFF, 0xFF, 0xAA, 0xBB}, true, "whole memory; exec address ignored"},
        {{0x00, 0, 0, 0xFF, 0x69, 0, 0}, false, "id 0x00"},
        {{0xFF, 0, 0, 0xFF, 0x69, 0, 0}, false, "id 0xFF"},
        {{0xFD, 0, 0, 0xFF, 0x69, 0, 0}, false, "id 0xFD"},
        {{0xFE, 0x01, 0x10, 0x00, 0x10, 0, 0}, false, "end one below start"},
        {{0xFE, 0xFF, 0xFF, 0x00, 0x00, 0, 0}, false, "end 0 below start 0xFFFF"},
        {{0xFE, 0, 0, 0xFF, 0x69, 0}, false, "six bytes"},
        {{0xFE}, false, "one byte"},
        {{}, false, "empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        velda::BsaveHeader h{};
        EXPECT_EQ(velda::ParseBsaveHeader(c.bytes.data(), c.bytes.size(), h), c.ok);
    }
}

TEST_F(BsaveLoader, Screen5PixelsOnlyUsesThePowerOnPalette) {
    ASSERT_EQ(LoadBytes(5, MakeBsave(0x0000, 0x69FF, NoiseBytes(0x6A00, 1))), kAccepted);
    EXPECT_EQ(PaletteNow(), Default());
    EXPECT_EQ(velda::ColorTable[15], 0x00E0E0E0u);
    EXPECT_EQ(velda::ColorTable[2], 0x0020C020u);
    EXPECT_EQ(velda::ColorTable[0], 0x00000000u);
    EXPECT_EQ(velda::ColorTable[1], 0x00000000u);
    EXPECT_EQ(velda::CurrentFile.startAddress, 0x0000);
    EXPECT_EQ(velda::CurrentFile.endAddress, 0x69FF);
}

TEST_F(BsaveLoader, PaletteModesTakeAPaletteTheFileCovers) {
    struct Case {
        uint8_t screen;
        uint16_t end;
        int address;
    };
    const Case cases[] = {{5, 0x769F, 0x7680}, {7, 0xFA9F, 0xFA80}, {10, 0xFA9F, 0xFA80}, {11, 0xFA9F, 0xFA80}};
    for (const Case& c : cases) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        velda::ResetImageModel();
        std::vector<uint8_t> data = NoiseBytes(static_cast<std::size_t>(c.end) + 1, c.screen);
        const std::vector<uint8_t> palette = CustomPalette(c.screen);
        std::memcpy(data.data() + c.address, palette.data(), palette.size());
        ASSERT_EQ(LoadBytes(c.screen, MakeBsave(0, c.end, data)), kAccepted);
        EXPECT_EQ(PaletteNow(), palette);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(velda::ColorTable[i], velda::PaletteEntryToRgb(palette[2 * i], palette[2 * i + 1])) << i;
        }
    }
}

TEST_F(BsaveLoader, Screen6CapturesOnlyEntriesZeroToThree) {
    // An earlier SCREEN 5 load leaves a palette of its own.
    std::vector<uint8_t> first(0x76A0, 0);
    const std::vector<uint8_t> earlier = CustomPalette(1);
    std::memcpy(first.data() + 0x7680, earlier.data(), 32);
    ASSERT_EQ(LoadBytes(5, MakeBsave(0, 0x769F, first)), kAccepted);
    ASSERT_EQ(PaletteNow(), earlier);

    // A SCREEN 6 file without a palette: power-on entries 0-3 only.
    ASSERT_EQ(LoadBytes(6, MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 6))), kAccepted);
    std::vector<uint8_t> expected = earlier;
    const uint8_t powerOn[8] = {0x00, 0x00, 0x00, 0x00, 0x11, 0x06, 0x33, 0x07};
    std::memcpy(expected.data(), powerOn, 8);
    EXPECT_EQ(PaletteNow(), expected);
    EXPECT_EQ(velda::ColorTable[2], 0x0020C020u);
    EXPECT_EQ(velda::ColorTable[3], 0x0060E060u);

    // A SCREEN 6 file with a full 16-entry table: still only 0-3 are taken.
    std::vector<uint8_t> data(0x76A0, 0);
    const std::vector<uint8_t> file = CustomPalette(9);
    std::memcpy(data.data() + 0x7680, file.data(), 32);
    ASSERT_EQ(LoadBytes(6, MakeBsave(0, 0x769F, data)), kAccepted);
    std::memcpy(expected.data(), file.data(), 8);
    EXPECT_EQ(PaletteNow(), expected);
}

TEST_F(BsaveLoader, Screen6AfterProgramStartKeepsZerosAboveEntryThree) {
    ASSERT_EQ(LoadBytes(6, MakeBsave(0, 0x69FF, {})), kAccepted);
    std::vector<uint8_t> expected(32, 0);
    std::memcpy(expected.data(), velda::DefaultPalette, 8);
    EXPECT_EQ(PaletteNow(), expected);
}

TEST_F(BsaveLoader, Screen8And12LeaveThePaletteAlone) {
    for (uint8_t screen : {uint8_t{8}, uint8_t{12}}) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        velda::ResetImageModel();
        const std::vector<uint8_t> palette = CustomPalette(screen);
        std::memcpy(velda::MsxPalette, palette.data(), 32);
        for (int i = 0; i < velda::ColorTableSize; ++i) velda::ColorTable[i] = 0x00FF00FFu;
        // The file covers both palette tables with data.
        ASSERT_EQ(LoadBytes(screen, MakeBsave(0, 0xFA9F, NoiseBytes(0xFAA0, screen))), kAccepted);
        EXPECT_EQ(PaletteNow(), palette);
        for (int v = 0; v < velda::ColorTableSize; ++v) {
            const velda::ColorRef expected =
                screen == 8 ? velda::Screen8ValueToRgb(static_cast<uint8_t>(v)) : 0x00FF00FFu;
            EXPECT_EQ(velda::ColorTable[v], expected) << v;
        }
    }
}

// A header-only file shows exactly what a load clears and seeds: the
// mode's prefix is zero except for the seeded palette table, and memory
// above the prefix keeps what was there.
TEST_F(BsaveLoader, ClearsTheModesPrefixAndSeedsItsPalette) {
    struct Case {
        uint8_t screen;
        int clearBytes;
        int paletteAddress;
        int seededBytes;
    };
    const Case cases[] = {{5, 30368, 0x7680, 32}, {6, 30368, 0x7680, 8},  {7, 64160, 0xFA80, 32},
                          {8, 64160, 0, 0},       {10, 64160, 0xFA80, 32}, {11, 64160, 0xFA80, 32},
                          {12, 64160, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        std::memset(velda::VramImage, 0xA5, sizeof velda::VramImage);
        ASSERT_EQ(LoadBytes(c.screen, MakeBsave(0, 0x69FF, {})), kAccepted);
        int wrong = 0;
        for (int a = 0; a < 0x10000; ++a) {
            uint8_t expected = 0xA5;
            if (a < c.clearBytes) expected = 0;
            if (c.seededBytes > 0 && a >= c.paletteAddress && a < c.paletteAddress + c.seededBytes) {
                expected = velda::DefaultPalette[a - c.paletteAddress];
            }
            if (velda::VramImage[a] != expected && wrong++ < 5) {
                ADD_FAILURE() << "address " << std::hex << a << ": " << int{velda::VramImage[a]};
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(BsaveLoader, HeaderOnlyFileIsABlackPicture) {
    Scribble();
    ASSERT_EQ(LoadBytes(5, MakeBsave(0, 0x69FF, {})), kAccepted);
    for (int a = 0; a < 0x6A00; ++a) ASSERT_EQ(velda::VramImage[a], 0) << a;
    EXPECT_EQ(velda::ColorTable[0], 0u);
    EXPECT_EQ(velda::CurrentFile.startAddress, 0);
    EXPECT_EQ(velda::CurrentFile.endAddress, 0x69FF);
}

TEST_F(BsaveLoader, WholeMemoryFileReplacesEveryByteInEveryMode) {
    const std::vector<uint8_t> data = NoiseBytes(0x10000, 7);
    for (uint8_t screen : velda::AllScreens) {
        SCOPED_TRACE("SCREEN " + std::to_string(screen));
        std::memset(velda::VramImage, 0x5A, sizeof velda::VramImage);
        ASSERT_EQ(LoadBytes(screen, MakeBsave(0x0000, 0xFFFF, data)), kAccepted);
        EXPECT_EQ(std::memcmp(velda::VramImage, data.data(), data.size()), 0);
        EXPECT_EQ(velda::CurrentFile.endAddress, 0xFFFF);
    }
}

TEST_F(BsaveLoader, StartEqualToEndReadsOneByte) {
    Scribble();
    ASSERT_EQ(LoadBytes(8, MakeBsave(0x1000, 0x1000, {0xAB, 0xCD, 0xEF})), kAccepted);
    EXPECT_EQ(velda::VramImage[0x1000], 0xAB);
    EXPECT_EQ(velda::VramImage[0x1001], 0x00);
    EXPECT_EQ(velda::VramImage[0x0FFF], 0x00);
    EXPECT_EQ(velda::CurrentFile.startAddress, 0x1000);
    EXPECT_EQ(velda::CurrentFile.endAddress, 0x1000);

    // The very last address of video memory.
    ASSERT_EQ(LoadBytes(8, MakeBsave(0xFFFF, 0xFFFF, {0x77})), kAccepted);
    EXPECT_EQ(velda::VramImage[0xFFFF], 0x77);
}

TEST_F(BsaveLoader, ShortFileKeepsClearedAndSeededBytes) {
    Scribble();
    // Announces 0x0000-0x769F but stops after 0x100 bytes.
    const std::vector<uint8_t> data = NoiseBytes(0x100, 3);
    ASSERT_EQ(LoadBytes(5, MakeBsave(0, 0x769F, data)), kAccepted);
    EXPECT_EQ(std::memcmp(velda::VramImage, data.data(), data.size()), 0);
    for (int a = 0x100; a < 0x7680; ++a) ASSERT_EQ(velda::VramImage[a], 0) << a;
    EXPECT_EQ(PaletteNow(), Default());
    EXPECT_EQ(velda::CurrentFile.endAddress, 0x769F);
}

TEST_F(BsaveLoader, FileEndingInsideThePaletteTableMixesFileAndPowerOnEntries) {
    // Pixels and the first four palette entries only (up to 0x7687).
    std::vector<uint8_t> data(0x7688, 0);
    const std::vector<uint8_t> palette = CustomPalette(2);
    std::memcpy(data.data() + 0x7680, palette.data(), 8);
    ASSERT_EQ(LoadBytes(5, MakeBsave(0, 0x769F, data)), kAccepted);
    std::vector<uint8_t> expected = Default();
    std::memcpy(expected.data(), palette.data(), 8);
    EXPECT_EQ(PaletteNow(), expected);
}

TEST_F(BsaveLoader, BytesAfterTheEndAddressAreIgnored) {
    Scribble();
    std::vector<uint8_t> data = NoiseBytes(0x100, 4);
    const std::vector<uint8_t> extra(0x8000, 0xEE);  // would reach the palette table
    data.insert(data.end(), extra.begin(), extra.end());
    ASSERT_EQ(LoadBytes(5, MakeBsave(0, 0x00FF, data)), kAccepted);
    EXPECT_EQ(std::memcmp(velda::VramImage, data.data(), 0x100), 0);
    for (int a = 0x100; a < 0x7680; ++a) ASSERT_EQ(velda::VramImage[a], 0) << a;
    EXPECT_EQ(PaletteNow(), Default());
}

TEST_F(BsaveLoader, StartAboveZeroLeavesLowerBytesZero) {
    Scribble();
    const std::vector<uint8_t> data = NoiseBytes(0x100, 5);
    ASSERT_EQ(LoadBytes(7, MakeBsave(0x2000, 0x20FF, data)), kAccepted);
    for (int a = 0; a < 0x2000; ++a) ASSERT_EQ(velda::VramImage[a], 0) << a;
    EXPECT_EQ(std::memcmp(velda::VramImage + 0x2000, data.data(), data.size()), 0);
    EXPECT_EQ(velda::VramImage[0x2100], 0);
    EXPECT_EQ(velda::CurrentFile.startAddress, 0x2000);
    EXPECT_EQ(velda::CurrentFile.endAddress, 0x20FF);
}

TEST_F(BsaveLoader, EachModeReadsItsOwnPaletteTable) {
    std::vector<uint8_t> data(0xFAA0, 0);
    const std::vector<uint8_t> page0 = CustomPalette(3);
    std::memcpy(data.data() + 0x7680, page0.data(), 32);

    // SCREEN 7 ending below 0xFA80: the SCREEN 5 table at 0x7680 is not its own.
    ASSERT_EQ(LoadBytes(7, MakeBsave(0, 0x769F, std::vector<uint8_t>(data.begin(), data.begin() + 0x76A0))),
              kAccepted);
    EXPECT_EQ(PaletteNow(), Default());
    EXPECT_EQ(velda::ColorTable[15], 0x00E0E0E0u);
    EXPECT_EQ(velda::ColorTable[4], 0x00E02020u);

    // SCREEN 5 with tables at both places: the one at 0xFA80 is ignored.
    const std::vector<uint8_t> page1 = CustomPalette(4);
    std::memcpy(data.data() + 0xFA80, page1.data(), 32);
    ASSERT_EQ(LoadBytes(5, MakeBsave(0, 0xFA9F, data)), kAccepted);
    EXPECT_EQ(PaletteNow(), page0);
}

TEST_F(BsaveLoader, Screens10And11LoadIdentically) {
    const std::vector<uint8_t> file = MakeBsave(0, 0xFA9F, NoiseBytes(0xFAA0, 10));
    Scribble();
    ASSERT_EQ(LoadBytes(10, file), kAccepted);
    const Snapshot ten = Snapshot::Take();
    Scribble();
    ASSERT_EQ(LoadBytes(11, file), kAccepted);
    const Snapshot eleven = Snapshot::Take();
    ExpectSame(ten, eleven);
}

// Rejected files: nothing at all changes, in any mode.
TEST_F(BsaveLoader, RejectedFilesChangeNothing) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char* what;
    };
    std::vector<uint8_t> noMark = MakeBsave(0, 0x769F, NoiseBytes(0x76A0, 8));
    noMark[0] = 0x00;
    const Case cases[] = {
        {noMark, "first byte 0x00"},
        {MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 9), 0xFF), "first byte 0xFF"},
        {{}, "empty file"},
        {{0xFE}, "one byte"},
        {{0xFE, 0x00, 0x00, 0xFF, 0x69, 0x00}, "six bytes"},
        {MakeBsave(0x2000, 0x1FFF, NoiseBytes(0x100, 1)), "end below start"},
    };
    for (const Case& c : cases) {
        for (uint8_t screen : velda::AllScreens) {
            SCOPED_TRACE(std::string(c.what) + ", SCREEN " + std::to_string(screen));
            Scribble();
            // LoadBytes writes the same scratch path into CurrentFile every time.
            std::snprintf(velda::CurrentFile.path, sizeof velda::CurrentFile.path, "%s",
                          velda_test::ScratchPath("load.bin").c_str());
            const Snapshot before = Snapshot::Take();
            EXPECT_EQ(LoadBytes(screen, c.bytes), kNotBsave);
            ExpectSame(before, Snapshot::Take());
        }
    }
}

TEST_F(BsaveLoader, MissingFileCannotBeOpenedAndChangesNothing) {
    Scribble();
    const std::string path = velda_test::ScratchPath("no-such-picture.sc5");
    std::remove(path.c_str());
    std::snprintf(velda::CurrentFile.path, sizeof velda::CurrentFile.path, "%s", path.c_str());
    const Snapshot before = Snapshot::Take();
    EXPECT_EQ(static_cast<int>(velda::ReadBsaveFile(5)), kCannotOpen);
    ExpectSame(before, Snapshot::Take());
}

#ifndef _WIN32  // under Windows neither opens as a file
// Streams that open but fail on reading, as a failing disk or a share that
// drops does: a folder, and the memory of the process at address 0. A read
// error is not a short file.
TEST_F(BsaveLoader, ReadErrorChangesNothing) {
    for (const std::string& path : {velda_test::FreshFolder("read-error.SC5"), std::string("/proc/self/mem")}) {
        SCOPED_TRACE(path);
        Scribble();
        std::snprintf(velda::CurrentFile.path, sizeof velda::CurrentFile.path, "%s", path.c_str());
        const Snapshot before = Snapshot::Take();
        EXPECT_EQ(velda::ReadBsaveFile(5), LoadOutcome::ReadFailed);
        ExpectSame(before, Snapshot::Take());
    }
}
#endif

TEST_F(BsaveLoader, NumberThatIsNotAModeIsRefused) {
    const std::string path = velda_test::ScratchPath("mode9.bin");
    velda_test::WriteFile(path, MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 11)));
    Scribble();
    std::snprintf(velda::CurrentFile.path, sizeof velda::CurrentFile.path, "%s", path.c_str());
    const Snapshot before = Snapshot::Take();
    EXPECT_NE(velda::ReadBsaveFile(9), LoadOutcome::Accepted);
    ExpectSame(before, Snapshot::Take());
}

// ---------------------------------------------------------------------------
// The corpus of real pictures, listed with their intended modes in the
// folder's MANIFEST.md.

struct CorpusFile {
    std::string name;
    int screen;
    unsigned start, end;
};

std::vector<std::string> SplitCells(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    std::getline(in, cell, '|');  // before the first bar
    while (std::getline(in, cell, '|')) {
        const std::size_t a = cell.find_first_not_of(' ');
        const std::size_t b = cell.find_last_not_of(' ');
        cells.push_back(a == std::string::npos ? "" : cell.substr(a, b - a + 1));
    }
    return cells;
}

// The rows of the manifest's file table: name, mode (the first number of
// its cell), start and end address.
std::vector<CorpusFile> ReadManifest(const std::string& dir) {
    std::ifstream in(dir + "/MANIFEST.md");
    std::vector<CorpusFile> files;
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("| File |", 0) == 0) {
            inTable = true;
            continue;
        }
        if (!inTable) continue;
        if (line.rfind("|---", 0) == 0) continue;
        if (line.rfind("| ", 0) != 0) break;
        const std::vector<std::string> cells = SplitCells(line);
        if (cells.size() < 11) continue;
        files.push_back(CorpusFile{cells[0], std::stoi(cells[5]), static_cast<unsigned>(std::stoul(cells[8], nullptr, 16)),
                                   static_cast<unsigned>(std::stoul(cells[9], nullptr, 16))});
    }
    return files;
}

class Corpus : public BsaveLoader {
protected:
    void SetUp() override {
        BsaveLoader::SetUp();
        dir_ = velda_test::CorpusDir();
        if (dir_.empty()) GTEST_SKIP() << "no corpus of real pictures beside the checkout";
        files_ = ReadManifest(dir_);
        ASSERT_FALSE(files_.empty()) << "the manifest lists no files";
    }

    const CorpusFile& Find(const std::string& suffix) const {
        for (const CorpusFile& f : files_) {
            if (f.name.size() >= suffix.size() && f.name.compare(f.name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                return f;
            }
        }
        throw std::runtime_error("not in the manifest: " + suffix);
    }

    // Loads a corpus file in its intended mode, from the corpus folder itself.
    int Load(const CorpusFile& f) {
        std::snprintf(velda::CurrentFile.path, sizeof velda::CurrentFile.path, "%s/%s", dir_.c_str(),
                      f.name.c_str());
        return static_cast<int>(velda::ReadBsaveFile(static_cast<uint8_t>(f.screen)));
    }

    std::vector<uint8_t> Bytes(const CorpusFile& f) const { return velda_test::ReadFile(dir_ + "/" + f.name); }

    std::string dir_;
    std::vector<CorpusFile> files_;
};

TEST_F(Corpus, ManifestListsEveryFileOfTheFolder) {
    std::set<std::string> listed;
    for (const CorpusFile& f : files_) listed.insert(f.name);
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        if (name == "MANIFEST.md") continue;
        ++count;
        EXPECT_EQ(listed.count(name), 1u) << name << " is not in the manifest";
    }
    EXPECT_EQ(count, static_cast<int>(files_.size()));
}

// Every file loads in its mode; the bytes it holds land at its start
// address, and the palette is what its data and the power-on palette give.
TEST_F(Corpus, EveryFileLoadsInItsMode) {
    for (const CorpusFile& f : files_) {
        SCOPED_TRACE(f.name + " as SCREEN " + std::to_string(f.screen));
        velda::ResetImageModel();
        const std::vector<uint8_t> earlier = CustomPalette(6);
        std::memcpy(velda::MsxPalette, earlier.data(), 32);

        const std::vector<uint8_t> bytes = Bytes(f);
        ASSERT_GE(bytes.size(), 7u);
        ASSERT_EQ(Load(f), kAccepted);
        EXPECT_EQ(velda::CurrentFile.startAddress, f.start);
        EXPECT_EQ(velda::CurrentFile.endAddress, f.end);

        const std::size_t wanted = f.end - f.start + 1;
        const std::size_t present = std::min(wanted, bytes.size() - 7);
        EXPECT_EQ(std::memcmp(velda::VramImage + f.start, bytes.data() + 7, present), 0);
        for (std::size_t a = 0; a < f.start; ++a) ASSERT_EQ(velda::VramImage[a], 0) << a;

        const velda::ModeInfo* mode = velda::FindMode(static_cast<unsigned>(f.screen));
        ASSERT_NE(mode, nullptr);
        std::vector<uint8_t> expected = earlier;
        for (int i = 0; i < 2 * mode->paletteEntries; ++i) {
            const unsigned address = static_cast<unsigned>(mode->paletteAddress + i);
            const bool fromFile = address >= f.start && address < f.start + present;
            expected[static_cast<std::size_t>(i)] =
                fromFile ? bytes[7 + address - f.start] : velda::DefaultPalette[i];
        }
        EXPECT_EQ(PaletteNow(), expected);
    }
}

TEST_F(Corpus, TruncatedScreen6FilesGiveFourFilePaletteEntries) {
    for (const char* name : {"_OC.SC6", "_BUTTERFL.SC6"}) {
        SCOPED_TRACE(name);
        const CorpusFile& f = Find(name);
        const std::vector<uint8_t> bytes = Bytes(f);
        ASSERT_EQ(bytes.size(), 7u + 0x7688);  // stops at 0x7687
        const std::vector<uint8_t> earlier = CustomPalette(8);
        std::memcpy(velda::MsxPalette, earlier.data(), 32);
        ASSERT_EQ(Load(f), kAccepted);
        std::vector<uint8_t> expected = earlier;
        std::memcpy(expected.data(), bytes.data() + 7 + 0x7680, 8);
        EXPECT_EQ(PaletteNow(), expected);
        EXPECT_EQ(velda::CurrentFile.endAddress, 0x769F);
    }
}

TEST_F(Corpus, PaletteOnlyScreen5FileTakesItsPalette) {
    const CorpusFile& f = Find("_GAMEPAL.SC5");
    const std::vector<uint8_t> bytes = Bytes(f);
    ASSERT_EQ(bytes.size(), 39u);
    Scribble();
    ASSERT_EQ(Load(f), kAccepted);
    EXPECT_EQ(PaletteNow(), std::vector<uint8_t>(bytes.begin() + 7, bytes.end()));
    for (int a = 0; a < 0x7680; ++a) ASSERT_EQ(velda::VramImage[a], 0) << a;
    EXPECT_EQ(velda::CurrentFile.startAddress, 0x7680);
}

TEST_F(Corpus, TrailingPalettesBeyondTheHeaderAreNotTaken) {
    // 911R.SC7 ends at 0xD400 by its header but carries a palette at
    // 0xFA80; data_cust.sc5 has 30 palette bytes after its end.
    for (const char* name : {"_911R.SC7", "_data_cust.sc5"}) {
        SCOPED_TRACE(name);
        velda::ResetImageModel();
        ASSERT_EQ(Load(Find(name)), kAccepted);
        EXPECT_EQ(PaletteNow(), Default());
    }
    EXPECT_EQ(velda::VramImage[0x6000], 0);  // data_cust.sc5 stops at 0x5FFF
}

TEST_F(Corpus, FilesOneBytePastThePaletteKeepTheirPalette) {
    for (const char* name : {"_INTRO.SC7", "_KRANT3.SC7"}) {
        SCOPED_TRACE(name);
        const CorpusFile& f = Find(name);
        const std::vector<uint8_t> bytes = Bytes(f);
        velda::ResetImageModel();
        ASSERT_EQ(Load(f), kAccepted);
        EXPECT_EQ(f.end, 0xFAA0u);
        EXPECT_EQ(PaletteNow(), std::vector<uint8_t>(bytes.begin() + 7 + 0xFA80, bytes.begin() + 7 + 0xFAA0));
    }
}

TEST_F(Corpus, Screen8ChartBuildsTheFixedColours) {
    Scribble();
    const std::vector<uint8_t> before = PaletteNow();
    ASSERT_EQ(Load(Find("_PALETTE.SC8")), kAccepted);
    EXPECT_EQ(PaletteNow(), before);
    for (int v = 0; v < 256; ++v) EXPECT_EQ(velda::ColorTable[v], velda::Screen8ValueToRgb(static_cast<uint8_t>(v)));
}

}  // namespace
