// Bad inputs through the built velda-convert, for the cases the batch tests
// of cli_test.cpp leave out: odd files the loader accepts, inputs that
// cannot be read, outputs that cannot be written, and a disk that fills up
// part-way. Every failure is one line "velda-convert: FILE: reason", a
// non-zero exit, no output or temporary file, and the other files of the
// run still converted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fixtures.h"
#include "image/vram_image.h"
#include "image_readers.h"
#include "test_support.h"

namespace {

using velda_test::RunConverter;
using velda_test::RunResult;
using velda_test::FolderEntries;
using velda_test::FreshFolder;
using velda_test::MakeBsave;
using velda_test::ReadFile;
using velda_test::WriteFile;


std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Files the loader accepts although they do not match their header, each
// converted as VELDA's Open reads it. Checked with the tests' own BMP reader
// against what the rules say the picture holds: SCREEN 8 pixels are the
// bytes of video memory, so each line shows where the data went.
TEST(BadInputConverter, OddFilesAreConvertedAsTheLoaderReadsThem) {
    const std::string dir = FreshFolder("bad-odd");
    std::vector<uint8_t> longData(0x300, 0xEE);
    std::fill(longData.begin(), longData.begin() + 0x100, 0x1D);
    std::vector<uint8_t> palette(velda::PaletteBytes);
    for (int i = 1; i < 16; ++i) {
        palette[2 * i] = static_cast<uint8_t>(((i & 7) << 4) | (7 - (i & 7)));
        palette[2 * i + 1] = static_cast<uint8_t>((i >> 1) & 7);
    }
    std::vector<uint8_t> intoPalette(0x7690, 0x00);  // ends after palette entry 7
    for (int i = 0; i < 16; ++i) intoPalette[0x7680 + i] = static_cast<uint8_t>(i % 2 == 0 ? 0x70 + i / 2 : 0x07);

    struct Odd {
        const char* name;
        std::vector<uint8_t> bytes;
        int filledLine;         // SCREEN 8: the one line that is not 0, or -1
        uint8_t filledValue;    // its bytes
        const uint8_t* colors;  // SCREEN 5: the palette of the colour table
    };
    std::vector<uint8_t> mixedPalette(velda::DefaultPalette, velda::DefaultPalette + velda::PaletteBytes);
    std::copy(intoPalette.begin() + 0x7680, intoPalette.end(), mixedPalette.begin());
    const Odd odds[] = {
        // Data shorter than the header says: the rest stays 0.
        {"short.SC8", MakeBsave(0, 0xD3FF, std::vector<uint8_t>(0x100, 0x5A)), 0, 0x5A, nullptr},
        // Data longer than the header says: the rest of the file is ignored.
        {"long.SC8", MakeBsave(0, 0x00FF, longData), 0, 0x1D, nullptr},
        // Start address above 0: the bytes below stay 0.
        {"high.SC8", MakeBsave(0x1000, 0x10FF, std::vector<uint8_t>(0x100, 0x77)), 16, 0x77, nullptr},
        // The palette table alone: a black picture (colour 0) in that palette.
        {"palette.SC5", MakeBsave(0x7680, 0x769F, palette), -1, 0, palette.data()},
        // Ending inside the palette table: entries 8 to 15 are the power-on ones.
        {"halfpal.SC5", MakeBsave(0, 0x769F, intoPalette), -1, 0, mixedPalette.data()},
    };
    std::string arguments;
    for (const Odd& odd : odds) {
        WriteFile(dir + "/" + odd.name, odd.bytes);
        arguments += std::string(" ") + odd.name;
    }
    const RunResult run = RunConverter(dir, arguments);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "velda-convert: converted 5, skipped 0, failed 0\n");

    for (const Odd& odd : odds) {
        SCOPED_TRACE(odd.name);
        std::string bmpName = odd.name;
        bmpName.replace(bmpName.find('.'), std::string::npos, ".bmp");
        velda_test::DecodedImage image;
        ASSERT_EQ(velda_test::ReadBmp(ReadFile(dir + "/" + bmpName), image), "");
        ASSERT_EQ(image.width, 256);
        int wrong = 0;
        for (int y = 0; y < 212; ++y) {
            for (int x = 0; x < 256; ++x) {
                const uint32_t expected = y == odd.filledLine ? odd.filledValue : 0;
                wrong += image.pixels[static_cast<std::size_t>(y) * 256 + x] != expected;
            }
        }
        EXPECT_EQ(wrong, 0);
        if (odd.colors != nullptr) {
            ASSERT_EQ(image.colors.size(), 16u);
            for (int i = 0; i < 16; ++i) {
                const uint8_t redBlue = odd.colors[2 * i];
                const uint8_t green = odd.colors[2 * i + 1];
                EXPECT_EQ(image.colors[i], (velda::Rgb8{static_cast<uint8_t>((redBlue & 0x70) << 1),
                                                        static_cast<uint8_t>((green & 0x07) << 5),
                                                        static_cast<uint8_t>((redBlue & 0x07) << 5)}))
                    << "colour " << i;
            }
        }
    }
    EXPECT_EQ(ReadFile(dir + "/long.SC8").size(), 7u + 0x300u);  // inputs untouched
}

