// Opening picture files: the reader each kind takes, the palette file a
// picture pairs with, what a refusal leaves, and the addresses File
// information shows. Every accepted page is held against the page the
// plain BSAVE file of the same picture gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "graph_saurus_writer.h"
#include "image/bsave_loader.h"
#include "image/picture_file.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;
using velda::FileKind;
using velda::LoadOutcome;
using velda::LoadReport;
using velda::PaletteChoice;
using velda::PaletteFileOutcome;
using velda::ScreenPage;

struct NamedFile {
    const char* name;
    Bytes bytes;
};

// A fresh folder holding `files`.
std::string FolderWith(const std::string& name, const std::vector<NamedFile>& files) {
    const std::string folder = FreshFolder(name);
    for (const NamedFile& file : files) WriteFile(folder + "/" + file.name, file.bytes);
    return folder;
}

const ExpectedMode& ModeOf(uint8_t screen) {
    return *std::find_if(std::begin(ExpectedModes), std::end(ExpectedModes),
                         [screen](const ExpectedMode& mode) { return mode.screen == screen; });
}

Bytes Bsave(const Bytes& memory) { return MakeBsave(0, static_cast<uint16_t>(memory.size() - 1), memory); }
Bytes Compressed(const Bytes& codes) { return GraphSaurusWithHeader(0xFD, codes); }

// The page a fresh VELDA shows for the plain BSAVE file `plain`, with the
// mode's share of `palette` (32 bytes) in its palette table when given.
ScreenPage Expected(uint8_t screen, const Bytes& plain, const Bytes& palette) {
    ScreenPage page;
    page.screen = screen;
    velda::BsaveHeader header{};
    EXPECT_EQ(velda::PlaceBsave(plain.data(), plain.size(), screen, page.vram.data(), header), LoadOutcome::Accepted);
    const ExpectedMode& mode = ModeOf(screen);
    const auto share = static_cast<std::ptrdiff_t>(2 * mode.paletteEntries);
    if (share == 0) return page;
    const auto table = page.vram.begin() + mode.paletteAddress;
    if (!palette.empty()) std::copy(palette.begin(), palette.begin() + share, table);
    std::copy(table, table + share, page.palette);
    return page;
}

// A page that no open leaves, to see that a refusal leaves it alone.
ScreenPage Untouched() {
    ScreenPage page;
    page.screen = 7;
    page.vram = NoiseBytes(velda::VramBytes, 66);
    std::memset(page.palette, 0xEE, sizeof page.palette);
    page.startAddress = 0x1111;
    page.endAddress = 0x2222;
    page.paletteFile = "before";
    return page;
}

void ExpectSamePage(const ScreenPage& got, const ScreenPage& want) {
    EXPECT_EQ(got.screen, want.screen);
    EXPECT_TRUE(got.vram == want.vram) << "video memory differs";
    EXPECT_EQ(Bytes(got.palette, got.palette + velda::PaletteBytes),
              Bytes(want.palette, want.palette + velda::PaletteBytes));
}

