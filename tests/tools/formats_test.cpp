// Every kind of file a collection holds, through the built converter. Each
// reader and option is checked against the plain BSAVE picture of the same
// video memory: the same pixels, read the old way, must give the same
// output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "fixtures.h"
#include "graph_saurus_writer.h"
#include "image/mode_table.h"
#include "image_readers.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;

// Video memory of a mode, from address 0 up to the end of its picture
// lines, with runs for the compressor and the bytes below 0x10 that need
// codes of their own.
Bytes Page(uint8_t screen, uint32_t seed) {
    Bytes page = NoiseBytes(static_cast<std::size_t>(velda::FindMode(screen)->pixelBytes), seed);
    for (std::size_t i = 0; i < page.size(); i += 97) page[i] = static_cast<uint8_t>(i % 16);
    for (std::size_t i = 500; i < 900; ++i) page[i] = 0x33;
    return page;
}

Bytes Bsave(const Bytes& memory) { return MakeBsave(0, static_cast<uint16_t>(memory.size() - 1), memory); }

// `page` followed by `palette` at the mode's palette table.
Bytes WithPalette(uint8_t screen, Bytes page, const Bytes& palette) {
    const velda::ModeInfo* mode = velda::FindMode(screen);
    page.resize(static_cast<std::size_t>(mode->paletteAddress), 0);
    page.insert(page.end(), palette.begin(), palette.begin() + 2 * mode->paletteEntries);
    return page;
}

// The output of converting `file` named `name` with `options`.
Bytes Converted(const std::string& folder, const std::string& name, const Bytes& file, const std::string& options) {
    WriteFile(folder + "/" + name, file);
    const RunResult run = RunConverter(folder, "-q --force -o out.bmp " + options + " " + name);
    EXPECT_EQ(run.status, 0) << name << ": " << run.output;
    return ReadFile(folder + "/out.bmp");
}

