// What a file holds, told by the extension of its name, in any case:
//
//   BSAVE dumps of video memory    .SC5 .SC6 .SC7 .SC8   5, 6, 7, 8
//                                  .SCA .S10             10
//                                  .S11 .SCB             11 (.SCB as openMSX saves it)
//                                  .SCC .S12             12
//                                  .GE5 .GE7 .GE8        5, 7, 8
//                                  .PIC                  8 (digitiser dumps)
//   Graph Saurus pictures          .SR5 .SR6 .SR7 .SR8   5, 6, 7, 8
//                                  .SRA .SRB             10, 11
//                                  .SRS .SRC             12
//   second pages of interlaced     .S15 .S16 .S17 .S18   beside X.SC5 ... X.SC8,
//   pictures                       .S1A .S1B .S1C        X.SCA, X.SCB, X.SCC
//                                                        (and the Graph Saurus X.SR?)
//   palettes                       .PL5 .PL6 .PL7        for SCREEN 5, 6, 7
//
// Paths are code-page-932 strings; '/', '\' and ':' end folder names, and
// the second byte of a double-byte character is never taken for one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velda {

// True for the first byte of a two-byte code-page-932 character, whose
// second byte may be 0x5C ('\') or another ASCII byte.
constexpr bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Where the file name of `path` begins, and the position of the dot that
// starts its extension (npos when the name has none; a name's leading dot
// starts no extension).
struct NameParts {
    std::size_t nameStart;
    std::size_t dot;
};
NameParts SplitName(const std::string& path);

// The extension of the file name in `path`, without its dot; "" for none.
std::string ExtensionOf(const std::string& path);

// `path` with the extension of its file name replaced by `extension`
// (without a dot), or "." and `extension` appended when the name has none.
std::string WithExtension(const std::string& path, const std::string& extension);

enum class FileKind {
    Unknown,      // the extension names nothing VELDA reads
    Bsave,        // a BSAVE dump
    GraphSaurus,  // a Graph Saurus picture, raw or compressed
    SecondPage,   // the second page of an interlaced picture
    Palette,      // a palette file
};

struct FileType {
    FileKind kind;
    uint8_t screen;  // the mode; for palettes the mode they are made for
};

// The type of the file `path`, by its extension.
FileType TypeOfFile(const std::string& path);

// The extension of the second page of a picture of the given mode ("S15"
// for SCREEN 5, "S1A" for 10), and of its palette file ("PL5", for
// SCREEN 5, 6 and 7 only); nullptr where there is none.
const char* SecondPageExtension(uint8_t screen);
const char* PaletteExtension(uint8_t screen);

}  // namespace velda
