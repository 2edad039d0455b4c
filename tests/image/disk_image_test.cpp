// Reading MSX-DOS disk images written field by field in memory, tidy and
// damaged. Images mtools formats are converted whole in the converter's
// tests; the fuzzer keeps every read within its image.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "image/disk_image.h"
#include "platform/containers.h"
#include "test_disk.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;
using velda::ContainerFile;
using velda::DiskImage;
using velda::LoadFault;

std::vector<std::string> Paths(const DiskImage& image) {
    std::vector<std::string> paths;
    for (const ContainerFile& file : image.Files()) paths.push_back(file.path);
    return paths;
}

// The index of the file `path`, or the number of files.
std::size_t FileNamed(const DiskImage& image, const std::string& path) {
    const auto& files = image.Files();
    return static_cast<std::size_t>(
        std::find_if(files.begin(), files.end(), [&](const ContainerFile& file) { return file.path == path; }) -
        files.begin());
}

// Opens `bytes` as the window and the converter do.
velda::LoadError Open(DiskImage& image, Bytes bytes) { return image.Open(std::move(bytes), velda::SystemContainerTools()); }

// --- what Open lists --------------------------------------------------------

struct ListingCase {
    const char* what;
    std::function<Bytes()> image;
    std::vector<std::string> paths;
};

// "F100", "F101", ... after `prefix`.
std::vector<std::string> Numbered(const std::string& prefix, int count, const std::string& extension = "") {
    std::vector<std::string> names;
    for (int n = 0; n < count; ++n) names.push_back(prefix + "F" + std::to_string(100 + n) + extension);
    return names;
}

// A disk whose folder SUB fills its cluster 2 with entries; `next` follows
// cluster 2 in its chain, and cluster 3 (one more entry) leads back to 2.
Bytes FullFolder(uint32_t next) {
    TestDisk disk;
    disk.RootEntry(0, "SUB        ", 2, 0, FolderAttribute);
    disk.SetFat(2, next);
    disk.SetFat(3, 2);
    for (int n = 0; n < 32; ++n) disk.FolderEntry(2, n, "F" + std::to_string(100 + n) + "       ");
    disk.FolderEntry(3, 0, "F132       ");
    return disk.bytes;
}

const ListingCase ListingCases[] = {
    {"names: small letters by the flags, 0x05 for 0xE5, code page 932 with 0x5C; deleted entries, volume "
     "labels, long-name parts and blank names skipped; 0x00 ends",
     [] {
         TestDisk disk;
         disk.RootEntry(0, "TITLE   SC5", 0, 0, 0, 0x08);
         disk.RootEntry(1, "TITLE   PL5", 0, 0, 0, 0x10);
         disk.RootEntry(2, "BOTH    S15", 0, 0, 0, 0x18);
         disk.RootEntry(3, "README     ");
         disk.RootEntry(4, "\x05" "ABC    SC5", 0, 0, 0, 0x08);  // 0xE5 leads a double-byte character
         disk.RootEntry(5, "\x83\x5C\x83\x41X   SC5", 0, 0, 0, 0x08);
         disk.RootEntry(6, "VELDA DISK ", 0, 0, 0x08);
         disk.RootEntry(7, "\xE5OLD    SC5");
         disk.RootEntry(8, std::string("\x41" "a\0b\0c\0\0\0\0\0", 11), 0, 0, 0x0F);
         disk.RootEntry(9, "        SC5");
         disk.RootEntry(11, "LOST    SC5");  // after the end mark in entry 10
         return disk.bytes;
     },
     {"title.SC5", "TITLE.pl5", "both.s15", "README", "蘂bc.SC5", "ソアx.SC5"}},
    {"a full root directory, with no end mark",
     [] {
         TestDisk disk;
         for (int n = 0; n < 112; ++n) disk.RootEntry(n, "F" + std::to_string(100 + n) + "    BIN");
         disk.Contents(2, 1024);  // what follows the root is not read as more of it
         return disk.bytes;
     },
     Numbered("", 112, ".BIN")},
    {"folders, the root's files first; folders that point back at themselves, their parent or the root",
     [] {
         TestDisk disk;
         disk.RootEntry(0, "SUB        ", 2, 0, FolderAttribute);
         disk.RootEntry(1, "A       SC5");
         disk.Folder(2, 0);
         disk.FolderEntry(2, 2, "B       SC5");
         disk.FolderEntry(2, 3, "SELF       ", 2, 0, FolderAttribute);
         disk.FolderEntry(2, 4, "ROOT       ", 0, 0, FolderAttribute);
         disk.FolderEntry(2, 5, "DEEP       ", 3, 0, FolderAttribute);
         disk.Folder(3, 2);
         disk.FolderEntry(3, 2, "BACK       ", 2, 0, FolderAttribute);
         disk.FolderEntry(3, 3, "C       SC5");
         return disk.bytes;
     },
     {"A.SC5", "SUB/B.SC5", "SUB/DEEP/C.SC5"}},
    {"a folder that fills its one cluster is not read past it", [] { return FullFolder(End); },
     Numbered("SUB/", 32)},
    {"a folder whose chain loops is read once", [] { return FullFolder(3); }, Numbered("SUB/", 33)},
    {"a folder past the image's end",
     [] {
         TestDisk disk;
         disk.RootEntry(0, "SUB        ", 700, 0, FolderAttribute);
         disk.RootEntry(1, "A       SC5");
         disk.SetFat(700, End);
         disk.bytes.resize(disk.ClusterOffset(20));
         return disk.bytes;
     },
     {"A.SC5"}},
};

