// Loading BSAVE files: the header test and the reason a file is refused,
// where the data lands, what is cleared and seeded, and how the palette is
// taken over the one shown before. The last group loads the corpus of real
// pictures.
#include <gtest/gtest.h>

#include <algorithm>
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
#include "image/picture_file.h"
#include "image/vram_image.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
using velda::LoadFault;
using velda::ScreenPage;
using velda_test::MakeBsave;
using velda_test::NoiseBytes;

// A palette in register form that differs from the power-on one in every
// entry.
Bytes CustomPalette(uint8_t salt) {
    Bytes p(velda::PaletteBytes);
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

Bytes Default() { return Bytes(velda::DefaultPalette, velda::DefaultPalette + velda::PaletteBytes); }
Bytes PaletteOf(const ScreenPage& page) { return Bytes(page.palette, page.palette + velda::PaletteBytes); }

// `file` opened as a SCREEN N Open does, over the palette `held` (zeros
// when empty).
ScreenPage Open(uint8_t screen, const Bytes& file, const Bytes& held = {}) {
    velda::PictureRequest request;
    request.screen = screen;
    request.heldPalette = held.empty() ? nullptr : held.data();
    ScreenPage page;
    const velda::LoadError error = velda::OpenPicture(file.data(), file.size(), request, page);
    EXPECT_FALSE(error) << static_cast<int>(error.fault);
    return page;
}

TEST(ParseBsaveHeader, FieldsAreLittleEndian) {
    const uint8_t bytes[] = {0xFE, 0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A};
    velda::BsaveHeader h{};
    ASSERT_FALSE(velda::ParseBsaveHeader(bytes, sizeof bytes, h));
    EXPECT_EQ(h.startAddress, 0x1234);
    EXPECT_EQ(h.endAddress, 0x5678);
    EXPECT_EQ(h.execAddress, 0x9ABC);
}

// Each refusal names its reason and the value that is wrong; a file opened
// so, in any mode, gives that reason.
TEST(ParseBsaveHeader, RefusalsAndTheirReasons) {
    const struct {
        Bytes bytes;
        LoadFault fault;
        uint32_t value, start;
    } rows[] = {
        {{0xFE, 0, 0, 0xFF, 0x69, 0, 0}, LoadFault::None, 0, 0},
        {{0xFE, 0x00, 0x10, 0x00, 0x10, 0, 0}, LoadFault::None, 0, 0},  // start equal to end
        {{0xFE, 0, 0, 0xFF, 0xFF, 0xAA, 0xBB}, LoadFault::None, 0, 0},  // whole memory; exec address ignored
        {{0x00, 0, 0, 0xFF, 0x69, 0, 0}, LoadFault::WrongFirstByte, 0x00, 0},
        {{0xFD, 0, 0, 0xFF, 0x69, 0, 0}, LoadFault::WrongFirstByte, 0xFD, 0},
        {{0xFE, 0x01, 0x10, 0x00, 0x10, 0, 0}, LoadFault::EndBelowStart, 0x1000, 0x1001},
        {{0xFE, 0xFF, 0xFF, 0x00, 0x00, 0, 0}, LoadFault::EndBelowStart, 0, 0xFFFF},
        {{0xFE, 0, 0, 0xFF, 0x69, 0}, LoadFault::ShortHeader, 0, 0},
        {{0xFE}, LoadFault::ShortHeader, 0, 0},
        {{}, LoadFault::Empty, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes));
        velda::BsaveHeader h{};
        const velda::LoadError error = velda::ParseBsaveHeader(row.bytes.data(), row.bytes.size(), h);
        EXPECT_EQ(error.fault, row.fault);
        EXPECT_EQ(error.fault == LoadFault::WrongFirstByte ? error.firstByte : error.endAddress, row.value);
        EXPECT_EQ(error.startAddress, row.start);
        EXPECT_EQ(error.format, velda::FileKind::Bsave);
        for (uint8_t screen : velda::AllScreens) {
            velda::PictureRequest request;
            request.screen = screen;
            ScreenPage page;
            EXPECT_EQ(velda::OpenPicture(row.bytes.data(), row.bytes.size(), request, page).fault, row.fault);
        }
    }
}