TEST(Formats, EveryReaderGivesThePlainBsavePicture) {
    const std::string dir = FreshFolder("formats-readers");
    const Bytes palette = NoiseBytes(velda::PaletteBytes, 9);
    const Bytes bank = NoiseBytes(8 * velda::PaletteBytes, 10);
    const Bytes bank3(bank.begin() + 3 * velda::PaletteBytes, bank.begin() + 4 * velda::PaletteBytes);
    Bytes paletteBsave = MakeBsave(0x7680, 0x769F, palette);
    Bytes fourColours = paletteBsave;  // a SCREEN 6 demo's 4 colours saved alone
    fourColours.resize(7 + 8);
    const Bytes screen11 = NoiseBsave(11, 3);
    struct Row {
        const char* name;
        Bytes file;
        const char* companionName;  // a palette file beside it, or nullptr
        Bytes companion;
        const char* options;
        uint8_t screen;
        Bytes plain;  // the same picture as a BSAVE file
    };
    const Row rows[] = {
        {"A.SCB", screen11, nullptr, {}, "", 11, screen11},
        {"A.GE5", Bsave(Page(5, 1)), nullptr, {}, "", 5, Bsave(Page(5, 1))},
        {"A.GE7", Bsave(Page(7, 1)), nullptr, {}, "", 7, Bsave(Page(7, 1))},
        {"A.GE8", Bsave(Page(8, 1)), nullptr, {}, "", 8, Bsave(Page(8, 1))},
        {"A.PIC", Bsave(Page(8, 2)), nullptr, {}, "", 8, Bsave(Page(8, 2))},
        {"B.SR7", GraphSaurusFile(Page(7, 4), true), nullptr, {}, "", 7, Bsave(Page(7, 4))},
        {"B.SRS", GraphSaurusFile(Page(12, 5), true), nullptr, {}, "", 12, Bsave(Page(12, 5))},
        {"B.SRA", GraphSaurusFile(Page(10, 6), false), nullptr, {}, "", 10, Bsave(Page(10, 6))},
        {"C.SR5", GraphSaurusFile(Page(5, 7), false), "C.PL5", palette, "", 5, Bsave(WithPalette(5, Page(5, 7), palette))},
        {"C.SR6", GraphSaurusFile(Page(6, 7), true), "C.PL6", bank, "--palette-index 3", 6,
         Bsave(WithPalette(6, Page(6, 7), bank3))},
        {"D.SC5", Bsave(Page(5, 8)), "D.PL5", paletteBsave, "", 5, Bsave(WithPalette(5, Page(5, 8), palette))},
        {"D.SC6", Bsave(Page(6, 8)), "D.PL6", fourColours, "", 6, Bsave(WithPalette(6, Page(6, 8), palette))},
        {"E.SC5", Bsave(WithPalette(5, Page(5, 8), bank3)), "E.PL5", palette, "", 5,
         Bsave(WithPalette(5, Page(5, 8), bank3))},  // a file that carries its palette keeps it
        {"F.S15", Bsave(Page(5, 9)), nullptr, {}, "", 5, Bsave(Page(5, 9))},  // a second page alone
        {"G.SC5", Page(5, 14), nullptr, {}, "", 5, Bsave(Page(5, 14))},              // a page without its header
        {"G.SR8", Page(8, 15), nullptr, {}, "", 8, Bsave(Page(8, 15))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string folder = FreshFolder(std::string("formats-") + row.name);
        if (row.companionName != nullptr) WriteFile(folder + "/" + row.companionName, row.companion);
        const Bytes plain = Converted(dir, "plain.bin", row.plain, "-s " + std::to_string(row.screen));
        EXPECT_EQ(Converted(folder, row.name, row.file, row.options), plain);
    }
}

DecodedImage Decoded(const Bytes& bmp) {
    DecodedImage image;
    EXPECT_EQ(ReadBmp(bmp, image), "");
    return image;
}

// The colour of pixel (x, y).
velda::Rgb8 At(const DecodedImage& image, int x, int y) {
    return ShownColor(image, static_cast<std::size_t>(y) * image.width + x);
}

// A COPY file is its area of the screen: the top left of the page it was
// copied from, in the palette file beside it or the power-on palette.
TEST(Formats, CopyFilesAreTheirAreaOfThePage) {
    const Bytes palette = NoiseBytes(velda::PaletteBytes, 16);
    const struct {
        const char* name;
        uint8_t screen;
        int width, height;
        bool paletteFile;
    } rows[] = {{"A.GL5", 5, 100, 100, false}, {"B.GL5", 5, 99, 7, true},   {"C.GL6", 6, 33, 20, true},
                {"D.GL7", 7, 511, 3, false},   {"E.GL8", 8, 101, 50, false}, {"F.GLC", 12, 64, 64, false},
                {"G.SC5", 5, 100, 100, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string dir = FreshFolder(std::string("formats-copy-") + row.name);
        const Bytes page = Page(row.screen, row.width);
        std::string paletteName = row.name;
        paletteName.replace(paletteName.size() - 2, 2, "L" + std::to_string(row.screen));
        if (row.paletteFile) WriteFile(dir + "/" + paletteName.replace(paletteName.size() - 3, 1, "P"), palette);
        const DecodedImage area = Decoded(Converted(dir, row.name, MakeCopy(row.screen, page, row.width, row.height), ""));
        const DecodedImage whole = Decoded(Converted(
            dir, "plain.bin", Bsave(row.paletteFile ? WithPalette(row.screen, page, palette) : page),
            "-s " + std::to_string(row.screen)));
        ASSERT_EQ(area.width, row.width);
        ASSERT_EQ(area.height, row.height);
        int wrong = 0;
        for (int y = 0; y < row.height; ++y) {
            for (int x = 0; x < row.width; ++x) wrong += At(area, x, y) != At(whole, x, y);
        }
        EXPECT_EQ(wrong, 0);
    }
}

// Interlaced pairs woven and blended, and the television shape, against
// the two pages converted one by one.
TEST(Formats, InterlacedPairsAndTheTelevisionShape) {
    const std::string dir = FreshFolder("formats-interlace");
    const Bytes palette = NoiseBytes(velda::PaletteBytes, 21);
    WriteFile(dir + "/P.S17", Bsave(WithPalette(7, Page(7, 12), palette)));
    WriteFile(dir + "/Q.SC5", Bsave(Page(5, 13)));
    const DecodedImage first = Decoded(Converted(dir, "P.SC7", Bsave(WithPalette(7, Page(7, 11), palette)),
                                                 "--interlace off"));
    const DecodedImage second = Decoded(Converted(dir, "P.S17", ReadFile(dir + "/P.S17"), ""));
    const DecodedImage small = Decoded(Converted(dir, "Q.SC5", ReadFile(dir + "/Q.SC5"), ""));

    const DecodedImage woven = Decoded(Converted(dir, "P.SC7", ReadFile(dir + "/P.SC7"), ""));
    ASSERT_EQ(woven.height, 424);
    EXPECT_TRUE(woven.indexed);
    EXPECT_EQ(woven.colors, first.colors);
    const DecodedImage blended = Decoded(Converted(dir, "P.SC7", ReadFile(dir + "/P.SC7"), "--interlace blend"));
    ASSERT_EQ(blended.height, 212);
    EXPECT_FALSE(blended.indexed);
    const DecodedImage tv = Decoded(Converted(dir, "Q.SC5", ReadFile(dir + "/Q.SC5"), "--aspect tv"));
    ASSERT_EQ(tv.width, 512);
    ASSERT_EQ(tv.height, 424);
    int wrong = 0;
    for (int y = 0; y < 212; ++y) {
        for (int x = 0; x < 512; ++x) {
            wrong += At(woven, x, 2 * y) != At(first, x, y) || At(woven, x, 2 * y + 1) != At(second, x, y);
            const velda::Rgb8 a = At(first, x, y), b = At(second, x, y);
            const auto mean = [](int p, int q) { return static_cast<uint8_t>((p + q + 1) / 2); };
            wrong += At(blended, x, y) != velda::Rgb8{mean(a.r, b.r), mean(a.g, b.g), mean(a.b, b.b)};
            wrong += At(tv, x, 2 * y) != At(small, x / 2, y) || At(tv, x, 2 * y + 1) != At(small, x / 2, y);
        }
    }
    EXPECT_EQ(wrong, 0);
    // A woven 512-pixel picture already has a television's shape.
    EXPECT_EQ(Converted(dir, "P.SC7", ReadFile(dir + "/P.SC7"), "--aspect tv"),
              Converted(dir, "P.SC7", ReadFile(dir + "/P.SC7"), ""));

    // The second page named beside its picture goes with it, once.
    const RunResult both = RunConverter(dir, "--force P.SC7 P.S17");
    EXPECT_EQ(both.status, 0) << both.output;
    EXPECT_TRUE(both.Says("converted 1, skipped 0, failed 0")) << both.output;
    // Asked to weave, a picture without its second page is refused.
    const RunResult alone = RunConverter(dir, "--interlace weave --force Q.SC5");
    EXPECT_EQ(alone.status, 1);
    EXPECT_TRUE(alone.Says("velda-convert: Q.SC5: no second page Q.S15 beside it to weave")) << alone.output;
}

// A second page or palette file named among the inputs goes with the
// picture whose plan takes it; one that no picture takes is converted or
// reported as a file of its own, never dropped.
TEST(Formats, NamedCompanionsOnlyWithThePictureThatTakesThem) {
    const std::string dir = FreshFolder("formats-companions");
    WriteFile(dir + "/X.SC5", MakeCopy(5, Page(5, 50), 100, 100));  // a COPY file by its bytes
    WriteFile(dir + "/X.S15", Bsave(Page(5, 51)));
    WriteFile(dir + "/Y.SC5", Bsave(WithPalette(5, Page(5, 52), NoiseBytes(32, 53))));  // carries its palette
    WriteFile(dir + "/Y.PL5", NoiseBytes(32, 54));
    const struct {
        const char* arguments;
        const char* summary;
        const char* message;  // or nullptr for none
    } rows[] = {
        {"X.SC5 X.S15", "converted 1, skipped 0, failed 1",
         "velda-convert: X.S15: cannot write X.bmp: already written from X.SC5 "
         "(--keep-extension writes X.SC5.bmp and X.S15.bmp)"},
        {"--keep-extension X.S15 X.SC5", "converted 2, skipped 0, failed 0", nullptr},
        {"--interlace weave X.SC5 X.S15", "converted 0, skipped 0, failed 2",
         "velda-convert: X.SC5: a COPY file's area has no second page to weave"},
        {"Y.PL5 Y.SC5", "converted 1, skipped 0, failed 1", "velda-convert: Y.PL5: a palette file, not a picture"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const RunResult run = RunConverter(dir, std::string("--force ") + row.arguments);
        EXPECT_TRUE(run.Says(row.summary)) << run.output;
        if (row.message != nullptr) EXPECT_TRUE(run.Says(row.message)) << run.output;
    }
}

TEST(Formats, FoldersWalkedWithTheirTreeMirrored) {
    const std::string dir = FreshFolder("formats-walk");
    for (const char* folder : {"/disk", "/disk/sub", "/disk/sub/deeper", "/out"}) mkdir((dir + folder).c_str(), 0755);
    WriteFile(dir + "/disk/A.SC5", Bsave(Page(5, 31)));
    WriteFile(dir + "/disk/A.PL5", NoiseBytes(velda::PaletteBytes, 32));
    WriteFile(dir + "/disk/notes.txt", {'h', 'i'});
    WriteFile(dir + "/disk/sub/B.SR7", GraphSaurusFile(Page(7, 33), false));
    WriteFile(dir + "/disk/sub/C.SC7", Bsave(Page(7, 34)));
    WriteFile(dir + "/disk/sub/C.S17", Bsave(Page(7, 35)));
    WriteFile(dir + "/disk/sub/deeper/D.GE8", Bsave(Page(8, 36)));
    WriteFile(dir + "/disk/\xE3\x81\x82.SC5", Bsave(Page(5, 38)));  // "あ" in UTF-8

    const RunResult run = RunConverter(dir, "-r -d out disk");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "velda-convert: converted 5, skipped 0, failed 0, ignored 1\n");
    EXPECT_EQ(FolderEntries(dir + "/out"), (std::vector<std::string>{"A.bmp", "sub", "\xE3\x81\x82.bmp"}));
    EXPECT_EQ(FolderEntries(dir + "/out/sub"), (std::vector<std::string>{"B.bmp", "C.bmp", "deeper"}));
    EXPECT_EQ(FolderEntries(dir + "/out/sub/deeper"), std::vector<std::string>{"D.bmp"});
    EXPECT_EQ(Decoded(ReadFile(dir + "/out/sub/C.bmp")).height, 424);

    // Two pictures of one name: the second is refused, and told the way out.
    WriteFile(dir + "/disk/X.SC5", Bsave(Page(5, 37)));
    WriteFile(dir + "/disk/X.SC7", Bsave(Page(7, 37)));
    const RunResult twice = RunConverter(dir + "/disk", "X.SC5 X.SC7");
    EXPECT_EQ(twice.status, 1);
    EXPECT_TRUE(twice.Says("velda-convert: X.SC7: cannot write X.bmp: already written from X.SC5 "
                           "(--keep-extension writes X.SC5.bmp and X.SC7.bmp)"))
        << twice.output;
    const RunResult kept = RunConverter(dir + "/disk", "--keep-extension X.SC5 X.SC7");
    EXPECT_EQ(kept.status, 0) << kept.output;
    EXPECT_TRUE(FileExists(dir + "/disk/X.SC5.bmp") && FileExists(dir + "/disk/X.SC7.bmp"));
    // The first of the two fails: the name is the second's.
    WriteFile(dir + "/disk/Y.SC5", {0xFE});
    WriteFile(dir + "/disk/Y.SC7", Bsave(Page(7, 39)));
    for (const char* jobs : {"-j 1", "-j 2"}) {
        std::remove((dir + "/disk/Y.bmp").c_str());
        EXPECT_TRUE(RunConverter(dir + "/disk", std::string(jobs) + " Y.SC5 Y.SC7").Says("converted 1, skipped 0, failed 1"));
        EXPECT_EQ(Decoded(ReadFile(dir + "/disk/Y.bmp")).width, 512) << jobs;
    }
}

// Files that fill few lines, each converted on the thread that has just
// converted a whole picture: their lines past their data are black.
TEST(Formats, ShortFilesShowNothingOfThePictureBefore) {
    const std::string dir = FreshFolder("formats-after-full");
    WriteFile(dir + "/full1.SC8", NoiseBsave(8, 51));
    WriteFile(dir + "/full2.SC8", NoiseBsave(8, 52));
    Bytes dump = NoiseBytes(128 * 256, 53);
    dump[0] = 0;  // no BSAVE mark: a page of 128 lines without header
    WriteFile(dir + "/short.SC8", dump);
    WriteFile(dir + "/few.SC8", MakeBsave(0, 10 * 256 - 1, NoiseBytes(10 * 256, 54)));
    const RunResult run = RunConverter(dir, "-j 1 full1.SC8 short.SC8 full2.SC8 few.SC8");
    ASSERT_EQ(run.status, 0) << run.output;
    for (const auto& [name, lines] : {std::pair<const char*, int>{"short", 128}, {"few", 10}}) {
        const DecodedImage image = Decoded(ReadFile(dir + "/" + name + ".bmp"));
        ASSERT_EQ(image.height, 212);
        const auto past = image.pixels.begin() + static_cast<std::ptrdiff_t>(lines) * image.width;
        EXPECT_EQ(std::count(past, image.pixels.end(), 0u), image.pixels.end() - past) << name;
    }
}

// A folder's files are walked in the order of their names, capitals and
// small letters alike.
TEST(Formats, FolderWalkedInNameOrder) {
    const std::string dir = FreshFolder("formats-order");
    for (const char* name : {"_.sc5", "ZC.SC5", "zb.sc5", "z.sc5"}) WriteFile(dir + "/" + name, {0xFE});
    const RunResult run = RunConverter(dir, "-r .");
    std::vector<std::size_t> at;  // where each is named in the messages
    for (const char* name : {"z.sc5", "zb.sc5", "ZC.SC5", "_.sc5"}) at.push_back(run.output.find(std::string("/") + name));
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()) && at.back() != std::string::npos) << run.output;
}

