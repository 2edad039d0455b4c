// MSX-DOS disk images written field by field in memory, for the tests:
// a boot sector, both FATs, the root directory and folders, each field
// where the tests want it, tidy or damaged.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace velda_test {

struct Layout {
    uint16_t bytesPerSector;
    uint8_t sectorsPerCluster;
    uint16_t reservedSectors;
    uint8_t fats;
    uint16_t rootEntries;
    uint16_t sectors;
    uint8_t media;
    uint16_t sectorsPerFat;
};
constexpr Layout Disk720{512, 2, 1, 2, 112, 1440, 0xF9, 3};  // 713 clusters of 1 KiB
constexpr Layout Disk360{512, 2, 1, 2, 112, 720, 0xF8, 2};
constexpr uint32_t End = 0xFFF;
constexpr uint8_t FolderAttribute = 0x10;

// A disk image in memory: a boot sector, both FATs and the directories
// written field by field. Names are given as the 11 bytes of an entry.
struct TestDisk {
    Layout layout;
    std::vector<uint8_t> bytes;

    explicit TestDisk(const Layout& given = Disk720)
        : layout(given), bytes(std::size_t{given.sectors} * given.bytesPerSector, 0) {
        Put16(11, layout.bytesPerSector);
        bytes[13] = layout.sectorsPerCluster;
        Put16(14, layout.reservedSectors);
        bytes[16] = layout.fats;
        Put16(17, layout.rootEntries);
        Put16(19, layout.sectors);
        bytes[21] = layout.media;
        Put16(22, layout.sectorsPerFat);
        SetFat(0, 0xF00u | layout.media);
        SetFat(1, End);
    }

    std::size_t FatOffset(int copy = 0) const {
        return std::size_t{layout.bytesPerSector} * (layout.reservedSectors + copy * layout.sectorsPerFat);
    }
    std::size_t RootOffset() const { return FatOffset(layout.fats); }
    std::size_t ClusterBytes() const { return std::size_t{layout.bytesPerSector} * layout.sectorsPerCluster; }
    // The root takes whole sectors, its last perhaps in part.
    std::size_t ClusterOffset(uint32_t cluster) const {
        const std::size_t sector = layout.bytesPerSector;
        const std::size_t rootSectors = (std::size_t{layout.rootEntries} * 32 + sector - 1) / sector;
        return RootOffset() + rootSectors * sector + (cluster - 2) * ClusterBytes();
    }

    void Put16(std::size_t at, uint32_t value) {
        bytes.at(at) = static_cast<uint8_t>(value);
        bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
    }

    void SetFat(uint32_t cluster, uint32_t value, int copies = 2) {
        for (int copy = 0; copy < copies; ++copy) {
            const std::size_t at = FatOffset(copy) + cluster * 3 / 2;
            const uint32_t pair = bytes[at] | bytes[at + 1] << 8;
            Put16(at, cluster % 2 == 0 ? (pair & 0xF000) | value : (pair & 0x000F) | value << 4);
        }
    }

    void Entry(std::size_t at, const std::string& name, uint32_t cluster, uint32_t size, uint8_t attributes,
               uint8_t caseFlags) {
        std::copy(name.begin(), name.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        bytes[at + 11] = attributes;
        bytes[at + 12] = caseFlags;
        Put16(at + 26, cluster);
        Put16(at + 28, size);
        Put16(at + 30, size >> 16);
    }
    void RootEntry(int index, const std::string& name, uint32_t cluster = 0, uint32_t size = 0,
                   uint8_t attributes = 0, uint8_t caseFlags = 0) {
        Entry(RootOffset() + 32u * index, name, cluster, size, attributes, caseFlags);
    }
    void FolderEntry(uint32_t folder, int index, const std::string& name, uint32_t cluster = 0, uint32_t size = 0,
                     uint8_t attributes = 0) {
        Entry(ClusterOffset(folder) + 32u * index, name, cluster, size, attributes, 0);
    }
    // A folder of one cluster, with its "." and ".." entries.
    void Folder(uint32_t cluster, uint32_t parent) {
        SetFat(cluster, End);
        FolderEntry(cluster, 0, ".          ", cluster, 0, FolderAttribute);
        FolderEntry(cluster, 1, "..         ", parent, 0, FolderAttribute);
    }

    // `contents` in the clusters from `first` on, chained.
    void Store(uint32_t first, const std::vector<uint8_t>& contents) {
        std::copy(contents.begin(), contents.end(), bytes.begin() + static_cast<std::ptrdiff_t>(ClusterOffset(first)));
        const auto count = static_cast<uint32_t>(std::max<std::size_t>(1, (contents.size() + ClusterBytes() - 1) / ClusterBytes()));
        for (uint32_t n = 0; n < count; ++n) SetFat(first + n, n + 1 == count ? End : first + n + 1);
    }
    // `size` bytes of noise in the clusters from `first` on, chained.
    std::vector<uint8_t> Contents(uint32_t first, std::size_t size) {
        const std::vector<uint8_t> contents = NoiseBytes(size, first);
        Store(first, contents);
        return contents;
    }
};

}  // namespace velda_test