TEST(LoadPictureFile, EachKindGivesThePlainPictureWithThePaletteItPairsWith) {
    const Bytes palette = NoiseBytes(velda::PaletteBytes, 21);
    const Bytes bank = NoiseBytes(8 * velda::PaletteBytes, 22);
    const Bytes bank3(bank.begin() + 3 * velda::PaletteBytes, bank.begin() + 4 * velda::PaletteBytes);
    const Bytes broken = NoiseBytes(31, 23);  // no palette file: must not be read
    const Bytes page5 = NoiseBytes(0x6A00, 1);
    const Bytes upToTable5 = NoiseBytes(0x76A0, 2);  // SCREEN 5 lines and palette table
    const Bytes page10 = NoiseBytes(0xD400, 3);
    Bytes longCodes;  // 80,000 bytes of codes, more than a BSAVE file is read
    Bytes longMemory;
    for (int i = 0; i < 40000; ++i) {
        longMemory.push_back(static_cast<uint8_t>(i * 7));
        longCodes.insert(longCodes.end(), {0x01, longMemory.back()});
    }
    const Bytes short5 = MakeBsave(0, 0x767F, NoiseBytes(0x7680, 4));
    const Bytes cutBeforeTable = MakeBsave(0, 0x769F, NoiseBytes(0x1000, 5));
    const Bytes intoTable5 = MakeBsave(0, 0x7680, NoiseBytes(0x7681, 6));
    const Bytes short7 = MakeBsave(0, 0xFA7F, NoiseBytes(0xFA80, 7));
    const Bytes intoTable7 = MakeBsave(0, 0xFA80, NoiseBytes(0xFA81, 8));
    const Bytes pages6 = MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 9));
    const Bytes pages11 = MakeBsave(0, 0xD3FF, NoiseBytes(0xD400, 10));
    const Bytes second5 = MakeBsave(0, 0x0FFF, NoiseBytes(0x2000, 11));  // bytes after its end address

    struct Row {
        const char* what;
        std::vector<NamedFile> files;  // in a fresh folder
        const char* open;
        FileKind kind;
        uint8_t screen;
        const char* chosen;  // PaletteChoice.file, or nullptr
        bool beside;
        const char* used;  // the palette file the page takes, or nullptr
        Bytes plain;       // the picture as a plain BSAVE file
        Bytes colors;      // what `used` gives
    };
    std::vector<Row> rows = {
        {"Graph Saurus with X.PL5",
         {{"A.SR5", GraphSaurusFile(page5, true)}, {"A.PL5", palette}},
         "A.SR5", FileKind::GraphSaurus, 5, nullptr, true, "A.PL5", Bsave(page5), palette},
        {"Graph Saurus over its own palette table, with X.PL5",
         {{"A.SR5", GraphSaurusFile(upToTable5, false)}, {"A.PL5", palette}},
         "A.SR5", FileKind::GraphSaurus, 5, nullptr, true, "A.PL5", Bsave(upToTable5), palette},
        {"BSAVE stopping at 0x767F, with X.PL5",
         {{"A.SC5", short5}, {"A.PL5", palette}},
         "A.SC5", FileKind::Bsave, 5, nullptr, true, "A.PL5", short5, palette},
        {"BSAVE whose data ends before its table, with X.PL5",
         {{"A.SC5", cutBeforeTable}, {"A.PL5", palette}},
         "A.SC5", FileKind::Bsave, 5, nullptr, true, "A.PL5", cutBeforeTable, palette},
        {"BSAVE reaching 0x7680 keeps its own",
         {{"A.SC5", intoTable5}, {"A.PL5", broken}},
         "A.SC5", FileKind::Bsave, 5, nullptr, true, nullptr, intoTable5, {}},
        {"SCREEN 7 BSAVE stopping at 0xFA7F, with X.PL7",
         {{"A.SC7", short7}, {"A.PL7", palette}},
         "A.SC7", FileKind::Bsave, 7, nullptr, true, "A.PL7", short7, palette},
        {"SCREEN 7 BSAVE reaching 0xFA80 keeps its own",
         {{"A.SC7", intoTable7}, {"A.PL7", broken}},
         "A.SC7", FileKind::Bsave, 7, nullptr, true, nullptr, intoTable7, {}},
        {"SCREEN 6 with X.PL6: entries 0-3",
         {{"A.SC6", pages6}, {"A.PL6", palette}},
         "A.SC6", FileKind::Bsave, 6, nullptr, true, "A.PL6", pages6, palette},
        {"SCREEN 10 takes no palette file beside it",
         {{"A.SRA", GraphSaurusFile(page10, true)}, {"A.PL5", broken}, {"A.PL7", broken}},
         "A.SRA", FileKind::GraphSaurus, 10, nullptr, true, nullptr, Bsave(page10), {}},
        {"SCREEN 10 takes the chosen one",
         {{"A.SRA", GraphSaurusFile(page10, true)}, {"P.PL7", palette}},
         "A.SRA", FileKind::GraphSaurus, 10, "P.PL7", true, "P.PL7", Bsave(page10), palette},
        {"SCREEN 11 BSAVE takes the chosen one",
         {{"A.SCB", pages11}, {"P.PL7", palette}},
         "A.SCB", FileKind::Bsave, 11, "P.PL7", true, "P.PL7", pages11, palette},
        {"SCREEN 8 has no palette to replace",
         {{"A.SC8", Bsave(page10)}, {"P.PL7", broken}},
         "A.SC8", FileKind::Bsave, 8, "P.PL7", true, nullptr, Bsave(page10), {}},
        {"SCREEN 12 has no palette to replace",
         {{"A.SRS", GraphSaurusFile(page10, false)}, {"P.PL7", broken}},
         "A.SRS", FileKind::GraphSaurus, 12, "P.PL7", true, nullptr, Bsave(page10), {}},
        {"the chosen file over X.PL5, palette 3 of 8",
         {{"A.SR5", GraphSaurusFile(page5, true)}, {"A.PL5", palette}, {"BANK.PL", bank}},
         "A.SR5", FileKind::GraphSaurus, 5, "BANK.PL", true, "BANK.PL", Bsave(page5), bank3},
        {"the chosen file over a file's own palette",
         {{"A.SC5", Bsave(upToTable5)}, {"BANK.PL", bank}},
         "A.SC5", FileKind::Bsave, 5, "BANK.PL", true, "BANK.PL", Bsave(upToTable5), bank3},
        {"beside = false",
         {{"A.SR5", GraphSaurusFile(page5, true)}, {"A.PL5", broken}},
         "A.SR5", FileKind::GraphSaurus, 5, nullptr, false, nullptr, Bsave(page5), {}},
        {"lower-case names",
         {{"a.sr5", GraphSaurusFile(page5, false)}, {"a.pl5", palette}},
         "a.sr5", FileKind::GraphSaurus, 5, nullptr, true, "a.pl5", Bsave(page5), palette},
        {"second page 0xFD: Graph Saurus",
         {{"A.S15", GraphSaurusFile(page5, true)}},
         "A.S15", FileKind::SecondPage, 5, nullptr, true, nullptr, Bsave(page5), {}},
        {"second page 0xFE: BSAVE, to its end address",
         {{"A.S15", second5}},
         "A.S15", FileKind::SecondPage, 5, nullptr, true, nullptr, second5, {}},
        {"second page 0xFD longer than a BSAVE file: read whole",
         {{"A.S17", Compressed(longCodes)}},
         "A.S17", FileKind::SecondPage, 7, nullptr, true, nullptr, Bsave(longMemory), {}},
    };