// SCREEN 1-4 by their names: 4-bit pictures of 192 lines; the MSX1's
// colours change their palette alone, and not another mode's; sprites
// show only where a file filled their tables.
TEST(Formats, PatternModesByNameWithTheirColoursAndSprites) {
    const std::string dir = FreshFolder("formats-pattern");
    Bytes memory = NoiseBytes(0x4000, 61);
    std::fill(memory.begin() + 0x3800, memory.end(), 0xFF);  // solid sprite patterns
    for (int n = 0; n < 32; ++n) memory[0x1B00 + 4 * n] = static_cast<uint8_t>(20 + n);
    const char* names[] = {"A.SC1", "B.sc2", "C.SC3", "D.SC4", "E.grp"};
    for (const char* name : names) WriteFile(dir + "/" + name, Bsave(memory));
    WriteFile(dir + "/F.SC2", Bsave(Bytes(memory.begin(), memory.begin() + 0x3800)));  // no sprite patterns
    WriteFile(dir + "/G.SC5", NoiseBsave(5, 62));

    const RunResult listed = RunConverter(dir, "--list A.SC1 B.sc2 C.SC3 D.SC4 E.grp");
    EXPECT_EQ(listed.status, 0);
    for (const char* line : {"A.SC1: BSAVE, SCREEN 1, 256 x 192", "B.sc2: BSAVE, SCREEN 2, 256 x 192",
                             "C.SC3: BSAVE, SCREEN 3, 256 x 192", "D.SC4: BSAVE, SCREEN 4, 256 x 192",
                             "E.grp: BSAVE, SCREEN 2, 256 x 192"}) {
        EXPECT_TRUE(listed.Says(line)) << listed.output;
    }
    auto read = [&](const std::string& name, const std::string& options) {
        DecodedImage image;
        EXPECT_EQ(ReadBmp(Converted(dir, name, ReadFile(dir + "/" + name), options), image), "") << name;
        return image;
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const DecodedImage plain = read(name, "");
        EXPECT_EQ(plain.width * 1000 + plain.height, 256192);
        EXPECT_EQ(plain.bitDepth, 4);
        EXPECT_EQ(plain.colors.size(), 16u);
        const DecodedImage msx1 = read(name, "--colors msx1");
        EXPECT_EQ(msx1.pixels, plain.pixels);
        EXPECT_NE(msx1.colors, plain.colors);
        EXPECT_NE(read(name, "--sprites 16x2").pixels, plain.pixels);
    }
    EXPECT_EQ(read("F.SC2", "--sprites 16x2").pixels, read("F.SC2", "").pixels);
    const DecodedImage velda5 = read("G.SC5", ""), msx1Of5 = read("G.SC5", "--colors msx1");
    EXPECT_EQ(msx1Of5.colors, velda5.colors);
    EXPECT_EQ(msx1Of5.pixels, velda5.pixels);
}

