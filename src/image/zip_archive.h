// ZIP archives (.ZIP), read-only and at random, from a ByteSource: the
// directory at the end of the archive says where each file's own header
// and data lie, so that a large archive is never read whole.
//
//   end of directory  PK 5 6   disk u16, directory's disk u16, entries on
//   (the last 22 bytes          this disk u16, entries u16, directory size
//   before a comment)           u32, directory offset u32, comment length u16
//   ZIP64 locator     PK 6 7   right before it: disk u32, offset of the
//                              ZIP64 end u64, disks u32
//   ZIP64 end         PK 6 6   record size u64, made by u16, needed u16,
//                              disk u32, directory's disk u32, entries on
//                              this disk u64, entries u64, directory size
//                              u64, directory offset u64
//   directory entry   PK 1 2   made by u16, needed u16, flags u16, method
//                              u16, time u16, date u16, CRC-32 u32,
//                              compressed size u32, size u32, name length
//                              u16, extra length u16, comment length u16,
//                              disk u16, attributes u16 and u32, header
//                              offset u32; the name, extra fields, comment
//   file header       PK 3 4   needed u16, flags u16, method u16, time u16,
//                              date u16, CRC-32 u32, compressed size u32,
//                              size u32, name length u16, extra length u16;
//                              the name, extra fields, then the data (and,
//                              with flag bit 3, a descriptor after it:
//                              [PK 7 8] CRC-32, compressed size, size)
//   extra fields               id u16, length u16, data: 0x0001 ZIP64 (size,
//                              compressed size, header offset, each u64 and
//                              only where its u32 field is 0xFFFFFFFF);
//                              0x7075 the name in UTF-8 (version 1, the
//                              CRC-32 of the name field, the name)
//   flags                      bit 0 encrypted, bit 3 descriptor, bit 11
//                              name in UTF-8
//   methods                    0 stored, 8 deflated; others are named and
//                              not read
//
// Folders of the archive are the names' '/' (a '\' counts as one too);
// entries that are folders are left out. Data before the archive (a
// self-extracting program) is allowed for. An archive whose directory is
// missing or cut short (a download that stopped) is read from its files'
// own headers as far as they go, and named as damaged. Every file is
// checked against its CRC-32 and its size as the directory gives them.
//
// Names: UTF-8 where the entry's flag or its 0x7075 field says so.
// Otherwise an archive's names are in a code page, which the archive does
// not name: Western tools write code page 437, and Japanese ones code
// page 932 without saying so. They are taken as code page 932 when every
// such name of the archive reads as one (ReadAsCp932), else as code page
// 437.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/container.h"

namespace velda {

// Whether the names `names` (those of an archive that name no encoding)
// are code page 932: each is well-formed code page 932, none holds a
// half-width sign ｡｢｣､･ (which code page 437 reads as í ó ú ñ Ñ) or a lone
// double-byte character between ASCII small letters (code page 437's
// "château", whose â and t make a katakana), and one at least holds kana
// or kanji. A Western name such as "Über", whose Ü and b make a kanji,
// still reads as code page 932 where no other name of its archive tells
// otherwise; tools that write such names in UTF-8 say so.
bool ReadAsCp932(const std::vector<std::string>& names);

class ZipArchive : public Container {
public:
    // Reads the archive's directory from `source`, kept in the archive, as
    // is `tools` (which must outlive it), to read its files: NotZipArchive
    // when neither its directory nor a file's header is found,
    // SplitArchive for a part of an archive split over several files.
    LoadError Open(std::shared_ptr<const ByteSource> source, const ContainerTools& tools);

    const std::vector<ContainerFile>& Files() const override { return files_; }
    LoadError Read(std::size_t index, std::size_t maxBytes, std::vector<uint8_t>& bytes) const override;
    LoadError Damage() const override { return damage_; }

private:
    struct Entry {
        uint16_t flags = 0;
        uint16_t method = 0;
        uint32_t crc = 0;
        uint64_t compressedSize = 0;
        uint64_t size = 0;
        uint64_t headerOffset = 0;
    };
    struct RawName {
        std::string bytes;
        bool utf8;
    };
    // The name of an entry whose flags are `flags`: its name field, or the
    // UTF-8 name of its 0x7075 field where that is made from it.
    static RawName NameOf(const uint8_t* field, std::size_t length, uint16_t flags, const uint8_t* extra,
                          std::size_t extraLength);
    // Whether the entry named `name` is a folder, which holds no bytes.
    static bool IsFolder(const RawName& name);

    // Reads the directory that ends at `end` (the end record's offset): false
    // when it is not there whole.
    bool ReadDirectory(uint64_t end, std::vector<RawName>& names);
    // Reads the files' own headers from the start, as far as they go.
    void ScanHeaders(std::vector<RawName>& names);
    // Where the data of `entry` starts, after its own header: false when the
    // header is not there.
    bool DataOffset(const Entry& entry, uint64_t& offset) const;
    void NameFiles(const std::vector<RawName>& names);

    std::shared_ptr<const ByteSource> source_;
    const ContainerTools* tools_ = nullptr;
    std::vector<ContainerFile> files_;
    std::vector<Entry> entries_;
    LoadError damage_;
};

}  // namespace velda
