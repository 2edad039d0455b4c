// The built velda-convert run as a user runs it: exit status, messages,
// output names, and that no partial or overwritten file is ever left.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

#include "fixtures.h"
#include "image_readers.h"
#include "test_support.h"
#include "export/png_writer.h"

namespace {

using velda_test::RunConverter;
using velda_test::RunResult;
using velda_test::FolderEntries;
using velda_test::FreshFolder;
using velda_test::ReadFile;
using velda_test::WriteFile;


std::vector<uint8_t> GoodFile(uint8_t screen, uint32_t seed = 1) { return velda_test::NoiseBsave(screen, seed); }

std::vector<std::string> Names(std::initializer_list<const char*> names) {
    std::vector<std::string> sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

TEST(ConverterCli, MixedBatch) {
    const std::string dir = FreshFolder("cli-batch");
    WriteFile(dir + "/good.SC5", GoodFile(5));
    WriteFile(dir + "/yjk.s12", GoodFile(12));
    WriteFile(dir + "/notbsave.SC8", {0x00, 0x00, 0x00, 0xFF, 0x69, 0x00, 0x00, 1, 2, 3});
    WriteFile(dir + "/short.SC7", {0xFE, 0x00, 0x00});
    WriteFile(dir + "/empty.SC5", {});
    WriteFile(dir + "/backwards.SC5", velda_test::MakeBsave(0x1000, 0x0FFF, {1, 2, 3}));
    WriteFile(dir + "/nomode.dat", GoodFile(5));
    mkdir((dir + "/folder.SC5").c_str(), 0755);
    WriteFile(dir + "/taken.SC8", GoodFile(8));
    WriteFile(dir + "/taken.bmp", {'k', 'e', 'e', 'p'});

    const RunResult run = RunConverter(dir,
                              "good.SC5 yjk.s12 notbsave.SC8 short.SC7 empty.SC5 backwards.SC5 nomode.dat "
                              "folder.SC5 missing.SC5 taken.SC8");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(run.Says("velda-convert: converted 2, skipped 1, failed 7")) << run.output;
    EXPECT_TRUE(run.Says("velda-convert: notbsave.SC8: not a BSAVE file (first byte 0x00, not 0xFE)"));
    EXPECT_TRUE(run.Says("velda-convert: short.SC7: not a BSAVE file (shorter than the 7-byte header)"));
    EXPECT_TRUE(run.Says("velda-convert: empty.SC5: not a BSAVE file (the file is empty)"));
    EXPECT_TRUE(run.Says(
        "velda-convert: backwards.SC5: bad BSAVE header: end address 0x0FFF is below start address 0x1000"));
    EXPECT_TRUE(run.Says("velda-convert: nomode.dat: unknown screen mode"));
    EXPECT_TRUE(run.Says("pass --screen N"));
    EXPECT_TRUE(run.Says("velda-convert: folder.SC5: cannot open: Is a directory"));
    EXPECT_TRUE(run.Says("velda-convert: missing.SC5: cannot open: No such file or directory"));
    EXPECT_TRUE(run.Says("velda-convert: taken.SC8: skipped: taken.bmp exists; use --force to replace it"));
    EXPECT_FALSE(run.Says("good.SC5:")) << run.output;

    // Outputs for the two good files only; nothing half-written anywhere.
    EXPECT_EQ(FolderEntries(dir), Names({"backwards.SC5", "empty.SC5", "folder.SC5", "good.SC5", "good.bmp", "yjk.s12",
                                         "yjk.bmp", "nomode.dat", "notbsave.SC8", "short.SC7", "taken.SC8",
                                         "taken.bmp"}));
    EXPECT_EQ(ReadFile(dir + "/good.bmp"), velda_test::ReferenceBmp(5, GoodFile(5)));
    EXPECT_EQ(ReadFile(dir + "/taken.bmp"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));

    // --force replaces the existing output.
    const RunResult forced = RunConverter(dir, "--force taken.SC8");
    EXPECT_EQ(forced.status, 0) << forced.output;
    EXPECT_TRUE(forced.Says("converted 1, skipped 0, failed 0"));
    EXPECT_EQ(ReadFile(dir + "/taken.bmp"), velda_test::ReferenceBmp(8, GoodFile(8)));
}

TEST(ConverterCli, OnlyTheExpectedFilesAppear) {
    const std::string dir = FreshFolder("cli-files");
    WriteFile(dir + "/a.SC5", GoodFile(5));
    WriteFile(dir + "/b.SCA", GoodFile(10));
    WriteFile(dir + "/c.SC8", {0x00});
    const RunResult run = RunConverter(dir, "a.SC5 b.SCA c.SC8");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(FolderEntries(dir), Names({"a.SC5", "a.bmp", "b.SCA", "b.bmp", "c.SC8"}));
}

TEST(ConverterCli, AllConvertedExitsZero) {
    const std::string dir = FreshFolder("cli-ok");
    WriteFile(dir + "/p5.sc5", GoodFile(5));
    WriteFile(dir + "/p6.SC6", GoodFile(6));
    WriteFile(dir + "/p7.SC7", GoodFile(7));
    const RunResult run = RunConverter(dir, "p5.sc5 p6.SC6 p7.SC7");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "velda-convert: converted 3, skipped 0, failed 0\n");  // no progress: not a terminal
    EXPECT_EQ(ReadFile(dir + "/p6.bmp"), velda_test::ReferenceBmp(6, GoodFile(6)));

    const RunResult quiet = RunConverter(dir, "-q --force p5.sc5");
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.output, "");
}