TEST(DiskImageTest, ListsTheFilesOfEveryFolder) {
    for (const ListingCase& c : ListingCases) {
        SCOPED_TRACE(c.what);
        DiskImage image;
        ASSERT_FALSE(Open(image, c.image()));
        EXPECT_EQ(Paths(image), c.paths);
    }
}

// --- how the geometry is found ----------------------------------------------

// A disk of `layout` holding PIC.SC5 in clusters 2-4, changed by `change`.
struct GeometryCase {
    const char* what;
    Layout layout;
    std::function<void(Bytes&)> change;
};

const GeometryCase GeometryCases[] = {
    {"720 KB, by its boot sector", Disk720, [](Bytes&) {}},
    {"360 KB, by its boot sector", Disk360, [](Bytes&) {}},
    {"128-byte sectors, by its boot sector", {128, 4, 1, 2, 64, 1000, 0xF0, 6}, [](Bytes&) {}},
    // 3,200 bytes of root in 7 sectors: the data starts at sector 12
    {"100 root entries, the root's last sector in part", {512, 2, 1, 2, 100, 720, 0xF8, 2}, [](Bytes&) {}},
    // 3,584 bytes of root in 4 sectors of 1 KiB: the data starts at sector 9
    {"1 KiB sectors, the root's last sector in part", {1024, 1, 1, 2, 112, 720, 0xF9, 2}, [](Bytes&) {}},
    {"first FAT byte disagreeing with the boot sector", Disk720, [](Bytes& b) { b[512] = 0xF8; }},
    {"the image shorter than its geometry", Disk720, [](Bytes& b) { b.resize(20000); }},
    {"bytes a sector 1000", Disk360, [](Bytes& b) { b[11] = 0xE8; b[12] = 0x03; }},
    {"bytes a sector 8192", Disk360, [](Bytes& b) { b[11] = 0; b[12] = 0x20; }},
    {"3 sectors a cluster", Disk360, [](Bytes& b) { b[13] = 3; }},
    {"no reserved sector", Disk360, [](Bytes& b) { b[14] = 0; }},
    {"no FAT", Disk360, [](Bytes& b) { b[16] = 0; }},
    {"no root entries", Disk360, [](Bytes& b) { b[17] = 0; }},
    {"no sectors", Disk360, [](Bytes& b) { b[19] = 0; b[20] = 0; }},
    {"no sector a FAT", Disk360, [](Bytes& b) { b[22] = 0; }},
    {"fewer sectors than the FATs and root take", Disk360, [](Bytes& b) { b[19] = 10; b[20] = 0; }},
    {"more than 4,084 clusters", Disk360, [](Bytes& b) { b[13] = 1; b[19] = 0xFF; b[20] = 0xFF; b[22] = 30; }},
};

