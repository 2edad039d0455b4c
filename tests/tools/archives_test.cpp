// ZIP archives and gzip streams converted whole: as their files unpacked
// convert, whichever way Info-ZIP writes them; names in every encoding an
// archive may use, made harmless; damaged and hostile archives, whose good
// files are still converted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fixtures.h"
#include "graph_saurus_writer.h"
#include "test_archive.h"
#include "test_disk.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;

class Archives : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v zip >/dev/null 2>&1") != 0 || !HaveMtools()) {
            GTEST_SKIP() << "no zip or mtools to make archives";
        }
    }
};

// Both trees hold the same files with the same bytes.
void ExpectSameTree(const std::string& got, const std::string& want) {
    const std::vector<std::string> files = Tree(got);
    EXPECT_EQ(files, Tree(want)) << got;
    for (const std::string& file : files) EXPECT_EQ(ReadFile(got + file), ReadFile(want + file)) << got + file;
}

// A tree of pictures of every kind (the corpus's too, where it is there), a
// Graph Saurus picture with its palette file, an interlaced pair, a COPY
// file, folders, a disk image, a ZIP archive and a gzip stream of a disk
// image in two members: zipped by Info-ZIP (deflated; stored, in ZIP64; to
// a pipe, with data descriptors), each archive converts as the tree
// unpacked does, names and bytes, and the gzip'd image as the image.
TEST_F(Archives, ConvertAsTheirFilesUnpacked) {
    const std::string dir = FreshFolder("archives-loose");
    const std::string tree = dir + "/loose/X";
    ASSERT_EQ(RunIn(dir, "mkdir -p loose/X out out-loose").status, 0);
    MakeImage(tree + "/D.DSK", dir + "/in-disk", {{"A.SC8", NoiseBsave(8, 1)}, {"SUB/B.SC5", NoiseBsave(5, 2)}});
    const std::vector<LooseFile> files = {
        {"P5.SC5", NoiseBsave(5, 3)},        {"P12.SCC", NoiseBsave(12, 4)},
        {"G.SR5", GraphSaurusFile(NoiseBytes(0x6A00, 5), true)}, {"G.PL5", NoiseBytes(32, 6)},
        {"I.SC7", NoiseBsave(7, 7)},         {"I.S17", NoiseBsave(7, 8)},
        {"SUB/C.GL5", MakeCopy(5, NoiseBytes(0x10000, 9), 100, 50)}, {"SUB/DEEP/E.SC6", NoiseBsave(6, 10)}};
    for (const LooseFile& file : files) {
        ASSERT_EQ(RunIn(tree, "mkdir -p \"$(dirname " + std::string(file.path) + ")\"").status, 0);
        WriteFile(tree + "/" + file.path, file.bytes);
    }
    if (!CorpusDir().empty()) ASSERT_EQ(RunIn(tree, "mkdir CORPUS && cp '" + CorpusDir() + "'/*.[SsGg]* CORPUS/").status, 0);
    const Bytes disk = ReadFile(tree + "/D.DSK");
    Bytes members = Compressed(Bytes(disk.begin(), disk.begin() + 300000), true);
    const Bytes second = Compressed(Bytes(disk.begin() + 300000, disk.end()), true);
    members.insert(members.end(), second.begin(), second.end());
    WriteFile(tree + "/E.DSK.GZ", members);
    ASSERT_EQ(RunIn(tree, "zip -q -r INNER.ZIP SUB").status, 0);
    for (const char* zip : {"zip -q -r ../../X0.ZIP .", "zip -q -r -0 -fz ../../X1.ZIP .", "zip -q -r - . | cat >../../X2.ZIP"}) {
        ASSERT_EQ(RunIn(tree, zip).status, 0) << zip;
    }

    // The corpus holds pictures of one name in two modes.
    const RunResult unpacked = RunConverter(dir, "--keep-extension -r -d out-loose loose");
    ASSERT_EQ(unpacked.status, 0) << unpacked.output;
    for (const char* name : {"X0", "X1", "X2"}) {
        const RunResult run = RunConverter(dir, std::string("--keep-extension -d out ") + name + ".ZIP");
        EXPECT_EQ(run.status, 0) << run.output;
        ExpectSameTree(dir + "/out/" + name, dir + "/out-loose/X");
    }
    ExpectSameTree(dir + "/out-loose/X/E", dir + "/out-loose/X/D");
    const RunResult list = RunConverter(dir, "--list X1.ZIP");
    for (const char* said : {"X1.ZIP:D.DSK:SUB/B.SC5: BSAVE, SCREEN 5, 256 x 212", "X1.ZIP:INNER.ZIP:SUB/C.GL5: COPY",
                             "X1.ZIP:E.DSK.GZ:A.SC8: BSAVE, SCREEN 8", "X1.ZIP:G.SR5: Graph Saurus, SCREEN 5, 256 x 212, colours from X1.ZIP:G.PL5",
                             "X1.ZIP:I.SC7: BSAVE, SCREEN 7, 512 x 424, with its second page X1.ZIP:I.S17"}) {
        EXPECT_TRUE(list.Says(said)) << said << "\n" << list.output;
    }
}