TEST(ConverterCli, ScreenFlagOverridesTheExtension) {
    const std::string dir = FreshFolder("cli-screen");
    WriteFile(dir + "/pic.SC5", GoodFile(8));
    const RunResult run = RunConverter(dir, "-s 8 pic.SC5");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(ReadFile(dir + "/pic.bmp"), velda_test::ReferenceBmp(8, GoodFile(8)));
}

TEST(ConverterCli, OutputNaming) {
    const std::string dir = FreshFolder("cli-naming");
    mkdir((dir + "/in.dir").c_str(), 0755);
    mkdir((dir + "/out").c_str(), 0755);
    WriteFile(dir + "/in.dir/A.B.SC8", GoodFile(8));
    WriteFile(dir + "/in.dir/plain", GoodFile(12));

    // Beside the input, only the file name's extension replaced.
    EXPECT_EQ(RunConverter(dir, "in.dir/A.B.SC8").status, 0);
    EXPECT_EQ(RunConverter(dir, "-s 12 in.dir/plain").status, 0);
    EXPECT_EQ(FolderEntries(dir + "/in.dir"), Names({"A.B.SC8", "A.B.bmp", "plain", "plain.bmp"}));

    // -o: exactly that name.
    EXPECT_EQ(RunConverter(dir, "-o custom.name in.dir/A.B.SC8").status, 0);
    EXPECT_EQ(ReadFile(dir + "/custom.name"), ReadFile(dir + "/in.dir/A.B.bmp"));

    // -d: into the folder, with the output extension.
    EXPECT_EQ(RunConverter(dir, "-d out in.dir/A.B.SC8 -s 12 in.dir/plain").status, 0);
    EXPECT_EQ(FolderEntries(dir + "/out"), Names({"A.B.bmp", "plain.bmp"}));
    EXPECT_EQ(ReadFile(dir + "/out/plain.bmp"), ReadFile(dir + "/in.dir/plain.bmp"));

    if (velda::PngAvailable()) {
        EXPECT_EQ(RunConverter(dir, "-f png -d out in.dir/A.B.SC8").status, 0);
        EXPECT_EQ(RunConverter(dir, "-o picture.PNG in.dir/A.B.SC8").status, 0);  // format from the name
        velda_test::DecodedImage image;
        EXPECT_EQ(velda_test::ReadPng(ReadFile(dir + "/out/A.B.png"), image), "");
        EXPECT_EQ(velda_test::ReadPng(ReadFile(dir + "/picture.PNG"), image), "");
    }
}

TEST(ConverterCli, UsageErrorsTouchNothing) {
    const std::string dir = FreshFolder("cli-usage");
    WriteFile(dir + "/a.SC5", GoodFile(5));
    WriteFile(dir + "/b.SC5", GoodFile(5));
    const struct {
        const char* arguments;
        const char* message;
    } rows[] = {
        {"", "no input files"},
        {"-s 9 a.SC5", "invalid screen mode '9'"},
        {"-f jpg a.SC5", "invalid format 'jpg'"},
        {"--colors vivid a.SC5", "invalid colour rule 'vivid'"},
        {"-o x.bmp a.SC5 b.SC5", "--output takes exactly one input file"},
        {"-d nowhere a.SC5 b.SC5", "--dir nowhere: no such folder"},
        {"--bogus a.SC5", "--bogus\n"},  // in the parser's own words
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const RunResult run = RunConverter(dir, row.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.output.rfind("velda-convert: ", 0), 0u) << run.output;
        EXPECT_TRUE(run.Says(row.message)) << run.output;
        EXPECT_TRUE(run.Says("Try 'velda-convert --help'")) << run.output;
    }
    EXPECT_EQ(FolderEntries(dir), Names({"a.SC5", "b.SC5"}));
}