#ifndef _WIN32
    // Names are case-sensitive here: the other case is found too.
    rows.push_back({"X.pl5 beside X.SR5",
                    {{"A.SR5", GraphSaurusFile(page5, true)}, {"A.pl5", palette}},
                    "A.SR5", FileKind::GraphSaurus, 5, nullptr, true, "A.pl5", Bsave(page5), palette});
#endif

    int number = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string folder = FolderWith("pairing-" + std::to_string(++number), row.files);
        PaletteChoice choice;
        if (row.chosen != nullptr) choice.file = folder + "/" + row.chosen;
        choice.index = 3;
        choice.beside = row.beside;
        ScreenPage page = Untouched();
        const LoadReport report = velda::LoadPictureFile(folder + "/" + row.open, row.kind, row.screen, choice, page);
        ASSERT_EQ(report.outcome, LoadOutcome::Accepted) << report.file;
        EXPECT_EQ(page.paletteFile, row.used != nullptr ? folder + "/" + row.used : "");
        ExpectSamePage(page, Expected(row.screen, row.plain, row.used != nullptr ? row.colors : Bytes()));
    }
}

TEST(LoadPictureFile, RefusalsNameTheFileAndLeaveThePageAlone) {
    const Bytes good = GraphSaurusFile(NoiseBytes(0x6A00, 1), true);
    struct Row {
        const char* what;
        std::vector<NamedFile> files;
        const char* open;
        FileKind kind;
        const char* chosen;
        LoadOutcome outcome;
        const char* about;  // the file the report names
        PaletteFileOutcome palette;
    };
    std::vector<Row> rows = {
        {"no such file", {}, "NONE.SC5", FileKind::Bsave, nullptr, LoadOutcome::CannotOpen, "NONE.SC5"},
        {"BSAVE without its mark", {{"A.SC5", MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 2), 0x00)}}, "A.SC5",
         FileKind::Bsave, nullptr, LoadOutcome::NotBsave, "A.SC5"},
        {"BSAVE shorter than a header", {{"A.SC5", {0xFE, 0, 0}}}, "A.SC5", FileKind::Bsave, nullptr,
         LoadOutcome::NotBsave, "A.SC5"},
        {"second page neither 0xFD nor BSAVE", {{"A.S15", {0xFC, 0, 0, 0, 0, 0, 0, 0x20}}}, "A.S15",
         FileKind::SecondPage, nullptr, LoadOutcome::NotBsave, "A.S15"},
        {"Graph Saurus id 0x00", {{"A.SR5", {0x00, 0, 0, 0, 0, 0, 0, 0x20}}}, "A.SR5", FileKind::GraphSaurus,
         nullptr, LoadOutcome::NotGraphSaurus, "A.SR5"},
        {"Graph Saurus of 6 bytes", {{"A.SR5", {0xFD, 0, 0, 0, 0, 0}}}, "A.SR5", FileKind::GraphSaurus, nullptr,
         LoadOutcome::NotGraphSaurus, "A.SR5"},
        {"Graph Saurus cut off", {{"A.SR5", Compressed({0x20, 0x05})}}, "A.SR5", FileKind::GraphSaurus, nullptr,
         LoadOutcome::CutOff, "A.SR5"},
        {"second page cut off", {{"A.S15", Compressed({0x00, 0x10})}}, "A.S15", FileKind::SecondPage, nullptr,
         LoadOutcome::CutOff, "A.S15"},
        {"X.PL5 of 31 bytes", {{"A.SR5", good}, {"A.PL5", NoiseBytes(31, 3)}}, "A.SR5", FileKind::GraphSaurus,
         nullptr, LoadOutcome::NotPalette, "A.PL5", PaletteFileOutcome::WrongSize},
        {"X.PL5 of 39 bytes without the mark", {{"A.SR5", good}, {"A.PL5", Bytes(39, 0x00)}}, "A.SR5",
         FileKind::GraphSaurus, nullptr, LoadOutcome::NotPalette, "A.PL5", PaletteFileOutcome::NotBsave},
        {"chosen palette file missing", {{"A.SR5", good}}, "A.SR5", FileKind::GraphSaurus, "NONE.PL",
         LoadOutcome::CannotOpen, "NONE.PL"},
        {"chosen palette file of 257 bytes", {{"A.SR5", good}, {"P.PL", NoiseBytes(257, 4)}}, "A.SR5",
         FileKind::GraphSaurus, "P.PL", LoadOutcome::NotPalette, "P.PL", PaletteFileOutcome::WrongSize},
    };