// What is wrong with a file, named in the message.
TEST(Formats, ProblemsAreReportedPerFile) {
    const std::string dir = FreshFolder("formats-problems");
    Bytes cut = GraphSaurusFile(Page(5, 41), true);
    cut.push_back(0x00);  // a long run that ends before its count
    WriteFile(dir + "/cut.SR5", cut);
    WriteFile(dir + "/bad.SR5", {0xFC, 0, 0, 0, 0, 0, 0, 1});
    WriteFile(dir + "/G.SR5", GraphSaurusFile(Page(5, 42), false));
    WriteFile(dir + "/G.PL5", NoiseBytes(100, 43));
    WriteFile(dir + "/H.PL5", NoiseBytes(32, 44));
    const struct {
        const char* arguments;
        int status;
        const char* message;
    } rows[] = {
        {"cut.SR5", 1, "velda-convert: cut.SR5: Graph Saurus data cut off: the file ends inside a run"},
        {"bad.SR5", 1, "velda-convert: bad.SR5: not a Graph Saurus file (first byte 0xFC, not 0xFE or 0xFD)"},
        {"G.SR5", 1, "velda-convert: G.SR5: G.PL5 is not a palette file (100 bytes; a palette file has 32, 39 or 256, or is a BSAVE dump of part of the palette table)"},
        {"H.PL5", 1, "velda-convert: H.PL5: a palette file, not a picture"},
        {"--palette none.PL5 cut.SR5", 2, "velda-convert: --palette none.PL5: no such file"},
        {"--palette-index 8 cut.SR5", 2, "invalid palette index '8' (use 0 to 7)"},
        {"--interlace twice cut.SR5", 2, "invalid interlace mode 'twice' (use auto, weave, blend or off)"},
        {"--aspect wide cut.SR5", 2, "invalid aspect 'wide' (use raw or tv)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const RunResult run = RunConverter(dir, row.arguments);
        EXPECT_EQ(run.status, row.status);
        EXPECT_TRUE(run.Says(row.message)) << run.output;
    }
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"G.PL5", "G.SR5", "H.PL5", "bad.SR5", "cut.SR5"}));
}

}  // namespace
}  // namespace velda_test