// Inputs that cannot be read and outputs that cannot be written, one run
// each, with a good file in the same run where the options allow. Run as an
// ordinary user: as root, permissions would not stop anything, so the
// converter is started through setpriv as "nobody".
TEST(BadInputConverter, UnreadableInputsAndUnwritableOutputsAreReportedPerFile) {
    std::string prefix;
    if (geteuid() == 0) {
        if (std::system("command -v setpriv >/dev/null 2>&1") != 0) GTEST_SKIP() << "root without setpriv";
        prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    }
    const std::string dir = FreshFolder("bad-perm");
    ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
    const struct {
        const char* name;
        uint8_t screen;
    } inputs[] = {{"locked.SC5", 5}, {"good1.SC5", 5}, {"good2.SC5", 5},
                  {"ro.SC5", 5},     {"good3.SC7", 7}, {"good4.SC8", 8}, {"good5.SC5", 5}};
    for (const auto& input : inputs) WriteFile(dir + "/" + input.name, velda_test::NoiseBsave(input.screen, 3));
    ASSERT_EQ(chmod((dir + "/locked.SC5").c_str(), 0000), 0);
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    WriteFile(dir + "/ro.bmp", old);
    ASSERT_EQ(chmod((dir + "/ro.bmp").c_str(), 0444), 0);
    ASSERT_EQ(mkdir((dir + "/shut").c_str(), 0555), 0);

    const struct {
        const char* arguments;
        const char* message;
        const char* converted;  // the good file's output, or nullptr
    } rows[] = {
        {"locked.SC5 good1.SC5", "velda-convert: locked.SC5: cannot open: Permission denied", "good1.bmp"},
        {"-o nofolder/out.bmp good2.SC5",
         "velda-convert: good2.SC5: cannot write nofolder/out.bmp: No such file or directory", nullptr},
        {"ro.SC5", "velda-convert: ro.SC5: skipped: ro.bmp exists; use --force to replace it", nullptr},
        {"--force ro.SC5 good3.SC7", "velda-convert: ro.SC5: cannot write ro.bmp: the file is read-only", "good3.bmp"},
        {"-d shut good4.SC8", "velda-convert: good4.SC8: cannot write shut/good4.bmp: Permission denied", nullptr},
        // Opens, then fails on reading, as a failing disk does: not a short file.
        {"-s 5 /proc/self/mem good5.SC5",
         "velda-convert: /proc/self/mem: cannot read /proc/self/mem: Input/output error", "good5.bmp"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const RunResult run = RunConverter(dir, row.arguments, prefix);
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_TRUE(run.Says(row.message)) << run.output;
        EXPECT_TRUE(run.Says(row.converted != nullptr ? "converted 1, " : "converted 0, ")) << run.output;
        if (row.converted != nullptr) EXPECT_GT(ReadFile(dir + "/" + row.converted).size(), 54u);
    }
    EXPECT_EQ(ReadFile(dir + "/ro.bmp"), old);
    EXPECT_EQ(ModeOf(dir + "/ro.bmp"), 0444u);
    EXPECT_EQ(FolderEntries(dir + "/shut"), std::vector<std::string>{});
    EXPECT_EQ(FolderEntries(dir), Sorted({"good1.SC5", "good1.bmp", "good2.SC5", "good3.SC7", "good3.bmp",
                                          "good4.SC8", "good5.SC5", "good5.bmp", "locked.SC5", "ro.SC5", "ro.bmp",
                                          "shut"}));
    chmod((dir + "/locked.SC5").c_str(), 0644);
    chmod((dir + "/shut").c_str(), 0755);
}

// A small file system mounted for the test and unmounted however it ends.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const std::string& folder) : folder_(folder) {
        mkdir(folder.c_str(), 0755);
        mounted_ = geteuid() == 0 && mount("velda-small", folder.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
    }
    ~SmallFileSystem() {
        if (mounted_ && umount(folder_.c_str()) != 0) umount2(folder_.c_str(), MNT_DETACH);
        rmdir(folder_.c_str());
    }
    bool Mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

// A disk that fills up part-way through a file: the file that does not fit
// fails with the system's reason, nothing of it is left (not even a
// temporary file), an existing output under that name survives a --force
// replacement, and a file that fits is still converted in the same run
// (one at a time: two at once would share the little room).
TEST(BadInputConverter, FullDiskFailsPartWayAndLeavesNoFile) {
    const std::string dir = FreshFolder("bad-full");
    SmallFileSystem small(dir + "/small");
    if (!small.Mounted()) GTEST_SKIP() << "mounting a 64 KiB file system needs root";
    WriteFile(dir + "/big.S12", velda_test::NoiseBsave(12, 4));  // a 162,870-byte BMP
    WriteFile(dir + "/fits.SC5", velda_test::NoiseBsave(5, 5));  // a 27,254-byte BMP

    const RunResult run = RunConverter(dir, "-j 1 -d small big.S12 fits.SC5");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(run.Says("velda-convert: big.S12: cannot write small/big.bmp: No space left on device"))
        << run.output;
    EXPECT_TRUE(run.Says("converted 1, skipped 0, failed 1")) << run.output;
    EXPECT_EQ(FolderEntries(dir + "/small"), std::vector<std::string>{"fits.bmp"});
    EXPECT_EQ(ReadFile(dir + "/small/fits.bmp"), velda_test::ReferenceBmp(5, velda_test::NoiseBsave(5, 5)));

    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    WriteFile(dir + "/small/big.bmp", old);
    const RunResult forced = RunConverter(dir, "--force -d small big.S12");
    EXPECT_EQ(forced.status, 1) << forced.output;
    EXPECT_TRUE(forced.Says("No space left on device")) << forced.output;
    EXPECT_EQ(ReadFile(dir + "/small/big.bmp"), old);
    EXPECT_EQ(FolderEntries(dir + "/small"), Sorted({"big.bmp", "fits.bmp"}));
}

}  // namespace
