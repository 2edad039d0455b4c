// Names as the system spells them: where a path splits into folder, stem
// and extension (UTF-8 names on every system, code page 932 inside a disk
// image), the order of names in a folder, and a real folder's files as a
// picture's companions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/folder_files.h"
#include "platform/names.h"
#include "test_support.h"

namespace {

TEST(SplitPath, WorkedPaths) {
    struct Row {
        const char* path;
        const char* folder;
        const char* stem;
        const char* extension;
        const char* asBmp;  // WithExtension(path, "BMP")
    };
    const Row rows[] = {
        {"A.SC5", "", "A", "SC5", "A.BMP"},
        {"pics/A.B.sr5", "pics/", "A.B", "sr5", "pics/A.B.BMP"},
        {"DISK.V1/A", "DISK.V1/", "A", "", "DISK.V1/A.BMP"},
        {"A.", "", "A", "", "A.BMP"},
        {"A.SC5.BAK", "", "A.SC5", "BAK", "A.SC5.BMP"},
        {"dir/.sc5", "dir/", ".sc5", "", "dir/.sc5.BMP"},  // a leading dot starts no extension
        {".hidden.SC5", "", ".hidden", "SC5", ".hidden.BMP"},
        // UTF-8: "あ" is E3 81 82, whose bytes a code-page-932 reading
        // would take for a character and a dot.
        {"あ.SC5", "", "あ", "SC5", "あ.BMP"},
        {"絵/Ωmega Ñ.sc5", "絵/", "Ωmega Ñ", "sc5", "絵/Ωmega Ñ.BMP"},
#ifdef _WIN32
        {"C:\\DISK.V1\\A.SC8", "C:\\DISK.V1\\", "A", "SC8", "C:\\DISK.V1\\A.BMP"},
        {"B:.SC6", "B:", ".SC6", "", "B:.SC6.BMP"},
        {"C:\\絵\\あ.SC5", "C:\\絵\\", "あ", "SC5", "C:\\絵\\あ.BMP"},
#else
        {"DISK.SC5\\A", "", "DISK", "SC5\\A", "DISK.BMP"},  // '\' is part of a name here
#endif
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const velda::PathParts parts = velda::SplitPath(row.path);
        EXPECT_EQ(parts.folder, row.folder);
        EXPECT_EQ(parts.stem, row.stem);
        EXPECT_EQ(parts.extension, row.extension);
        EXPECT_EQ(parts.folder + parts.Name(), row.path);
        EXPECT_EQ(velda::WithExtension(row.path, "BMP"), row.asBmp);
    }
}

// The window steps through a folder, and the converter walks it, in this
// order.
TEST(NameBefore, CapitalsAndSmallLettersAlike) {
    const std::vector<std::string> ordered = {"A.SC5", "a.sc5", "a1.sc5", "B.SC5", "z.sc5", "zb.sc5", "ZC.SC5",
                                              "_.sc5", "\x7F.sc5", "\xE3\x81\x82.SC5"};
    std::vector<std::string> names = ordered;
    std::reverse(names.begin(), names.end());
    std::sort(names.begin(), names.end(), velda::NameBefore);
    EXPECT_EQ(names, ordered);
    EXPECT_FALSE(velda::NameBefore("A.SC5", "A.SC5"));
}

// Names from a disk image, made safe to create: each row input, output.
TEST(HarmlessName, DevicesDotsSeparatorsAndTrailingDots) {
    const std::pair<const char*, const char*> rows[] = {
        {"PIC.SC5", "PIC.SC5"}, {"CON", "_CON"}, {"con.sc5", "_con.sc5"}, {"Lpt1", "_Lpt1"}, {"nul", "_nul"},
        {"Prn.x", "_Prn.x"}, {"AUX.SC5", "_AUX.SC5"}, {"LPT9.SC5", "_LPT9.SC5"}, {"COM1", "_COM1"},
        {"com9.sc8", "_com9.sc8"}, {"CON.", "_CON"},
        {"COM0.SC5", "COM0.SC5"}, {"LPT10", "LPT10"}, {"CONX.SC5", "CONX.SC5"}, {"XNUL", "XNUL"},  // no devices
        {"..", "_"}, {".", "_"}, {"", "_"}, {"A.SC5. .", "A.SC5"}, {"A   ", "A"},
        {"a/b", "a_b"}, {"a\\b", "a_b"}, {"B:A.SC5", "B_A.SC5"}, {"a\x01\x1F\x7F", "a___"}, {"<>\"|?*", "______"},
    };
    for (const auto& [name, harmless] : rows) EXPECT_EQ(velda::HarmlessName(name), harmless) << name;
}

// A name an MSX wrote, in code page 932, as UTF-8 whatever the system's
// code page; '_' for each byte that makes no character.
TEST(NameFromCp932, Utf8OnEverySystem) {
    const std::pair<const char*, const char*> rows[] = {
        {"PIC.SC5", "PIC.SC5"},
        {"\x83\x65\x83\x58\x83\x67.SC5", "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.SC5"},  // テスト
        {"\xB1", "\xEF\xBD\xB1"},         // ｱ, half width
        {"\x95\x5C", "\xE8\xA1\xA8"},     // 表, its second byte '\'
        {"A\x80\xA0\xFD.SC5", "A___.SC5"},
        {"\x81\x20X", "_ X"},             // a first byte before no second byte
        {"A\x83", "A_"},                  // a first byte at the end
    };
    for (const auto& [name, utf8] : rows) EXPECT_EQ(velda::NameFromCp932(name), utf8) << name;
}

// A real folder answers a picture's companions: its files only, each name
// as the system matches it, read whole.
TEST(FolderFiles, FindsAndReadsTheFilesBeside) {
    const std::string folder = velda_test::FreshFolder("companions");
    velda_test::WriteFile(folder + "/A.PL5", std::vector<uint8_t>(32, 7));
    velda::MakeFolders(folder + "/D.PL5");
    velda::FolderFiles files(folder);
#ifdef _WIN32
    const std::string otherCase = velda::JoinPath(folder, "A.PL5");
#else
    const std::string otherCase;
#endif
    EXPECT_EQ(files.Find("A.PL5"), velda::JoinPath(folder, "A.PL5"));
    EXPECT_EQ(files.Find("a.pl5"), otherCase);
    EXPECT_EQ(files.Find("D.PL5"), "");
    EXPECT_EQ(files.Find("B.PL5"), "");
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(files.Read(files.Find("A.PL5"), 257, bytes));
    EXPECT_EQ(bytes, std::vector<uint8_t>(32, 7));
}

// Reading a file whole tells a file that cannot be opened (none, or a
// folder) from one that fails while it is read (the memory of the process
// at address 0 on POSIX, as a failing disk does), each with the system's
// reason.
TEST(ReadPictureFile, FailuresNameTheFileAndTheReason) {
    struct Row {
        std::string path;
        velda::LoadFault fault;
    };
    std::vector<Row> rows = {{velda_test::ScratchPath("no-such-file.SC5"), velda::LoadFault::CannotOpen}};
#ifndef _WIN32
    rows.push_back({velda_test::FreshFolder("read-error.SC5"), velda::LoadFault::CannotOpen});
    rows.push_back({"/proc/self/mem", velda::LoadFault::ReadFailed});
#endif
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        std::vector<uint8_t> bytes(3, 1);
        const velda::LoadError error = velda::ReadPictureFile(row.path, 100, bytes);
        EXPECT_EQ(error.fault, row.fault);
        EXPECT_EQ(error.file, row.path);
        EXPECT_TRUE(error.system);
        EXPECT_TRUE(bytes.empty());
    }
}

}  // namespace