// A disk image whose first file is in the first 300 KB, its second after.
Bytes TwoFileDisk() {
    TestDisk disk;
    const Bytes early = NoiseBsave(5, 11), late = NoiseBsave(5, 12);
    disk.RootEntry(0, "EARLY   SC5", 2, static_cast<uint32_t>(early.size()));
    disk.Store(2, early);
    disk.RootEntry(1, "LATE    SC5", 600, static_cast<uint32_t>(late.size()));
    disk.Store(600, late);
    return disk.bytes;
}

// The disk image gzip'd, the CRC-32 its trailer gives changed.
Bytes WrongCrcGzip(const Bytes& disk) {
    Bytes gzip = Compressed(disk, true);
    gzip[gzip.size() - 8] ^= 1;
    return gzip;
}

// The disk image, gzip'd in two members, cut just inside the second.
Bytes CutGzip(const Bytes& disk) {
    Bytes cut = Compressed(Bytes(disk.begin(), disk.begin() + 300000), true);
    const Bytes rest = Compressed(Bytes(disk.begin() + 300000, disk.end()), true);
    cut.insert(cut.end(), rest.begin(), rest.begin() + 12);
    return cut;
}

// An archive `levels` deep, each holding the next as "A.ZIP", "B.ZIP"...,
// and a picture beside it.
Bytes Nested(int levels, char name = 'A') {
    std::vector<ZipItem> items = {{std::string(1, name) + ".SC5", NoiseBsave(5, 13)}};
    if (levels > 1) items.push_back({std::string(1, static_cast<char>(name + 1)) + ".ZIP", Nested(levels - 1, static_cast<char>(name + 1))});
    return MakeZip(items);
}

