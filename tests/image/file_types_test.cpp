// What a name says a file is: its extension in any case, only in the file
// name itself, with code-page-932 names walked a character at a time.
#include <gtest/gtest.h>

#include <string>

#include "image/file_types.h"

namespace {

using velda::FileKind;

std::string OrNone(const char* text) { return text != nullptr ? text : "(none)"; }

TEST(FileTypes, WorkedNames) {
    struct Row {
        const char* path;
        FileKind kind;
        int screen;
        const char* extension;
        const char* asBmp;  // WithExtension(path, "BMP")
    };
    const Row rows[] = {
        {"A.SC5", FileKind::Bsave, 5, "SC5", "A.BMP"},
        {"a.sc5", FileKind::Bsave, 5, "sc5", "a.BMP"},
        {"x.Sc7", FileKind::Bsave, 7, "Sc7", "x.BMP"},
        {"X.S10", FileKind::Bsave, 10, "S10", "X.BMP"},
        {"X.scb", FileKind::Bsave, 11, "scb", "X.BMP"},
        {"X.S12", FileKind::Bsave, 12, "S12", "X.BMP"},
        {"X.pic", FileKind::Bsave, 8, "pic", "X.BMP"},
        {"B.SR8", FileKind::GraphSaurus, 8, "SR8", "B.BMP"},
        {"b.sra", FileKind::GraphSaurus, 10, "sra", "b.BMP"},
        {"B.SRS", FileKind::GraphSaurus, 12, "SRS", "B.BMP"},
        {"B.src", FileKind::GraphSaurus, 12, "src", "B.BMP"},
        {"C.S15", FileKind::SecondPage, 5, "S15", "C.BMP"},
        {"c.s1c", FileKind::SecondPage, 12, "s1c", "c.BMP"},
        {"D.PL6", FileKind::Palette, 6, "PL6", "D.BMP"},
        {"d.pl7", FileKind::Palette, 7, "pl7", "d.BMP"},
        // Near misses.
        {"E.BMP", FileKind::Unknown, 0, "BMP", "E.BMP"},
        {"E.SC9", FileKind::Unknown, 0, "SC9", "E.BMP"},
        {"E.SC", FileKind::Unknown, 0, "SC", "E.BMP"},
        {"E.SC55", FileKind::Unknown, 0, "SC55", "E.BMP"},
        {"E.PL8", FileKind::Unknown, 0, "PL8", "E.BMP"},
        {"SC5", FileKind::Unknown, 0, "", "SC5.BMP"},
        {"A.", FileKind::Unknown, 0, "", "A.BMP"},
        // Only the last dot of the file name counts.
        {"A.B.SC5", FileKind::Bsave, 5, "SC5", "A.B.BMP"},
        {"A.SC5.BAK", FileKind::Unknown, 0, "BAK", "A.SC5.BMP"},
        {"DISK.V1/A", FileKind::Unknown, 0, "", "DISK.V1/A.BMP"},
        {"DISK.SC5\\A", FileKind::Unknown, 0, "", "DISK.SC5\\A.BMP"},
        {"C:\\DISK.V1\\A.SC8", FileKind::Bsave, 8, "SC8", "C:\\DISK.V1\\A.BMP"},
        // A leading dot starts no extension.
        {".SC5", FileKind::Unknown, 0, "", ".SC5.BMP"},
        {"dir/.sc5", FileKind::Unknown, 0, "", "dir/.sc5.BMP"},
        {"B:.SC6", FileKind::Unknown, 0, "", "B:.SC6.BMP"},
        {".hidden.SC5", FileKind::Bsave, 5, "SC5", ".hidden.BMP"},
        // Code page 932: 0x83 0x5C and 0x95 0x5C are one character each,
        // and a byte after a lead byte is never a dot.
        {"\x83\x5C.SC5", FileKind::Bsave, 5, "SC5", "\x83\x5C.BMP"},
        {"\x95\x5C\\B.SC6", FileKind::Bsave, 6, "SC6", "\x95\x5C\\B.BMP"},
        {"A\\\x95\x5C.SC7", FileKind::Bsave, 7, "SC7", "A\\\x95\x5C.BMP"},
        {"\x81\x2E" "SC5", FileKind::Unknown, 0, "", "\x81\x2E" "SC5.BMP"},
        {"\x81\x2E" "A.SC7", FileKind::Bsave, 7, "SC7", "\x81\x2E" "A.BMP"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const velda::FileType type = velda::TypeOfFile(row.path);
        EXPECT_EQ(type.kind, row.kind);
        EXPECT_EQ(type.screen, row.screen);
        EXPECT_EQ(velda::ExtensionOf(row.path), row.extension);
        EXPECT_EQ(velda::WithExtension(row.path, "BMP"), row.asBmp);
    }
}

TEST(FileTypes, SecondPageAndPaletteExtensionOfEachMode) {
    struct Row {
        uint8_t screen;
        const char* secondPage;
        const char* palette;
    };
    const Row rows[] = {
        {5, "S15", "PL5"},     {6, "S16", "PL6"},     {7, "S17", "PL7"},         {8, "S18", nullptr},
        {10, "S1A", nullptr},  {11, "S1B", nullptr},  {12, "S1C", nullptr},      {9, nullptr, nullptr},
        {0, nullptr, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.screen));
        EXPECT_EQ(OrNone(velda::SecondPageExtension(row.screen)), OrNone(row.secondPage));
        EXPECT_EQ(OrNone(velda::PaletteExtension(row.screen)), OrNone(row.palette));
    }
}

}  // namespace