#ifndef _WIN32
    // A folder opens here, and then cannot be read.
    rows.push_back({"a folder", {}, ".", FileKind::Bsave, nullptr, LoadOutcome::ReadFailed, "."});
#endif

    int number = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string folder = FolderWith("refusal-" + std::to_string(++number), row.files);
        PaletteChoice choice;
        if (row.chosen != nullptr) choice.file = folder + "/" + row.chosen;
        ScreenPage page = Untouched();
        const LoadReport report = velda::LoadPictureFile(folder + "/" + row.open, row.kind, 5, choice, page);
        EXPECT_EQ(report.outcome, row.outcome);
        EXPECT_EQ(report.file, folder + "/" + row.about);
        if (row.outcome == LoadOutcome::NotPalette) EXPECT_EQ(report.palette, row.palette);
        if (row.outcome == LoadOutcome::CannotOpen || row.outcome == LoadOutcome::ReadFailed) {
            EXPECT_NE(report.errorNumber, 0);
        }
        const ScreenPage before = Untouched();
        ExpectSamePage(page, before);
        EXPECT_EQ(page.startAddress, before.startAddress);
        EXPECT_EQ(page.endAddress, before.endAddress);
        EXPECT_EQ(page.paletteFile, before.paletteFile);
    }
}

// A BSAVE file shows its header's addresses, a Graph Saurus file the
// range it filled.
TEST(LoadPictureFile, StartAndEndAddresses) {
    struct Row {
        const char* what;
        const char* name;
        Bytes file;
        FileKind kind;
        uint8_t screen;
        uint16_t start, end;
    };
    const Row rows[] = {
        {"BSAVE ending early: the header's", "A.SC5", MakeBsave(0x0100, 0x7FFF, NoiseBytes(16, 1)), FileKind::Bsave,
         5, 0x0100, 0x7FFF},
        {"BSAVE second page", "A.S18", MakeBsave(0, 0xD3FF, NoiseBytes(0xD400, 2)), FileKind::SecondPage, 8, 0,
         0xD3FF},
        {"compressed, 100 bytes", "A.SR8", Compressed({0x00, 100, 0x20}), FileKind::GraphSaurus, 8, 0, 99},
        {"raw, past 64 KiB", "A.SR7", GraphSaurusFile(NoiseBytes(0x10005, 3), false), FileKind::GraphSaurus, 7, 0,
         0xFFFF},
        {"compressed second page", "A.S15", GraphSaurusFile(NoiseBytes(0x6A00, 4), true), FileKind::SecondPage, 5,
         0, 0x69FF},
        {"raw with a start address: a BSAVE file", "A.SR5", MakeBsave(0x7680, 0x769F, NoiseBytes(32, 5)),
         FileKind::GraphSaurus, 5, 0x7680, 0x769F},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string folder = FolderWith("addresses", {{row.name, row.file}});
        ScreenPage page;
        const LoadReport report = velda::LoadPictureFile(folder + "/" + row.name, row.kind, row.screen, {}, page);
        ASSERT_EQ(report.outcome, LoadOutcome::Accepted);
        EXPECT_EQ(page.startAddress, row.start);
        EXPECT_EQ(page.endAddress, row.end);
    }
}

