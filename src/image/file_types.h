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
//   BASIC COPY files               .GL5 .GL6 .GL7 .GL8   5, 6, 7, 8
//                                  .GLA .GLB             10, 11
//                                  .GLC .GLS             12
//   palettes                       .PL5 .PL6 .PL7        for SCREEN 5, 6, 7
//   MSX-DOS disk images            .DSK
//   ZIP archives                   .ZIP
//   gzip streams                   .GZ                   X.DSK.GZ holds X.DSK
//   BSAVE dumps of SCREEN 1-4      .SC1 .SC2 .SC3 .SC4   1, 2, 3, 4
//                                  .GRP                  2 (Brazilian paint programs)
//
// Only the extension is looked at; where it ends a path, the system's
// rules tell (platform/names.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velda {

enum class FileKind {
    Unknown,      // the extension names nothing VELDA reads
    Bsave,        // a BSAVE dump
    GraphSaurus,  // a Graph Saurus picture, raw or compressed
    SecondPage,   // the second page of an interlaced picture
    Palette,      // a palette file
    Copy,         // what BASIC's COPY writes of an area of the screen
    DiskImage,    // an MSX-DOS disk image, holding files
    ZipArchive,   // a ZIP archive, holding files
    Gzip,         // a gzip stream, holding the file its name gives without ".gz"
};

struct FileType {
    FileKind kind;
    uint8_t screen;  // the mode; for palettes the mode they are made for; 0 for containers
};

// The type of a file whose name has the extension `extension` (without
// its dot).
FileType TypeOfExtension(const std::string& extension);

// Whether a file of `kind` shows as a picture: a BSAVE dump, a Graph
// Saurus picture, a COPY file, or a second page opened on its own.
bool IsPictureKind(FileKind kind);
// The pictures that next and previous step to, in a folder or a disk
// image: all but second pages, which go with their first page.
bool IsSteppedKind(FileKind kind);

// The extensions (upper case, without the dot) of every kind of file
// that shows as a picture, in the order of the table above.
std::vector<std::string> PictureExtensions();

// The extension of the second page of a picture of the given mode ("S15"
// for SCREEN 5, "S1A" for 10), and of its palette file ("PL5", for
// SCREEN 5, 6 and 7 only); nullptr where there is none.
const char* SecondPageExtension(uint8_t screen);
const char* PaletteExtension(uint8_t screen);

}  // namespace velda
