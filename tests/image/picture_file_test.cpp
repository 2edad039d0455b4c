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
using velda::FileRole;
using velda::LoadFault;
using velda::ScreenPage;

struct NamedFile {
    const char* name;
    Bytes bytes;
};

// The picture `open` among `files` opened as the window's Open by
// extension opens it, its companions asked of `folder`; how, into `plan`.
velda::LoadError OpenAmong(MemoryFolder& folder, const std::vector<NamedFile>& files, const std::string& open,
                           velda::PictureRequest request, ScreenPage& page, velda::PicturePlan* plan = nullptr) {
    const auto file = std::find_if(files.begin(), files.end(), [&](const NamedFile& f) { return open == f.name; });
    const std::size_t dot = open.rfind('.');
    request.name = velda::PictureName{open.substr(0, dot), dot == std::string::npos ? "" : open.substr(dot + 1)};
    request.beside = &folder;
    const velda::PicturePlan planned = velda::PlanPicture(file->bytes.data(), file->bytes.size(), request);
    if (plan != nullptr) *plan = planned;
    return velda::OpenPicture(file->bytes.data(), file->bytes.size(), planned, request, page);
}

// The palette file a plan takes, "" for none.
std::string PaletteFileOf(const velda::PicturePlan& plan) {
    return plan.palette == velda::PaletteSource::Own ? "" : plan.paletteFile;
}

MemoryFolder FolderOf(const std::vector<NamedFile>& files) {
    std::map<std::string, Bytes> table;
    for (const NamedFile& file : files) table[file.name] = file.bytes;
    return MemoryFolder(table);
}

Bytes Bsave(const Bytes& memory) { return MakeBsave(0, static_cast<uint16_t>(memory.size() - 1), memory); }
Bytes Compressed(const Bytes& codes) { return GraphSaurusWithHeader(0xFD, codes); }

// The page a fresh VELDA shows for the plain BSAVE file `plain`, with the
// mode's share of `palette` (32 bytes) in its palette table when given.
ScreenPage Expected(uint8_t screen, const Bytes& plain, const Bytes& palette) {
    ScreenPage page;
    page.screen = screen;
    velda::BsaveHeader header{};
    EXPECT_FALSE(velda::PlaceBsave(plain.data(), plain.size(), screen, page.vram.data(), header));
    const ExpectedMode& mode = ExpectedModeOf(screen);
    const auto share = static_cast<std::ptrdiff_t>(2 * mode.paletteEntries);
    if (share == 0) return page;
    const auto table = page.vram.begin() + mode.paletteAddress;
    if (!palette.empty()) std::copy(palette.begin(), palette.begin() + share, table);
    std::copy(table, table + share, page.palette);
    return page;
}

void ExpectSamePage(const ScreenPage& got, const ScreenPage& want) {
    EXPECT_EQ(got.screen, want.screen);
    EXPECT_TRUE(got.vram == want.vram) << "video memory differs";
    EXPECT_EQ(Bytes(got.palette, got.palette + velda::PaletteBytes),
              Bytes(want.palette, want.palette + velda::PaletteBytes));
}