// The same name with the other extension: in the case of the picture's
// own extension first.
TEST(FindBeside, SameNameInEitherCase) {
    struct Row {
        std::vector<const char*> files;
        const char* path;
        const char* found;  // nullptr for none
    };
    std::vector<Row> rows = {
        {{"A.SR5", "A.PL5"}, "A.SR5", "A.PL5"},
        {{"a.sr5", "a.pl5"}, "a.sr5", "a.pl5"},
        {{"a.Sr5", "a.pl5"}, "a.Sr5", "a.pl5"},
        {{"B.SR5"}, "B.SR5", nullptr},
        {{"C.D.SR5", "C.D.PL5", "C.PL5"}, "C.D.SR5", "C.D.PL5"},
        {{"C.D.SR5", "C.PL5"}, "C.D.SR5", nullptr},
        {{"E", "E.PL5"}, "E", "E.PL5"},
    };
#ifndef _WIN32
    // Names are case-sensitive here.
    rows.push_back({{"F.SR5", "F.pl5"}, "F.SR5", "F.pl5"});
    rows.push_back({{"f.sr5", "f.PL5"}, "f.sr5", "f.PL5"});
    rows.push_back({{"G.SR5", "G.PL5", "G.pl5"}, "G.SR5", "G.PL5"});
    rows.push_back({{"g.sr5", "g.PL5", "g.pl5"}, "g.sr5", "g.pl5"});
#endif
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        std::vector<NamedFile> files;
        for (const char* name : row.files) files.push_back({name, Bytes(32, 0)});
        const std::string folder = FolderWith("beside", files);
        EXPECT_EQ(velda::FindBeside(folder + "/" + row.path, "PL5"),
                  row.found != nullptr ? folder + "/" + row.found : "");
    }
}

}  // namespace
}  // namespace velda_test