TEST(ConverterCli, HelpAndVersion) {
    const std::string dir = FreshFolder("cli-help");
    const RunResult version = RunConverter(dir, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, "velda-convert (VELDA) " VELDA_VERSION "\n");
    const RunResult help = RunConverter(dir, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.Says("Usage: velda-convert [options] FILE..."));
    EXPECT_TRUE(help.Says("--colors"));
}

// A write that fails part-way (the file-size limit makes the system refuse
// it) leaves neither the output nor a temporary file behind.
TEST(ConverterCli, FailedWriteLeavesNoPartialFile) {
    const std::string dir = FreshFolder("cli-full");
    WriteFile(dir + "/big.S12", GoodFile(12));
    WriteFile(dir + "/big.SC8", GoodFile(8));
    const std::string limit = "trap '' XFSZ; ulimit -f 8;";  // 4 KiB
    const RunResult run = RunConverter(dir, "big.S12", limit);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(run.Says("velda-convert: big.S12: cannot write big.bmp: File too large")) << run.output;
    EXPECT_TRUE(run.Says("converted 0, skipped 0, failed 1"));
    if (velda::PngAvailable()) {
        const RunResult png = RunConverter(dir, "-f png big.SC8", limit);
        EXPECT_EQ(png.status, 1) << png.output;
        EXPECT_TRUE(png.Says("velda-convert: big.SC8: cannot write big.png: File too large")) << png.output;
    }
    EXPECT_EQ(FolderEntries(dir), Names({"big.S12", "big.SC8"}));

    // An existing output survives a failed --force replacement untouched.
    WriteFile(dir + "/big.bmp", {'o', 'l', 'd'});
    const RunResult forced = RunConverter(dir, "--force big.S12", limit);
    EXPECT_EQ(forced.status, 1) << forced.output;
    EXPECT_EQ(ReadFile(dir + "/big.bmp"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(FolderEntries(dir), Names({"big.S12", "big.SC8", "big.bmp"}));
}

// The temporary file's name does not grow with the output's: an output
// name of 250 bytes is written.
TEST(ConverterCli, LongOutputNameIsWritten) {
    const std::string dir = FreshFolder("cli-long");
    const std::string base(246, 'n');
    WriteFile(dir + "/" + base + ".SC5", GoodFile(5));
    const RunResult run = RunConverter(dir, base + ".SC5");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(ReadFile(dir + "/" + base + ".bmp"), velda_test::ReferenceBmp(5, GoodFile(5)));
    EXPECT_EQ(FolderEntries(dir).size(), 2u);
}

TEST(ConverterCli, NeverWritesOverItsInputOrTwiceToOneName) {
    const std::string dir = FreshFolder("cli-same");
    WriteFile(dir + "/pic.bmp", GoodFile(5));  // a BSAVE file with an odd name
    const RunResult self = RunConverter(dir, "--force -s 5 pic.bmp");
    EXPECT_EQ(self.status, 1);
    EXPECT_TRUE(self.Says("velda-convert: pic.bmp: cannot write pic.bmp: it is the input file")) << self.output;
    EXPECT_EQ(ReadFile(dir + "/pic.bmp"), GoodFile(5));

    mkdir((dir + "/taken.bmp").c_str(), 0755);
    const RunResult folder = RunConverter(dir, "--force -s 5 -o taken.bmp pic.bmp");
    EXPECT_EQ(folder.status, 1);
    EXPECT_TRUE(folder.Says("velda-convert: pic.bmp: cannot write taken.bmp: is a directory")) << folder.output;

    WriteFile(dir + "/same.SC5", GoodFile(5));
    WriteFile(dir + "/same.SC8", GoodFile(8));
    const RunResult twice = RunConverter(dir, "--force same.SC5 same.SC8");
    EXPECT_EQ(twice.status, 1);
    EXPECT_TRUE(twice.Says("velda-convert: same.SC8: cannot write same.bmp: already written from same.SC5"))
        << twice.output;
    EXPECT_EQ(ReadFile(dir + "/same.bmp"), velda_test::ReferenceBmp(5, GoodFile(5)));

    // The same output under two spellings is found by the file, not the name.
    const RunResult spelled = RunConverter(dir, "--force ./same.SC5 same.SC8");
    EXPECT_EQ(spelled.status, 1);
    EXPECT_TRUE(spelled.Says("velda-convert: same.SC8: cannot write same.bmp: already written from ./same.SC5"))
        << spelled.output;
    EXPECT_EQ(ReadFile(dir + "/same.bmp"), velda_test::ReferenceBmp(5, GoodFile(5)));
}

}  // namespace
