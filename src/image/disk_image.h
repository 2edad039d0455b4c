// MSX-DOS disk images (.DSK): the sectors of a FAT12 floppy, one after
// another, from sector 0. Read-only, from the image's bytes.
//
//   sector 0       boot sector; its parameter block at offset 11:
//                    11 u16 bytes a sector      16 u8  FATs
//                    13 u8  sectors a cluster   17 u16 root directory entries
//                    14 u16 reserved sectors    19 u16 sectors on the disk
//                    21 u8  media byte          22 u16 sectors a FAT
//   then           the FATs, the root directory (32 bytes an entry), and
//                  the data area, clusters numbered from 2
//   FAT12 entry    12 bits a cluster: 0 free, 0xFF8-0xFFF the last of a
//                  file, otherwise the next cluster; entries 0 and 1 hold
//                  the media byte
//   directory      name 8, extension 3, attributes (0x08 volume label,
//   entry          0x10 folder), 12: 0x08 name and 0x10 extension in small
//                  letters (as other systems write them), 26 u16 first
//                  cluster, 28 u32 size; a name starting 0x00 ends the
//                  directory, 0xE5 is deleted, 0x05 stands for 0xE5
//
// Images without a usable parameter block (some MSX-DOS 1 disks) are read
// as the MSX reads them: from the media byte at the start of the FAT
// (sector 1), which names one of the eight disk formats.
//
// Names are code page 932, as the MSX wrote them, and are read so whatever
// the system's code page. MSX-DOS 2 folders are
// walked (not "." and ".."). A damaged image never loops or allocates
// without bound: a file is read through its chain and never past its
// size; one whose chain loops or leaves the disk, or ends before its size,
// is refused alone, and the other files still read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/container.h"
#include "image/load_error.h"

namespace velda {

// The largest image that is read: far beyond any floppy, well within
// FAT12's 4,084 clusters of at most 32 KiB.
constexpr std::size_t MaxDiskImageBytes = MaxContainerFileBytes;

class DiskImage : public Container {
public:
    // Reads the file system of the image `bytes` (kept in the image), its
    // names decoded with `tools`: NotDiskImage, with the media byte, when
    // neither the boot sector nor the media byte describe a disk. Folders
    // that cannot be read whole (a chain that loops or leaves the disk)
    // give the files that can be read.
    LoadError Open(std::vector<uint8_t> bytes, const ContainerTools& tools);

    // Every file of the image (not its folders), the root's first, then
    // each folder's, in the order of their directory entries; its path in
    // small letters where the entry's flags say so.
    const std::vector<ContainerFile>& Files() const override { return files_; }

    // Reads file `index` whole through its chain, at most `maxBytes` of it:
    // ChainBroken or ChainShort when it cannot.
    LoadError Read(std::size_t index, std::size_t maxBytes, std::vector<uint8_t>& bytes) const override;

private:
    struct DiskFile {
        uint32_t size = 0;  // as its directory entry gives it
        uint32_t firstCluster = 0;
    };

    // The entry of `cluster` in the first FAT, or a value above 0xFFF
    // when the FAT or the image ends before it.
    uint32_t FatEntry(uint32_t cluster) const;
    // Where the data of `cluster` (2 .. clusters_ + 1) starts in the image.
    std::size_t ClusterOffset(uint32_t cluster) const;
    // Takes `cluster` as the next link of a chain that has been through the
    // clusters marked in `visited` (clusters_ + 2 of them): marks it and
    // gives its FAT entry in `next`. False when it is out of range, was
    // visited before, or its entry is free, bad or missing.
    bool Link(uint32_t cluster, std::vector<bool>& visited, uint32_t& next) const;
    // Read's walk along the chain of `file`, keeping its first `wanted`
    // bytes.
    LoadError ReadChain(const DiskFile& file, std::size_t wanted, std::vector<uint8_t>& bytes) const;
    // The bytes of the folder that starts at `firstCluster` (0: the root),
    // as far as its chain and the image go; clusters already read as a
    // folder's (in `read`) end it, so that no folder is read twice.
    std::vector<uint8_t> FolderBytes(uint32_t firstCluster, std::vector<bool>& read) const;
    // Fills the files: the root's entries, then each folder's, breadth
    // first, their code-page-932 paths decoded with `tools`.
    void ListFolders(const ContainerTools& tools);

    std::vector<uint8_t> bytes_;
    std::vector<DiskFile> disk_;
    std::vector<ContainerFile> files_;
    // geometry, worked out by Open
    std::size_t bytesPerCluster_ = 0;
    std::size_t fatOffset_ = 0;
    std::size_t fatBytes_ = 0;  // one FAT
    std::size_t rootOffset_ = 0;
    std::size_t rootBytes_ = 0;
    std::size_t dataOffset_ = 0;
    uint32_t clusters_ = 0;  // data clusters: numbered 2 .. clusters_ + 1
};

}  // namespace velda