TEST(DiskImageTest, FindsTheGeometryByBootSectorOrMediaByte) {
    for (const GeometryCase& c : GeometryCases) {
        SCOPED_TRACE(c.what);
        TestDisk disk(c.layout);
        disk.RootEntry(0, "PIC     SC5", 2, 2500);
        const Bytes contents = disk.Contents(2, 2500);
        c.change(disk.bytes);
        DiskImage image;
        ASSERT_FALSE(Open(image, disk.bytes));
        ASSERT_EQ(Paths(image), std::vector<std::string>{"PIC.SC5"});
        Bytes read;
        EXPECT_FALSE(image.Read(0, 1 << 20, read));
        EXPECT_EQ(read, contents);
    }
}

// The formats MSX-DOS knows by their media byte alone, as its
// documentation gives them: sides x tracks x sectors a track, and a FAT
// large enough for that many clusters.
const Layout MediaLayouts[] = {
    // bytes a sector, sectors a cluster, reserved, FATs, root entries, sectors, media, sectors a FAT
    {512, 2, 1, 2, 112, 720, 0xF8, 2},   // 1 side, 80 tracks, 9 sectors: 360 KB
    {512, 2, 1, 2, 112, 1440, 0xF9, 3},  // 2 sides, 80 tracks, 9 sectors: 720 KB
    {512, 2, 1, 2, 112, 640, 0xFA, 1},   // 1 side, 80 tracks, 8 sectors: 320 KB
    {512, 2, 1, 2, 112, 1280, 0xFB, 2},  // 2 sides, 80 tracks, 8 sectors: 640 KB
    {512, 1, 1, 2, 64, 360, 0xFC, 2},    // 1 side, 40 tracks, 9 sectors: 180 KB
    {512, 2, 1, 2, 112, 720, 0xFD, 2},   // 2 sides, 40 tracks, 9 sectors: 360 KB
    {512, 1, 1, 2, 64, 320, 0xFE, 1},    // 1 side, 40 tracks, 8 sectors: 160 KB
    {512, 2, 1, 2, 112, 640, 0xFF, 1},   // 2 sides, 40 tracks, 8 sectors: 320 KB
};

// Without a usable boot sector, the media byte alone places the data: a
// file in the first cluster and one in the last read right, and one in
// bytes past the last sector is refused.
TEST(DiskImageTest, EveryMediaByteGivesItsOwnGeometry) {
    for (const Layout& layout : MediaLayouts) {
        SCOPED_TRACE(testing::Message() << std::hex << int{layout.media});
        TestDisk disk(layout);
        const auto last = static_cast<uint32_t>((disk.bytes.size() - disk.ClusterOffset(2)) / disk.ClusterBytes() + 1);
        disk.RootEntry(0, "FIRST   SC5", 2, 2500);
        const Bytes first = disk.Contents(2, 2500);
        disk.RootEntry(1, "LAST    SC5", last, static_cast<uint32_t>(disk.ClusterBytes()));
        disk.RootEntry(2, "PAST    SC5", last + 1, 10);
        disk.bytes.resize(disk.bytes.size() + disk.ClusterBytes());
        const Bytes lastContents = disk.Contents(last, disk.ClusterBytes());
        disk.SetFat(last + 1, End);
        std::fill(disk.bytes.begin(), disk.bytes.begin() + 512, 0);
        DiskImage image;
        ASSERT_FALSE(Open(image, disk.bytes));
        ASSERT_EQ(Paths(image), (std::vector<std::string>{"FIRST.SC5", "LAST.SC5", "PAST.SC5"}));
        Bytes read;
        EXPECT_FALSE(image.Read(0, 1 << 20, read));
        EXPECT_EQ(read, first);
        EXPECT_FALSE(image.Read(1, 1 << 20, read));
        EXPECT_EQ(read, lastContents);
        EXPECT_EQ(image.Read(2, 1 << 20, read).fault, LoadFault::ChainBroken);
    }
}