TEST(OpenPicture, EachKindGivesThePlainPictureWithThePaletteItPairsWith) {
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
    // The first entries of a palette table saved alone: the others stay
    // the power-on ones.
    Bytes fourColours = MakeBsave(0x7680, 0x769F, palette), twoColours = fourColours;
    fourColours.resize(7 + 8);
    twoColours.resize(7 + 4);
    Bytes twoThenPowerOn(velda::DefaultPalette, velda::DefaultPalette + velda::PaletteBytes);
    std::copy(palette.begin(), palette.begin() + 4, twoThenPowerOn.begin());

    struct Row {
        const char* what;
        std::vector<NamedFile> files;  // in a fresh folder
        const char* open;
        uint8_t screen;
        const char* chosen;  // a palette file chosen for every picture, or nullptr
        const char* used;  // the palette file the page takes, or nullptr
        Bytes plain;       // the picture as a plain BSAVE file
        Bytes colors;      // what `used` gives
    };
    std::vector<Row> rows = {
        {"Graph Saurus with X.PL5",
         {{"A.SR5", GraphSaurusFile(page5, true)}, {"A.PL5", palette}},
         "A.SR5", 5, nullptr, "A.PL5", Bsave(page5), palette},
        {"Graph Saurus over its own palette table, with X.PL5",
         {{"A.SR5", GraphSaurusFile(upToTable5, false)}, {"A.PL5", palette}},
         "A.SR5", 5, nullptr, "A.PL5", Bsave(upToTable5), palette},
        {"BSAVE stopping at 0x767F, with X.PL5",
         {{"A.SC5", short5}, {"A.PL5", palette}},
         "A.SC5", 5, nullptr, "A.PL5", short5, palette},
        {"BSAVE whose data ends before its table, with X.PL5",
         {{"A.SC5", cutBeforeTable}, {"A.PL5", palette}},
         "A.SC5", 5, nullptr, "A.PL5", cutBeforeTable, palette},
        {"BSAVE reaching 0x7680 keeps its own",
         {{"A.SC5", intoTable5}, {"A.PL5", broken}},
         "A.SC5", 5, nullptr, nullptr, intoTable5, {}},
        {"SCREEN 7 BSAVE stopping at 0xFA7F, with X.PL7",
         {{"A.SC7", short7}, {"A.PL7", palette}},
         "A.SC7", 7, nullptr, "A.PL7", short7, palette},
        {"SCREEN 7 BSAVE reaching 0xFA80 keeps its own",
         {{"A.SC7", intoTable7}, {"A.PL7", broken}},
         "A.SC7", 7, nullptr, nullptr, intoTable7, {}},
        {"SCREEN 6 with X.PL6: entries 0-3",
         {{"A.SC6", pages6}, {"A.PL6", palette}},
         "A.SC6", 6, nullptr, "A.PL6", pages6, palette},
        {"SCREEN 10 takes no palette file beside it",
         {{"A.SRA", GraphSaurusFile(page10, true)}, {"A.PL5", broken}, {"A.PL7", broken}},
         "A.SRA", 10, nullptr, nullptr, Bsave(page10), {}},
        {"SCREEN 10 takes the chosen one",
         {{"A.SRA", GraphSaurusFile(page10, true)}, {"P.PL7", palette}},
         "A.SRA", 10, "P.PL7", "P.PL7", Bsave(page10), palette},
        {"SCREEN 11 BSAVE takes the chosen one",
         {{"A.SCB", pages11}, {"P.PL7", palette}},
         "A.SCB", 11, "P.PL7", "P.PL7", pages11, palette},
        {"SCREEN 8 has no palette to replace",
         {{"A.SC8", Bsave(page10)}, {"P.PL7", broken}},
         "A.SC8", 8, "P.PL7", nullptr, Bsave(page10), {}},
        {"SCREEN 12 has no palette to replace",
         {{"A.SRS", GraphSaurusFile(page10, false)}, {"P.PL7", broken}},
         "A.SRS", 12, "P.PL7", nullptr, Bsave(page10), {}},
        {"the chosen file over X.PL5, palette 3 of 8",
         {{"A.SR5", GraphSaurusFile(page5, true)}, {"A.PL5", palette}, {"BANK.PL", bank}},
         "A.SR5", 5, "BANK.PL", "BANK.PL", Bsave(page5), bank3},
        {"the chosen file over a file's own palette",
         {{"A.SC5", Bsave(upToTable5)}, {"BANK.PL", bank}},
         "A.SC5", 5, "BANK.PL", "BANK.PL", Bsave(upToTable5), bank3},
        {"lower-case names",
         {{"a.sr5", GraphSaurusFile(page5, false)}, {"a.pl5", palette}},
         "a.sr5", 5, nullptr, "a.pl5", Bsave(page5), palette},
        {"second page 0xFD: Graph Saurus",
         {{"A.S15", GraphSaurusFile(page5, true)}},
         "A.S15", 5, nullptr, nullptr, Bsave(page5), {}},
        {"second page 0xFE: BSAVE, to its end address",
         {{"A.S15", second5}},
         "A.S15", 5, nullptr, nullptr, second5, {}},
        {"second page 0xFD longer than a BSAVE file: read whole",
         {{"A.S17", Compressed(longCodes)}},
         "A.S17", 7, nullptr, nullptr, Bsave(longMemory), {}},
    };
    rows.push_back({"SCREEN 6 with its 4 colours as a short BSAVE dump",
                    {{"A.SC6", pages6}, {"A.PL6", fourColours}}, "A.SC6", 6, nullptr, "A.PL6", pages6, palette});
    rows.push_back({"Graph Saurus with 2 colours as a short BSAVE dump",
                    {{"A.SR5", GraphSaurusFile(page5, true)}, {"A.PL5", twoColours}}, "A.SR5", 5, nullptr, "A.PL5",
                    Bsave(page5), twoThenPowerOn});
    rows.push_back({"the other case of the extension, where names are told apart by case",
                    {{"A.SR5", GraphSaurusFile(page5, true)}, {"A.pl5", palette}},
                    "A.SR5", 5, nullptr, "A.pl5", Bsave(page5), palette});

    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryFolder folder = FolderOf(row.files);
        velda::ChosenPalette chosen;
        velda::PictureRequest request;
        request.screen = row.screen;
        request.paletteIndex = 3;
        if (row.chosen != nullptr) {
            chosen.file = row.chosen;
            chosen.bytes = std::find_if(row.files.begin(), row.files.end(), [&](const NamedFile& f) {
                               return std::string(row.chosen) == f.name;
                           })->bytes;
            request.chosen = &chosen;
        }
        ScreenPage page;
        velda::PicturePlan plan;
        ASSERT_FALSE(OpenAmong(folder, row.files, row.open, request, page, &plan));
        EXPECT_EQ(PaletteFileOf(plan), row.used != nullptr ? row.used : "");
        ExpectSamePage(page, Expected(row.screen, row.plain, row.used != nullptr ? row.colors : Bytes()));
        for (const auto& read : folder.reads) EXPECT_EQ(read.second, read.first == plan.paletteFile ? 1 : 0) << read.first;
    }
}

