// Disk images made with mtools, converted whole: every picture as the same
// file converted loose, in a folder named after the image that keeps its
// folders; names the disk gives made harmless; --list; a damaged file
// refused alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "fixtures.h"
#include "graph_saurus_writer.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;

class DiskImages : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveMtools()) GTEST_SKIP() << "no mtools to make disk images";
    }
};

// Every kind of picture, a Graph Saurus picture with its palette file, an
// interlaced pair and a folder: the same bytes as the loose files give,
// BMP and PNG.
TEST_F(DiskImages, ConvertAsTheirFilesLoose) {
    const std::string dir = FreshFolder("images-loose");
    std::vector<LooseFile> files;
    for (const uint8_t screen : {5, 6, 7, 8, 10, 11, 12}) {
        files.push_back({nullptr, NoiseBsave(screen, screen)});
    }
    const char* names[] = {"P5.SC5", "P6.SC6", "P7.SC7", "P8.SC8", "P10.SCA", "P11.SCB", "P12.SCC"};
    for (std::size_t i = 0; i < files.size(); ++i) files[i].path = names[i];
    files.push_back({"G.SR5", GraphSaurusFile(NoiseBytes(0x6A00, 1), true)});
    files.push_back({"G.PL5", NoiseBytes(32, 2)});
    files.push_back({"I.SC7", NoiseBsave(7, 3)});
    files.push_back({"I.S17", NoiseBsave(7, 4)});
    files.push_back({"SUB/C.GL5", MakeCopy(5, NoiseBytes(0x10000, 5), 100, 100)});
    files.push_back({"SUB/DEEP/D.SC8", NoiseBsave(8, 6)});
    ASSERT_EQ(std::system(("mkdir '" + dir + "/disks'").c_str()), 0);
    MakeImage(dir + "/disks/GAME.DSK", dir + "/loose", files);

    for (const char* format : {"bmp", "png"}) {
        SCOPED_TRACE(format);
        const std::string out = std::string("out-") + format;
        ASSERT_EQ(std::system(("mkdir -p '" + dir + "/" + out + "' '" + dir + "/" + out + "-loose'").c_str()), 0);
        // Named, and met in a folder with -r.
        const std::string input = format == std::string("bmp") ? "disks/GAME.DSK" : "-r disks";
        const RunResult image = RunConverter(dir, std::string("-f ") + format + " -d " + out + " " + input);
        EXPECT_EQ(image.status, 0) << image.output;
        EXPECT_TRUE(image.Says("converted 11, skipped 0, failed 0")) << image.output;
        ASSERT_EQ(RunConverter(dir, std::string("-f ") + format + " -r -d " + out + "-loose loose").status, 0);
        const std::vector<std::string> written = Tree(dir + "/" + out + "/GAME");
        EXPECT_EQ(written, Tree(dir + "/" + out + "-loose"));
        EXPECT_EQ(written.size(), 11u);
        for (const std::string& name : written) {
            EXPECT_EQ(ReadFile(dir + "/" + out + "/GAME" + name), ReadFile(dir + "/" + out + "-loose" + name)) << name;
        }
    }
}

// Whatever a name on the disk holds, outputs stay in the image's folder
// under a harmless name, in UTF-8; --list says what each picture is; a
// file whose chain is broken is refused alone, named with its image.
TEST_F(DiskImages, NamesListingAndDamage) {
    const std::string dir = FreshFolder("images-names");
    MakeImage(dir + "/ODD.DSK", dir + "/loose",
              {{"CONX.SC5", NoiseBsave(5, 1)}, {"DOTX.SC8", NoiseBsave(8, 2)}, {"CTLX.SCC", NoiseBsave(12, 3)},
               {"SLAX.SC5", NoiseBsave(5, 4)}, {"KANX.SC5", NoiseBsave(5, 6)}, {"BROKEN.SC7", NoiseBsave(7, 5)},
               {"TWIN.SC5", NoiseBsave(5, 7)}, {"TWIN.SC8", NoiseBsave(8, 8)}, {"TWIN.SCA", NoiseBsave(10, 11)},
               {"PALX.SR5", GraphSaurusFile(NoiseBytes(0x6A00, 9), true)}, {"PALX.PL5", NoiseBytes(100, 10)}});
    Bytes image = ReadFile(dir + "/ODD.DSK");
    // The directory entry of the file named `name` (its 11 bytes first).
    const auto entryOf = [&image](const std::string& name) {
        const auto at = std::search(image.begin(), image.end(), name.begin(), name.end());
        EXPECT_NE(at, image.end()) << name;
        return at;
    };
    for (const auto& rename : {std::pair<std::string, std::string>{"CONX    SC5", "CON     SC5"},  // a device
                               {"DOTX    SC8", "..      SC8"},                                     // dots
                               {"CTLX    SCC", "A\x01:\\B   SCC"},  // a control byte, separators
                               {"SLAX    SC5", "../X    SC5"},     // a separator that reaches up
                               {"KANX    SC5", "\x83\x65\x83\x58\x83\x67  SC5"},  // code page 932
                               {"PALX    SR5", "P\x01L     SR5"}, {"PALX    PL5", "P\x01L     PL5"}}) {
        std::copy(rename.second.begin(), rename.second.end(), entryOf(rename.first));
    }
    const auto broken = entryOf("BROKEN  SC7");
    broken[26] = 0xF0;  // its first cluster lies past the disk's last
    broken[27] = 0x0F;
    WriteFile(dir + "/ODD.DSK", image);

    const RunResult list = RunConverter(dir, "--list ODD.DSK loose/CONX.SC5");
    EXPECT_TRUE(list.Says("loose/CONX.SC5: BSAVE, SCREEN 5, 256 x 212")) << list.output;
    EXPECT_TRUE(list.Says("ODD.DSK:CON.SC5: BSAVE, SCREEN 5, 256 x 212")) << list.output;
    EXPECT_TRUE(list.Says("ODD.DSK:A?:\\B.SCC: BSAVE, SCREEN 12")) << list.output;
    EXPECT_TRUE(list.Says("ODD.DSK:BROKEN.SC7: the disk's chain of clusters of this file is broken at cluster 4080"))
        << list.output;
    // A companion's name is shown as its picture's is.
    EXPECT_TRUE(list.Says("ODD.DSK:P?L.SR5: ODD.DSK:P?L.PL5 is not a palette file (100 bytes")) << list.output;
    EXPECT_TRUE(list.Says("listed 9, skipped 0, failed 2")) << list.output;
    EXPECT_TRUE(FolderEntries(dir) == (std::vector<std::string>{"ODD.DSK", "loose"})) << "--list wrote something";

    const RunResult run = RunConverter(dir, "ODD.DSK");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(run.Says("converted 6, skipped 0, failed 4")) << run.output;
    // Three pictures of one name: the advice names the outputs it would
    // write, the first picture's whichever tried after it.
    for (const std::string later : {"TWIN.SC8", "TWIN.SCA"}) {
        EXPECT_TRUE(run.Says("ODD.DSK:" + later + ": cannot write ODD/TWIN.bmp: already written from ODD.DSK:TWIN.SC5 " +
                             "(--keep-extension writes ODD/TWIN.SC5.bmp and ODD/" + later + ".bmp)"))
            << run.output;
    }
    EXPECT_EQ(Tree(dir + "/ODD"), (std::vector<std::string>{"/...bmp", "/A___B.bmp", "/TWIN.bmp", "/_/X.bmp", "/_CON.bmp",
                                                            "/\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.bmp"}));  // テスト
}

}  // namespace
}  // namespace velda_test
