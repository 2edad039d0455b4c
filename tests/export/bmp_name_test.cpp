// The name that the Save dialog proposes for the BMP file.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "export/bmp_name.h"

namespace {

std::string Propose(const std::string& path, std::size_t outSize = 256) {
    std::string out(outSize + 1, '#');  // one guard byte after the buffer
    velda::ProposeBmpName(path.c_str(), &out[0], outSize);
    EXPECT_EQ(out[outSize], '#') << "wrote beyond the buffer";
    return std::string(out.c_str());
}

struct Proposal {
    const char* path;
    const char* proposal;
    const char* why;
};

void ExpectProposals(std::initializer_list<Proposal> cases) {
    for (const Proposal& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Propose(c.path), c.proposal);
    }
}

TEST(ProposeBmpName, WorkedNames) {
    ExpectProposals({
        {"A.SC5", "A.bmp", "bare file name"},
        {"C:\\pics\\A.SC5", "C:\\pics\\A.bmp", "extension replaced"},
        {"C:\\pics\\A.B.SC5", "C:\\pics\\A.B.bmp", "only the last dot of the name"},
        {"C:\\my.pics\\A", "C:\\my.pics\\A.bmp", "a folder's dot is never taken"},
        {"C:\\my.pics\\A.SC7", "C:\\my.pics\\A.bmp", "folder dot and file extension"},
        {"C:\\pics\\A", "C:\\pics\\A.bmp", "no extension: one is added"},
        {"C:/pics/A.S12", "C:/pics/A.bmp", "forward slashes separate too"},
        {"C:A.SCA", "C:A.bmp", "drive-relative name"},
        {"C:\\pics\\A.", "C:\\pics\\A.bmp", "empty extension"},
        {"C:\\pics\\PIC.bmp", "C:\\pics\\PIC.bmp", "already a bitmap name"},
        {"C:\\pics\\a.sc5", "C:\\pics\\a.bmp", "lower-case extension"},
    });
}

// In code page 932 the second byte of a double-byte character may be 0x5C,
// the backslash: 0x95 0x5C is the character for "table".
TEST(ProposeBmpName, DoubleByteCharactersAreNotSplit) {
    ExpectProposals({
        {"C:\\\x95\x5C.dir\\PIC", "C:\\\x95\x5C.dir\\PIC.bmp", "trail byte 0x5C in a folder before a dot"},
        {"C:\\\x95\x5C\\PIC.SC5", "C:\\\x95\x5C\\PIC.bmp", "trail byte 0x5C ends a folder name"},
        {"C:\\pics\\\x95\x5C", "C:\\pics\\\x95\x5C.bmp", "trail byte 0x5C ends the file name"},
        {"C:\\pics\\\x95\x5C.SC5", "C:\\pics\\\x95\x5C.bmp", "trail byte 0x5C before the extension"},
        {"C:\\\x95\x5C" "A.SC5", "C:\\\x95\x5C" "A.bmp", "trail byte 0x5C inside a file name"},
        {"C:\\\x83\x65\x83\x58\x83\x67.SC5", "C:\\\x83\x65\x83\x58\x83\x67.bmp", "katakana name"},
    });
}

TEST(ProposeBmpName, NothingToBuildOnGivesEmpty) {
    for (const char* path : {"", "C:\\pics\\", "C:/pics/", "C:", "\\"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(Propose(path), "");
    }
}

// The proposal with its NUL must fit the 256-byte name buffer; one byte
// too long and nothing is proposed rather than a cut name.
TEST(ProposeBmpName, ProposalMustFitTheBuffer) {
    const std::string folder = "C:\\pics\\";
    // 251 characters without a dot: 251 + ".bmp" + NUL = 256.
    const std::string fits = folder + std::string(251 - folder.size(), 'N');
    EXPECT_EQ(Propose(fits), fits + ".bmp");
    const std::string tooLong = fits + "N";
    EXPECT_EQ(Propose(tooLong), "");

    // With an extension only the part before the dot counts.
    const std::string stem = folder + std::string(251 - folder.size(), 'E');
    EXPECT_EQ(Propose(stem + ".SC5"), stem + ".bmp");
    EXPECT_EQ(Propose(stem + "E.SC5"), "");

    // A smaller buffer of the caller's.
    EXPECT_EQ(Propose("A.SC5", 6), "A.bmp");
    EXPECT_EQ(Propose("AB.SC5", 6), "");
    EXPECT_EQ(Propose("A.SC5", 1), "");
}

TEST(ProposeBmpName, ZeroSizedBufferIsLeftAlone) {
    char out[2] = {'#', '#'};
    velda::ProposeBmpName("A.SC5", out, 0);
    EXPECT_EQ(out[0], '#');
}

}  // namespace