TEST(DiskImageTest, RefusesAnImageNeitherBootSectorNorMediaByteDescribes) {
    const std::pair<Bytes, uint32_t> cases[] = {
        {Bytes{}, 0},
        {Bytes(100, 0xFF), 0},
        {Bytes(1024, 0), 0},
        {[] { Bytes b(1024, 0); b[512] = 0xF0; return b; }(), 0xF0},
        {[] { Bytes b(1024, 0); b[512] = 0xF7; return b; }(), 0xF7},
    };
    for (const auto& [bytes, media] : cases) {
        DiskImage image;
        const velda::LoadError error = Open(image, bytes);
        EXPECT_EQ(error.fault, LoadFault::NotDiskImage);
        EXPECT_EQ(error.mediaByte, media);
        EXPECT_TRUE(image.Files().empty());
    }
}

// --- reading files ----------------------------------------------------------

// An untidy 720 KB disk: the first FAT byte disagrees with the boot
// sector, the second FAT is left empty, and most files are damaged.
Bytes UntidyDisk(Bytes& good) {
    TestDisk disk;
    disk.RootEntry(0, "GOOD    SC5", 2, 2500);
    good = disk.Contents(2, 2500);
    disk.RootEntry(1, "EMPTY      ", 0, 0);
    disk.RootEntry(2, "LOOP    SC5", 10, 5000);
    disk.SetFat(10, 11, 1);
    disk.SetFat(11, 10, 1);
    disk.RootEntry(3, "AWAY    SC5", 12, 5000);
    disk.SetFat(12, 0x900, 1);
    disk.RootEntry(4, "FREE    SC5", 13, 5000);
    disk.SetFat(13, 14, 1);
    disk.RootEntry(5, "BAD     SC5", 15, 5000);
    disk.SetFat(15, 0xFF7, 1);
    disk.RootEntry(6, "SHORT   SC5", 16, 3000);
    disk.SetFat(16, 17, 1);
    disk.SetFat(17, End, 1);
    disk.RootEntry(7, "NOCHAIN    ", 0, 10);
    disk.RootEntry(8, "PAST    SC5", 714, 3000);  // 714 is the last cluster
    disk.SetFat(714, 715, 1);
    disk.RootEntry(9, "FIRST   SC5", 1, 10);
    disk.RootEntry(10, "HUGE    SC5", 2, 0xFFFFFFFF);
    disk.bytes[512] = 0xF8;
    std::fill(disk.bytes.begin() + static_cast<std::ptrdiff_t>(disk.FatOffset(1)),
              disk.bytes.begin() + static_cast<std::ptrdiff_t>(disk.RootOffset()), 0);
    return disk.bytes;
}

struct ReadCase {
    const char* path;
    std::size_t maxBytes;
    LoadFault fault;
    uint32_t value;
    uint32_t chainHolds;
    std::size_t length;  // read without a fault
};

const ReadCase ReadCases[] = {
    {"GOOD.SC5", 1 << 20, LoadFault::None, 0, 0, 2500},
    {"GOOD.SC5", 1500, LoadFault::None, 0, 0, 1500},  // its first maxBytes
    {"GOOD.SC5", 0, LoadFault::None, 0, 0, 0},
    {"EMPTY", 100, LoadFault::None, 0, 0, 0},
    {"LOOP.SC5", 100, LoadFault::ChainBroken, 10, 0, 0},
    {"AWAY.SC5", 100, LoadFault::ChainBroken, 0x900, 0, 0},
    {"FREE.SC5", 100, LoadFault::ChainBroken, 14, 0, 0},
    {"BAD.SC5", 100, LoadFault::ChainBroken, 15, 0, 0},
    {"SHORT.SC5", 100, LoadFault::ChainShort, 3000, 2048, 0},
    {"NOCHAIN", 100, LoadFault::ChainShort, 10, 0, 0},
    {"PAST.SC5", 100, LoadFault::ChainBroken, 715, 0, 0},
    {"FIRST.SC5", 100, LoadFault::ChainBroken, 1, 0, 0},
    {"HUGE.SC5", 100, LoadFault::ChainShort, 0xFFFFFFFF, 3072, 0},
};