// Archives made with the names, flags and faults of one row each,
// converted with -d: what must be written below the output folder and
// said, and nothing written outside it.
TEST_F(Archives, NamesAndDamage) {
    const Bytes good = NoiseBsave(5, 14), zeros(40 << 20, 0);
    const struct {
        const char* what;
        Bytes archive;
        std::vector<std::string> written;
        std::vector<std::string> said;
    } rows[] = {
        {"a name in UTF-8 by its flag", MakeZip({{"絵 Ñ.SC5", good, 0x0800}}), {"/X/絵 Ñ.bmp"}, {}},
        {"names in code page 437", MakeZip({{"\xA5" "and\xA3.SC5", good}, {"Caf\x82.SC5", good}}),
         {"/X/Café.bmp", "/X/Ñandú.bmp"}, {}},
        {"names in code page 932, which a Japanese tool writes without a flag",
         MakeZip({{"\x83\x5E\x83\x43\x83\x67\x83\x8B.SC5", good}, {"\x8A\x47" "AA.SC5", good}}),
         {"/X/タイトル.bmp", "/X/絵AA.bmp"}, {}},
        {"names that leave the folder or name a device",
         MakeZip({{"../UP.SC5", good}, {"..\\BACK.SC5", good}, {"/ABS.SC5", good}, {"C:DRIVE.SC5", good},
                  {"CON.SC5", good}, {"A//B.SC5", good}}),
         {"/X/A/_/B.bmp", "/X/C_DRIVE.bmp", "/X/_/ABS.bmp", "/X/_/BACK.bmp", "/X/_/UP.bmp", "/X/_CON.bmp"}, {}},
        {"a CRC that does not match, an encrypted file, another method: each refused alone",
         MakeZip({{"GOOD.SC5", good}, {"BAD.SC5", good, 0, 8, 1}, {"ENC.SC5", good, 1}, {"BZ.SC5", good, 0, 12}}),
         {"/X/GOOD.bmp"},
         {"X.ZIP:BAD.SC5: damaged: its CRC-32 is 0x", "X.ZIP:ENC.SC5: encrypted: not read",
          "X.ZIP:BZ.SC5: compressed by method 12, not stored or deflated: not read", "converted 1, skipped 0, failed 3"}},
        {"a file larger than any VELDA reads, and one that inflates past the size its archive says",
         MakeZip({{"BOMB.DSK", zeros}, {"LIAR.SC5", zeros, 0, 8, 0, 1000 - (40 << 20)}, {"GOOD.SC5", good}}),
         {"/X/GOOD.bmp"},
         {"X.ZIP:BOMB.DSK: 41943040 bytes, more than 33554432 bytes, the largest file VELDA reads: not read",
          "X.ZIP:LIAR.SC5: damaged: it inflates to more than the 1000 bytes its archive says"}},
        {"an archive cut short inside its second file",
         [&] {
             Bytes cut = MakeZip({{"GOOD.SC5", good, 0, 0}, {"LATE.SC7", NoiseBsave(7, 15), 0, 0}});
             cut.resize(60000);
             return cut;
         }(),
         {"/X/GOOD.bmp"}, {"X.ZIP: damaged archive: its directory is missing (cut short?)", "converted 1, skipped 0, failed 1"}},
        {"a gzip'd disk image cut short: what was read before the cut; one whose CRC-32 does not match",
         MakeZip({{"C.DSK.GZ", CutGzip(TwoFileDisk()), 0, 0}, {"D.DSK.GZ", WrongCrcGzip(TwoFileDisk()), 0, 0}}),
         {"/X/C/EARLY.bmp"},
         {"X.ZIP:C.DSK.GZ:LATE.SC5: the disk's chain of clusters of this file is broken",
          "X.ZIP:C.DSK.GZ: damaged gzip stream: it is cut short", "X.ZIP:D.DSK.GZ: damaged: its CRC-32 is 0x"}},
        {"archives inside one another, five deep", Nested(5), {"/X/A.bmp", "/X/B/B.bmp", "/X/B/C/C.bmp", "/X/B/C/D/D.bmp"},
         {"X.ZIP:B.ZIP:C.ZIP:D.ZIP:E.ZIP: more than 4 containers inside one another: not opened"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string dir = FreshFolder("archives-rows");
        WriteFile(dir + "/X.ZIP", row.archive);
        ASSERT_EQ(RunIn(dir, "mkdir out").status, 0);
        const RunResult run = RunConverter(dir, "-d out X.ZIP");
        EXPECT_EQ(run.status, row.said.empty() ? 0 : 1) << run.output;
        for (const std::string& said : row.said) EXPECT_TRUE(run.Says(said)) << said << "\n" << run.output;
        EXPECT_EQ(Tree(dir + "/out"), row.written) << run.output;
        EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"X.ZIP", "out"}));
    }
}

}  // namespace
}  // namespace velda_test