// A refusal names its reason, the file it is in and the value that is
// wrong; the files beside are read once each, and only when needed.
TEST(OpenPicture, RefusalsNameTheirReasonAndFile) {
    const Bytes good = GraphSaurusFile(NoiseBytes(0x6A00, 1), true);
    struct Row {
        const char* what;
        std::vector<NamedFile> files;
        const char* open;
        bool secondPage;
        LoadFault fault;
        FileRole role;
        FileKind format;
        const char* file;  // the file the error names, "" for the picture
        uint32_t detail;  // the value that is wrong
    };
    const Row rows[] = {
        {"BSAVE without its mark", {{"A.SC5", MakeBsave(0, 0x69FF, NoiseBytes(0x6A00, 2), 0x00)}}, "A.SC5",
         false, LoadFault::WrongFirstByte, FileRole::Picture, FileKind::Bsave, "", 0x00},
        {"BSAVE shorter than a header", {{"A.SC5", {0xFE, 0, 0}}}, "A.SC5", false,
         LoadFault::ShortHeader, FileRole::Picture, FileKind::Bsave, "", 0},
        {"second page neither 0xFD nor BSAVE", {{"A.S15", {0xFC, 0, 0, 0, 0, 0, 0, 0x20}}}, "A.S15",
         false, LoadFault::WrongFirstByte, FileRole::Picture, FileKind::Bsave, "", 0xFC},
        {"Graph Saurus id 0x00", {{"A.SR5", {0x00, 0, 0, 0, 0, 0, 0, 0x20}}}, "A.SR5", false,
         LoadFault::WrongFirstByte, FileRole::Picture, FileKind::GraphSaurus, "", 0x00},
        {"empty Graph Saurus", {{"A.SR5", {}}}, "A.SR5", false, LoadFault::Empty,
         FileRole::Picture, FileKind::GraphSaurus, "", 0},
        {"Graph Saurus cut off", {{"A.SR5", Compressed({0x20, 0x05})}}, "A.SR5", false,
         LoadFault::CutOff, FileRole::Picture, FileKind::GraphSaurus, "", 0},
        {"X.PL5 of 31 bytes", {{"A.SR5", good}, {"A.PL5", NoiseBytes(31, 3)}}, "A.SR5", false,
         LoadFault::PaletteFileSize, FileRole::PaletteFile, FileKind::Bsave, "A.PL5", 31},
        {"X.PL5 of 39 bytes without the mark", {{"A.SR5", good}, {"A.PL5", Bytes(39, 0x00)}}, "A.SR5",
         false, LoadFault::PaletteFileMark, FileRole::PaletteFile, FileKind::Bsave, "A.PL5", 0},
        {"second page cut off", {{"A.SR5", good}, {"A.S15", Compressed({0x00, 0x10})}}, "A.SR5", true, LoadFault::CutOff, FileRole::SecondPage, FileKind::GraphSaurus, "A.S15", 0},
        {"second page with its end below its start", {{"a.sr5", good}, {"a.s15", MakeBsave(9, 8, {})}}, "a.sr5",
         true, LoadFault::EndBelowStart, FileRole::SecondPage, FileKind::Bsave, "a.s15", 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryFolder folder = FolderOf(row.files);
        velda::PictureRequest request;
        request.screen = 5;
        request.interlace = row.secondPage ? velda::Interlace::Auto : velda::Interlace::Off;
        ScreenPage page;
        const velda::LoadError error = OpenAmong(folder, row.files, row.open, request, page);
        EXPECT_EQ(error.fault, row.fault);
        EXPECT_EQ(error.role, row.role);
        EXPECT_EQ(error.format, row.format);
        EXPECT_EQ(error.file, row.file);
        EXPECT_EQ(row.fault == LoadFault::WrongFirstByte    ? error.firstByte
                  : row.fault == LoadFault::PaletteFileSize ? error.fileSize
                                                            : error.endAddress,
                  row.detail);
        for (const auto& read : folder.reads) EXPECT_EQ(read.second, 1) << read.first;
    }

    // A palette file chosen for every picture that could not be read is
    // told only for a picture that takes it.
    velda::ChosenPalette chosen{"P.PL", {}, velda::LoadError(LoadFault::CannotOpen)};
    for (const uint8_t screen : {uint8_t{5}, uint8_t{8}}) {
        MemoryFolder folder = FolderOf({});
        velda::PictureRequest request;
        request.screen = screen;
        request.chosen = &chosen;
        ScreenPage page;
        const velda::LoadError error = OpenAmong(folder, {{"A.SR5", good}}, "A.SR5", request, page);
        EXPECT_EQ(error.fault, screen == 5 ? LoadFault::CannotOpen : LoadFault::None);
        EXPECT_EQ(error.file, screen == 5 ? "P.PL" : "");
    }
}

// The second page beside a picture comes with it, read once; the window,
// which asks for none, reads none; one that must be there and is not is
// named.
TEST(OpenPicture, SecondPageBesideThePicture) {
    const Bytes first = NoiseBytes(0x6A00, 7), second = NoiseBytes(0x6A00, 8);
    const std::vector<NamedFile> files = {{"A.SC5", Bsave(first)}, {"A.S15", GraphSaurusFile(second, true)}};
    for (const bool wanted : {true, false}) {
        MemoryFolder folder = FolderOf(files);
        velda::PictureRequest request;
        request.screen = 5;
        request.interlace = wanted ? velda::Interlace::Auto : velda::Interlace::Off;
        ScreenPage page;
        velda::PicturePlan plan;
        ASSERT_FALSE(OpenAmong(folder, files, "A.SC5", request, page, &plan));
        EXPECT_EQ(plan.secondPage, wanted ? "A.S15" : "");
        EXPECT_EQ(folder.reads["A.S15"], wanted ? 1 : 0);
        if (wanted) EXPECT_TRUE(page.secondVram == Expected(5, Bsave(second), {}).vram);
    }
}

// What the plan refuses before a file is read further, each with the
// details its message names.
TEST(PlanPicture, Refusals) {
    const Bytes bsave = Bsave(NoiseBytes(0x6A00, 40));
    const Bytes copy = MakeCopy(5, NoiseBytes(0x6A00, 41), 10, 10);
    const velda::Interlace off = velda::Interlace::Off, weave = velda::Interlace::Weave;
    const struct {
        const char* what;
        velda::PictureName name;
        Bytes file;
        uint8_t screen;
        velda::Interlace interlace;
        bool pageBeside;  // A.S15 beside it
        LoadFault fault;
        FileKind format;
        std::string detail;  // the extension, the mode or the second page named
    } rows[] = {
        {"a BSAVE file named for no picture", {"A", "txt"}, bsave, 0, off, false, LoadFault::UnknownExtension,
         FileKind::Bsave, "txt"},
        {"no name's extension", {"A", ""}, bsave, 0, off, false, LoadFault::UnknownExtension, FileKind::Bsave, ""},
        {"what is wrong with it comes first", {"A", "txt"}, {0x00, 1, 2, 3, 4, 5, 6}, 0, off, false,
         LoadFault::WrongFirstByte, FileKind::Bsave, ""},
        {"a palette file alone", {"A", "PL5"}, bsave, 0, off, false, LoadFault::PaletteFileAlone, FileKind::Bsave, ""},
        {"a palette file in a chosen mode is a dump", {"A", "PL5"}, bsave, 5, off, false, LoadFault::None, FileKind::Bsave, ""},
        {"a mode VELDA does not show", {"A", "SC5"}, bsave, 9, off, false, LoadFault::NoSuchScreen, FileKind::Bsave, "9"},
        {"woven without its second page", {"A", "SC5"}, bsave, 0, weave, false, LoadFault::NoSecondPage, FileKind::Bsave,
         "A.S15"},
        {"the second page named in the picture's case", {"a", "sc5"}, bsave, 0, velda::Interlace::Blend, true,
         LoadFault::NoSecondPage, FileKind::Bsave, "a.s15"},
        {"a COPY file's area takes none", {"A", "SC5"}, copy, 0, weave, true, LoadFault::NoSecondPage, FileKind::Copy, ""},
        {"nor does a second page", {"A", "S15"}, bsave, 0, weave, true, LoadFault::NoSecondPage, FileKind::SecondPage, ""},
        {"where there may be none", {"A", "SC5"}, bsave, 0, velda::Interlace::Auto, false, LoadFault::None, FileKind::Bsave,
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryFolder folder = FolderOf(row.pageBeside ? std::vector<NamedFile>{{"A.S15", bsave}} : std::vector<NamedFile>{});
        velda::PictureRequest request;
        request.name = row.name;
        request.screen = row.screen;
        request.interlace = row.interlace;
        request.beside = &folder;
        const velda::LoadError refusal = velda::PlanPicture(row.file.data(), row.file.size(), request).refusal;
        EXPECT_EQ(refusal.fault, row.fault);
        EXPECT_EQ(refusal.format, row.format);
        const std::string detail = row.fault == LoadFault::UnknownExtension ? refusal.extension
                                   : row.fault == LoadFault::NoSuchScreen   ? std::to_string(refusal.screen)
                                                                            : refusal.secondPage;
        EXPECT_EQ(detail, row.detail);
    }
}

// A BSAVE file shows its header's addresses, a Graph Saurus file the
// range it filled.
TEST(OpenPicture, StartAndEndAddresses) {
    struct Row {
        const char* what;
        const char* name;
        Bytes file;
        uint8_t screen;
        uint16_t start, end;
    };
    const Row rows[] = {
        {"BSAVE ending early: the header's", "A.SC5", MakeBsave(0x0100, 0x7FFF, NoiseBytes(16, 1)),
         5, 0x0100, 0x7FFF},
        {"BSAVE second page", "A.S18", MakeBsave(0, 0xD3FF, NoiseBytes(0xD400, 2)), 8, 0,
         0xD3FF},
        {"compressed, 100 bytes", "A.SR8", Compressed({0x00, 100, 0x20}), 8, 0, 99},
        {"raw, past 64 KiB", "A.SR7", GraphSaurusFile(NoiseBytes(0x10005, 3), false), 7, 0,
         0xFFFF},
        {"compressed second page", "A.S15", GraphSaurusFile(NoiseBytes(0x6A00, 4), true), 5,
         0, 0x69FF},
        {"raw with a start address: a BSAVE file", "A.SR5", MakeBsave(0x7680, 0x769F, NoiseBytes(32, 5)), 5, 0x7680, 0x769F},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryFolder folder = FolderOf({});
        velda::PictureRequest request;
        request.screen = row.screen;
        ScreenPage page;
        ASSERT_FALSE(OpenAmong(folder, {{row.name, row.file}}, row.name, request, page));
        EXPECT_EQ(page.startAddress, row.start);
        EXPECT_EQ(page.endAddress, row.end);
    }
}

// The same name with the other extension: in the case of the picture's
// own extension first.
TEST(FindBeside, SameNameInEitherCase) {
    struct Row {
        std::vector<const char*> files;
        velda::PictureName name;
        const char* found;
    };
    const Row rows[] = {
        {{"A.SR5", "A.PL5"}, {"A", "SR5"}, "A.PL5"},
        {{"a.sr5", "a.pl5"}, {"a", "sr5"}, "a.pl5"},
        {{"a.Sr5", "a.pl5"}, {"a", "Sr5"}, "a.pl5"},
        {{"B.SR5"}, {"B", "SR5"}, ""},
        {{"C.D.SR5", "C.D.PL5", "C.PL5"}, {"C.D", "SR5"}, "C.D.PL5"},
        {{"C.D.SR5", "C.PL5"}, {"C.D", "SR5"}, ""},
        {{"E", "E.PL5"}, {"E", ""}, "E.PL5"},
        {{"F.SR5", "F.pl5"}, {"F", "SR5"}, "F.pl5"},
        {{"f.sr5", "f.PL5"}, {"f", "sr5"}, "f.PL5"},
        {{"G.SR5", "G.PL5", "G.pl5"}, {"G", "SR5"}, "G.PL5"},
        {{"g.sr5", "g.PL5", "g.pl5"}, {"g", "sr5"}, "g.pl5"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name.stem + "." + row.name.extension);
        std::map<std::string, Bytes> files;
        for (const char* name : row.files) files[name] = Bytes(32, 0);
        MemoryFolder folder(files);
        EXPECT_EQ(velda::FindBeside(folder, row.name, "PL5"), row.found);
    }
}

}  // namespace
}  // namespace velda_test