TEST(DiskImageTest, ReadsEachFileThroughItsChainOrRefusesItAlone) {
    Bytes good;
    DiskImage image;
    ASSERT_FALSE(Open(image, UntidyDisk(good)));
    ASSERT_EQ(image.Files().size(), 11u);
    for (const ReadCase& c : ReadCases) {
        SCOPED_TRACE(std::string(c.path) + " at most " + std::to_string(c.maxBytes));
        const std::size_t file = FileNamed(image, c.path);
        ASSERT_LT(file, image.Files().size());
        Bytes read(7, 0xAA);
        const velda::LoadError error = image.Read(file, c.maxBytes, read);
        EXPECT_EQ(error.fault, c.fault);
        EXPECT_EQ(error.fault == LoadFault::ChainBroken ? error.cluster : error.fileSize, c.value);
        EXPECT_EQ(error.chainBytes, c.chainHolds);
        ASSERT_EQ(read.size(), c.length);
        EXPECT_TRUE(std::equal(read.begin(), read.end(), good.begin()));
    }
}

// Any of 0xFF8-0xFFF ends a chain: the file it holds reads whole, and a
// size past it is short, not broken.
TEST(DiskImageTest, EveryEndMarkEndsAChain) {
    for (uint32_t mark = 0xFF8; mark <= 0xFFF; ++mark) {
        SCOPED_TRACE(testing::Message() << std::hex << mark);
        TestDisk disk;
        disk.RootEntry(0, "WHOLE   SC5", 2, 1500);
        const Bytes whole = disk.Contents(2, 1500);
        disk.SetFat(3, mark);
        disk.RootEntry(1, "LONG    SC5", 5, 3000);
        disk.SetFat(5, mark);
        DiskImage image;
        ASSERT_FALSE(Open(image, disk.bytes));
        Bytes read;
        EXPECT_FALSE(image.Read(0, 1 << 20, read));
        EXPECT_EQ(read, whole);
        const velda::LoadError error = image.Read(1, 1 << 20, read);
        EXPECT_EQ(error.fault, LoadFault::ChainShort);
        EXPECT_EQ(error.chainBytes, 1024u);
    }
}

// --- a folder of an image as a picture's companions -------------------------

TEST(DiskFolderTest, FindsNamesInAnyCaseAndReadsThem) {
    TestDisk disk;
    disk.RootEntry(0, "PIC     SC5", 3, 1000);
    const Bytes picture = disk.Contents(3, 1000);
    disk.RootEntry(1, "PIC     PL5", 4, 32, 0, 0x08);
    disk.Contents(4, 32);
    disk.RootEntry(2, "\x83\x41X     SC5");
    disk.RootEntry(3, "SUB        ", 2, 0, FolderAttribute);
    disk.Folder(2, 0);
    disk.FolderEntry(2, 2, "INNER   SC5");
    auto image = std::make_shared<DiskImage>();
    ASSERT_FALSE(Open(*image, disk.bytes));

    struct FindCase {
        const char* folder;
        const char* name;
        const char* found;
    };
    const FindCase cases[] = {
        {"", "PIC.SC5", "GAME.DSK:PIC.SC5"},
        {"", "pic.sc5", "GAME.DSK:PIC.SC5"},
        {"", "PIC.PL5", "GAME.DSK:pic.PL5"},
        {"", "アx.sc5", "GAME.DSK:アX.SC5"},
        {"", "ヂX.SC5", ""},  // 0x83 0x61, whose second byte is no letter to fold
        {"", "INNER.SC5", ""},
        {"SUB/", "inner.sc5", "GAME.DSK:SUB/INNER.SC5"},
    };
    for (const FindCase& c : cases) {
        velda::ContainerFolder folder(image, "GAME.DSK", c.folder);
        EXPECT_EQ(folder.Find(c.name), c.found) << c.name;
    }

    velda::ContainerFolder root(image, "GAME.DSK", "");
    EXPECT_EQ(velda::FindBeside(root, velda::PictureName{"pic", "sc5"}, "PL5"), "GAME.DSK:pic.PL5");
    Bytes read;
    EXPECT_FALSE(root.Read("GAME.DSK:PIC.SC5", 1 << 20, read));
    EXPECT_EQ(read, picture);
    EXPECT_EQ(root.Read("GAME.DSK:SUB/INNER.SC5", 100, read).fault, LoadFault::CannotOpen);
}

}  // namespace
}  // namespace velda_test