// What each mode takes from the file's palette table, and what it keeps of
// the palette shown before: SCREEN 6 sets entries 0-3 only, SCREEN 8 and 12
// none.
TEST(BsaveLoader, PaletteTakenOverThePaletteShownBefore) {
    const Bytes earlier = CustomPalette(1);
    const Bytes table = CustomPalette(9);
    struct Row {
        uint8_t screen;
        uint16_t end;    // of the data, from address 0
        int address;     // of the table the data holds, or -1
        int entries;     // the mode sets
        bool ownTable;   // the data reaches the mode's table
    };
    const Row rows[] = {
        {5, 0x769F, 0x7680, 16, true},  {7, 0xFA9F, 0xFA80, 16, true},  {10, 0xFA9F, 0xFA80, 16, true},
        {11, 0xFA9F, 0xFA80, 16, true}, {6, 0x769F, 0x7680, 4, true},   {6, 0x69FF, -1, 4, false},
        {5, 0x69FF, -1, 16, false},     {7, 0x769F, 0x7680, 16, false}, {8, 0xFA9F, 0xFA80, 0, false},
        {12, 0xFA9F, 0xFA80, 0, false}, {5, 0x7687, 0x7680, 16, true},  // ends inside the table: 4 entries
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("SCREEN " + std::to_string(row.screen) + " to " + std::to_string(row.end));
        Bytes data = NoiseBytes(static_cast<std::size_t>(row.end) + 1, row.screen);
        if (row.address >= 0) {
            const std::size_t room = std::min<std::size_t>(velda::PaletteBytes, data.size() - row.address);
            std::copy(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(room), data.begin() + row.address);
        }
        const Bytes file = MakeBsave(0, row.end, data);
        Bytes want = earlier;
        for (int i = 0; i < 2 * row.entries; ++i) {
            const std::size_t at = static_cast<std::size_t>(i);
            const bool fromFile = row.ownTable && row.address + i <= row.end;
            want[at] = fromFile ? table[at] : velda::DefaultPalette[i];
        }
        EXPECT_EQ(PaletteOf(Open(row.screen, file, earlier)), want);
        // Without a picture before, the entries the mode does not set are zero.
        std::fill(want.begin() + 2 * row.entries, want.end(), 0);
        EXPECT_EQ(PaletteOf(Open(row.screen, file)), want);
    }
}

// A header-only file shows exactly what a load clears and seeds: the
// mode's prefix is zero except for the seeded palette table, and memory
// above the prefix keeps what was there.
TEST(BsaveLoader, ClearsTheModesPrefixAndSeedsItsPalette) {
    struct Case {
        uint8_t screen;
        int clearBytes;
        int paletteAddress;
        int seededBytes;
    };
    const Case cases[] = {{5, 30368, 0x7680, 32}, {6, 30368, 0x7680, 8},  {7, 64160, 0xFA80, 32},
                          {8, 64160, 0, 0},       {10, 64160, 0xFA80, 32}, {11, 64160, 0xFA80, 32},
                          {12, 64160, 0, 0}};
    const Bytes file = MakeBsave(0, 0x69FF, {});
    for (const Case& c : cases) {
        SCOPED_TRACE("SCREEN " + std::to_string(c.screen));
        Bytes vram(velda::VramBytes, 0xA5);
        velda::BsaveHeader header{};
        ASSERT_FALSE(velda::PlaceBsave(file.data(), file.size(), c.screen, vram.data(), header));
        int wrong = 0;
        for (int a = 0; a < 0x10000; ++a) {
            uint8_t expected = a < c.clearBytes ? 0 : 0xA5;
            if (a >= c.paletteAddress && a < c.paletteAddress + c.seededBytes) {
                expected = velda::DefaultPalette[a - c.paletteAddress];
            }
            if (vram[static_cast<std::size_t>(a)] != expected && wrong++ < 5) ADD_FAILURE() << "address " << a;
        }
        EXPECT_EQ(wrong, 0);
    }
}

// Where the bytes of a file land: from its start address up to its end
// address or its last byte, whichever comes first; all else of the page
// zero but the seeded palette table. The addresses are the header's.
TEST(BsaveLoader, DataLandsFromTheStartAddress) {
    struct Row {
        const char* what;
        uint8_t screen;
        uint16_t start, end;
        std::size_t bytes;  // of data in the file
        std::size_t placed;
    };
    const Row rows[] = {
        {"the pixels of SCREEN 5", 5, 0x0000, 0x69FF, 0x6A00, 0x6A00},
        {"one byte", 8, 0x1000, 0x1000, 3, 1},
        {"the very last address", 8, 0xFFFF, 0xFFFF, 1, 1},
        {"ends before its end address", 5, 0x0000, 0x769F, 0x100, 0x100},
        {"bytes after the end address", 5, 0x0000, 0x00FF, 0x8100, 0x100},
        {"starts above zero", 7, 0x2000, 0x20FF, 0x100, 0x100},
        {"the whole of video memory", 12, 0x0000, 0xFFFF, 0x10000, 0x10000},
        {"header only", 5, 0x0000, 0x69FF, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Bytes data = NoiseBytes(row.bytes, row.start);
        const ScreenPage page = Open(row.screen, MakeBsave(row.start, row.end, data));
        Bytes want(velda::VramBytes, 0);
        velda::SeedDefaultPalette(row.screen, want.data());
        std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(row.placed), want.begin() + row.start);
        EXPECT_TRUE(page.vram == want);
        EXPECT_EQ(page.startAddress, row.start);
        EXPECT_EQ(page.endAddress, row.end);
    }
}

