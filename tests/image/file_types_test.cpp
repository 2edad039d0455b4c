// What an extension says a file is, in any case.
#include <gtest/gtest.h>

#include <string>

#include "image/file_types.h"

namespace {

using velda::FileKind;

std::string OrNone(const char* text) { return text != nullptr ? text : "(none)"; }

TEST(FileTypes, WorkedExtensions) {
    struct Row {
        const char* extension;
        FileKind kind;
        int screen;
    };
    const Row rows[] = {
        {"SC5", FileKind::Bsave, 5},        {"sc5", FileKind::Bsave, 5},         {"Sc7", FileKind::Bsave, 7},
        {"S10", FileKind::Bsave, 10},       {"scb", FileKind::Bsave, 11},        {"S12", FileKind::Bsave, 12},
        {"pic", FileKind::Bsave, 8},        {"SR8", FileKind::GraphSaurus, 8},   {"sra", FileKind::GraphSaurus, 10},
        {"SRS", FileKind::GraphSaurus, 12}, {"src", FileKind::GraphSaurus, 12},  {"S15", FileKind::SecondPage, 5},
        {"s1c", FileKind::SecondPage, 12},  {"PL6", FileKind::Palette, 6},       {"pl7", FileKind::Palette, 7},
        {"SC1", FileKind::Bsave, 1},        {"sc2", FileKind::Bsave, 2},         {"Sc3", FileKind::Bsave, 3},
        {"SC4", FileKind::Bsave, 4},        {"grp", FileKind::Bsave, 2},
        // Near misses.
        {"BMP", FileKind::Unknown, 0},      {"SC9", FileKind::Unknown, 0},       {"SC", FileKind::Unknown, 0},
        {"SC0", FileKind::Unknown, 0},      {"GRA", FileKind::Unknown, 0},
        {"SC55", FileKind::Unknown, 0},     {"PL8", FileKind::Unknown, 0},       {"", FileKind::Unknown, 0},
        {"\x83\x5C", FileKind::Unknown, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.extension);
        const velda::FileType type = velda::TypeOfExtension(row.extension);
        EXPECT_EQ(type.kind, row.kind);
        EXPECT_EQ(type.screen, row.screen);
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