TEST(BsaveLoader, Screens10And11LoadIdentically) {
    const Bytes file = MakeBsave(0, 0xFA9F, NoiseBytes(0xFAA0, 10));
    const ScreenPage ten = Open(10, file), eleven = Open(11, file);
    EXPECT_TRUE(ten.vram == eleven.vram);
    EXPECT_EQ(PaletteOf(ten), PaletteOf(eleven));
}

TEST(BsaveLoader, NumberThatIsNotAModeIsRefused) {
    const Bytes file = MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 11));
    velda::PictureRequest request;
    request.screen = 9;
    ScreenPage page;
    EXPECT_TRUE(velda::OpenPicture(file.data(), file.size(), request, page));
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

class Corpus : public ::testing::Test {
protected:
    void SetUp() override {
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

    Bytes Read(const CorpusFile& f) const { return velda_test::ReadFile(dir_ + "/" + f.name); }

    // A corpus file opened in its intended mode, over `held`.
    ScreenPage Load(const CorpusFile& f, const Bytes& held = {}) const {
        return Open(static_cast<uint8_t>(f.screen), Read(f), held);
    }

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
    const Bytes earlier = CustomPalette(6);
    for (const CorpusFile& f : files_) {
        SCOPED_TRACE(f.name + " as SCREEN " + std::to_string(f.screen));
        const Bytes bytes = Read(f);
        ASSERT_GE(bytes.size(), 7u);
        const ScreenPage page = Load(f, earlier);
        EXPECT_EQ(page.startAddress, f.start);
        EXPECT_EQ(page.endAddress, f.end);

        const std::size_t wanted = f.end - f.start + 1;
        const std::size_t present = std::min(wanted, bytes.size() - 7);
        EXPECT_EQ(std::memcmp(page.vram.data() + f.start, bytes.data() + 7, present), 0);
        for (std::size_t a = 0; a < f.start; ++a) ASSERT_EQ(page.vram[a], 0) << a;

        const velda::ModeInfo* mode = velda::FindMode(static_cast<unsigned>(f.screen));
        ASSERT_NE(mode, nullptr);
        Bytes expected = earlier;
        for (int i = 0; i < 2 * mode->paletteEntries; ++i) {
            const unsigned address = static_cast<unsigned>(mode->paletteAddress + i);
            const bool fromFile = address >= f.start && address < f.start + present;
            expected[static_cast<std::size_t>(i)] = fromFile ? bytes[7 + address - f.start] : velda::DefaultPalette[i];
        }
        EXPECT_EQ(PaletteOf(page), expected);
    }
}

TEST_F(Corpus, PaletteOnlyScreen5FileTakesItsPalette) {
    const CorpusFile& f = Find("_GAMEPAL.SC5");
    const Bytes bytes = Read(f);
    ASSERT_EQ(bytes.size(), 39u);
    const ScreenPage page = Load(f);
    EXPECT_EQ(PaletteOf(page), Bytes(bytes.begin() + 7, bytes.end()));
    for (int a = 0; a < 0x7680; ++a) ASSERT_EQ(page.vram[static_cast<std::size_t>(a)], 0) << a;
    EXPECT_EQ(page.startAddress, 0x7680);
}

TEST_F(Corpus, TrailingPalettesBeyondTheHeaderAreNotTaken) {
    // 911R.SC7 ends at 0xD400 by its header but carries a palette at
    // 0xFA80; data_cust.sc5 has 30 palette bytes after its end.
    for (const char* name : {"_911R.SC7", "_data_cust.sc5"}) {
        SCOPED_TRACE(name);
        const ScreenPage page = Load(Find(name));
        EXPECT_EQ(PaletteOf(page), Default());
        if (std::string(name) == "_data_cust.sc5") EXPECT_EQ(page.vram[0x6000], 0);  // it stops at 0x5FFF
    }
}

TEST_F(Corpus, FilesOneBytePastThePaletteKeepTheirPalette) {
    for (const char* name : {"_INTRO.SC7", "_KRANT3.SC7"}) {
        SCOPED_TRACE(name);
        const CorpusFile& f = Find(name);
        const Bytes bytes = Read(f);
        EXPECT_EQ(f.end, 0xFAA0u);
        EXPECT_EQ(PaletteOf(Load(f)), Bytes(bytes.begin() + 7 + 0xFA80, bytes.begin() + 7 + 0xFAA0));
    }
}

}  // namespace
