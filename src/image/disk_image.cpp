#include "image/disk_image.h"

#include <algorithm>
#include <utility>

#include "image/little_endian.h"
#include "image/name_letters.h"

namespace velda {

namespace {

// Where the fields of the boot sector's parameter block lie.
enum BootField : std::size_t {
    BytesPerSectorAt = 11, SectorsPerClusterAt = 13, ReservedSectorsAt = 14, FatCountAt = 16,
    RootEntriesAt = 17, SectorsAt = 19, SectorsPerFatAt = 22, ParameterBlockEnd = 24,
};

// Where the MSX looks for the media byte: the FAT's first byte, after one
// 512-byte boot sector.
constexpr std::size_t MediaByteOffset = 512;

constexpr uint32_t MinSectorBytes = 128;
constexpr uint32_t MaxSectorBytes = 4096;
constexpr uint64_t MaxClusters = 4084;  // more, and the FAT would be FAT16

// FAT12 entries: 0xFF8-0xFFF end a chain.
constexpr uint32_t FirstCluster = 2, FreeCluster = 0, BadCluster = 0xFF7, LastClusterMark = 0xFF8;
constexpr uint32_t MaxFatEntry = 0xFFF, NoFatEntry = MaxFatEntry + 1;

// Where the fields of a directory entry lie, and its size.
enum EntryField : std::size_t {
    NameBytes = 8, ExtensionBytes = 3, AttributesAt = 11, CaseFlagsAt = 12, FirstClusterAt = 26, SizeAt = 28,
    EntryBytes = 32,
};
// Marks in a directory entry's first byte, its attributes and its case flags.
constexpr uint8_t EndOfFolder = 0x00, Deleted = 0xE5, StandsForE5 = 0x05;
constexpr uint8_t VolumeLabel = 0x08, FolderAttribute = 0x10;
constexpr uint8_t SmallName = 0x08, SmallExtension = 0x10;

// MSX-DOS 2 paths hold at most 63 characters, so no real disk nests
// folders this deep.
constexpr int MaxFolderDepth = 32;
// A 720 KB disk holds a few hundred files; a damaged image listing more
// than this is cut there rather than filling memory with names.
constexpr std::size_t MaxListedEntries = 65536;

// A disk's shape, as the boot sector or the media byte gives it.
struct Geometry {
    uint32_t bytesPerSector;
    uint32_t sectorsPerCluster;
    uint32_t reservedSectors;
    uint32_t fats;
    uint32_t rootEntries;
    uint32_t sectors;
    uint32_t sectorsPerFat;
};

struct MediaFormat {
    uint8_t media;
    Geometry geometry;
};

// The eight formats MSX-DOS knows by their media byte.
constexpr MediaFormat MediaFormats[] = {
    {0xF8, {512, 2, 1, 2, 112, 720, 2}},  {0xF9, {512, 2, 1, 2, 112, 1440, 3}},
    {0xFA, {512, 2, 1, 2, 112, 640, 1}},  {0xFB, {512, 2, 1, 2, 112, 1280, 2}},
    {0xFC, {512, 1, 1, 2, 64, 360, 2}},   {0xFD, {512, 2, 1, 2, 112, 720, 2}},
    {0xFE, {512, 1, 1, 2, 64, 320, 1}},   {0xFF, {512, 2, 1, 2, 112, 640, 1}},
};

const Geometry* MediaGeometry(uint8_t media) {
    for (const MediaFormat& format : MediaFormats) {
        if (format.media == media) return &format.geometry;
    }
    return nullptr;
}

// The parameter block as it stands: all zero when the image is too short
// to hold one.
Geometry BootGeometry(const std::vector<uint8_t>& image) {
    if (image.size() < ParameterBlockEnd) return Geometry{};
    const uint8_t* b = image.data();
    return Geometry{ReadU16(b + BytesPerSectorAt), b[SectorsPerClusterAt],   ReadU16(b + ReservedSectorsAt),
                    b[FatCountAt],                   ReadU16(b + RootEntriesAt), ReadU16(b + SectorsAt),
                    ReadU16(b + SectorsPerFatAt)};
}

bool IsPowerOfTwo(uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

uint64_t RootSectors(const Geometry& g) {
    return (uint64_t{g.rootEntries} * EntryBytes + g.bytesPerSector - 1) / g.bytesPerSector;
}

uint64_t DataStartSector(const Geometry& g) {
    return g.reservedSectors + uint64_t{g.fats} * g.sectorsPerFat + RootSectors(g);
}

// Whether the fields describe a FAT12 disk that holds its own FATs, root
// directory and at least one cluster.
bool IsUsable(const Geometry& g) {
    if (g.bytesPerSector < MinSectorBytes || g.bytesPerSector > MaxSectorBytes || !IsPowerOfTwo(g.bytesPerSector) ||
        !IsPowerOfTwo(g.sectorsPerCluster) || g.reservedSectors == 0 || g.fats == 0 || g.sectorsPerFat == 0 ||
        g.rootEntries == 0 || g.sectors == 0) {
        return false;
    }
    const uint64_t dataStart = DataStartSector(g);
    if (dataStart >= g.sectors) return false;
    const uint64_t clusters = (g.sectors - dataStart) / g.sectorsPerCluster;
    const uint64_t fatEntries = uint64_t{g.sectorsPerFat} * g.bytesPerSector * 2 / 3;
    return clusters >= 1 && clusters <= MaxClusters && fatEntries >= clusters + FirstCluster;
}

// One part of an 8.3 name, its padding spaces trimmed.
std::string NamePart(const uint8_t* field, std::size_t length, bool small) {
    while (length > 0 && field[length - 1] == ' ') --length;
    const std::string part(field, field + length);
    return small ? SmallLetters(part, Cp932Step) : part;
}

// "NAME.EXT", or "NAME" without an extension; "" for a blank name.
std::string EntryName(const uint8_t* entry) {
    uint8_t raw[NameBytes + ExtensionBytes];
    std::copy(entry, entry + sizeof raw, raw);
    if (raw[0] == StandsForE5) raw[0] = Deleted;
    const uint8_t flags = entry[CaseFlagsAt];
    const std::string name = NamePart(raw, NameBytes, (flags & SmallName) != 0);
    const std::string extension = NamePart(raw + NameBytes, ExtensionBytes, (flags & SmallExtension) != 0);
    if (name.empty()) return "";
    return extension.empty() ? name : name + "." + extension;
}

// A folder still to be listed.
struct PendingFolder {
    std::string prefix;  // "" for the root, else its path and '/'
    uint32_t firstCluster;
    int depth;
};

LoadError ChainBrokenAt(uint32_t cluster) {
    LoadError error(LoadFault::ChainBroken);
    error.cluster = cluster;
    return error;
}

LoadError ChainShortOf(uint32_t size, std::size_t held) {
    LoadError error(LoadFault::ChainShort);
    error.fileSize = size;
    error.chainBytes = static_cast<uint32_t>(held);
    return error;
}

}  // namespace

LoadError DiskImage::Open(std::vector<uint8_t> bytes, const ContainerTools& tools) {
    bytes_ = std::move(bytes);
    if (bytes_.size() > MaxDiskImageBytes) bytes_.resize(MaxDiskImageBytes);  // nothing past it is read
    disk_.clear();
    files_.clear();
    Geometry geometry = BootGeometry(bytes_);
    if (!IsUsable(geometry)) {
        const uint8_t media = bytes_.size() > MediaByteOffset ? bytes_[MediaByteOffset] : 0;
        const Geometry* known = MediaGeometry(media);
        if (known == nullptr) {
            *this = DiskImage{};
            LoadError error(LoadFault::NotDiskImage);
            error.mediaByte = media;
            return error;
        }
        geometry = *known;
    }
    // Every product below fits: a usable geometry starts its data area
    // within 65,535 sectors of 4 KiB.
    const std::size_t sectorBytes = geometry.bytesPerSector;
    bytesPerCluster_ = sectorBytes * geometry.sectorsPerCluster;
    fatOffset_ = geometry.reservedSectors * sectorBytes;
    fatBytes_ = geometry.sectorsPerFat * sectorBytes;
    rootOffset_ = fatOffset_ + geometry.fats * fatBytes_;
    rootBytes_ = geometry.rootEntries * EntryBytes;
    dataOffset_ = static_cast<std::size_t>(DataStartSector(geometry)) * sectorBytes;
    clusters_ = static_cast<uint32_t>((geometry.sectors - DataStartSector(geometry)) / geometry.sectorsPerCluster);
    ListFolders(tools);
    return LoadError{};
}

uint32_t DiskImage::FatEntry(uint32_t cluster) const {
    const std::size_t at = fatOffset_ + cluster + cluster / 2;
    const std::size_t end = std::min(bytes_.size(), fatOffset_ + fatBytes_);
    if (at >= end || end - at < 2) return NoFatEntry;
    const uint32_t pair = ReadU16(&bytes_[at]);
    return cluster % 2 == 0 ? pair & MaxFatEntry : pair >> 4;
}

std::size_t DiskImage::ClusterOffset(uint32_t cluster) const {
    return dataOffset_ + (cluster - FirstCluster) * bytesPerCluster_;
}

bool DiskImage::Link(uint32_t cluster, std::vector<bool>& visited, uint32_t& next) const {
    if (cluster < FirstCluster || cluster > clusters_ + 1 || visited[cluster]) return false;
    visited[cluster] = true;
    next = FatEntry(cluster);
    return next != FreeCluster && next != BadCluster && next <= MaxFatEntry;
}

std::vector<uint8_t> DiskImage::FolderBytes(uint32_t firstCluster, std::vector<bool>& read) const {
    std::vector<uint8_t> folder;
    if (firstCluster == 0) {  // the root, in its own place; a full one has no end mark
        const std::size_t start = std::min(rootOffset_, bytes_.size());
        const std::size_t end = std::min(rootOffset_ + rootBytes_, bytes_.size());
        folder.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(start),
                      bytes_.begin() + static_cast<std::ptrdiff_t>(end));
        return folder;
    }
    uint32_t cluster = firstCluster;
    uint32_t next = 0;
    while (Link(cluster, read, next)) {
        const std::size_t offset = ClusterOffset(cluster);
        if (offset >= bytes_.size()) break;
        const std::size_t length = std::min(bytesPerCluster_, bytes_.size() - offset);
        folder.insert(folder.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset),
                      bytes_.begin() + static_cast<std::ptrdiff_t>(offset + length));
        cluster = next;  // an end mark is out of range, and ends the loop
    }
    return folder;
}

void DiskImage::ListFolders(const ContainerTools& tools) {
    std::vector<bool> read(clusters_ + std::size_t{FirstCluster}, false);
    std::vector<PendingFolder> folders{{"", 0, 0}};
    for (std::size_t index = 0; index < folders.size(); ++index) {
        const PendingFolder folder = folders[index];  // a copy: the list grows below
        const std::vector<uint8_t> bytes = FolderBytes(folder.firstCluster, read);
        for (std::size_t at = 0; bytes.size() - at >= EntryBytes; at += EntryBytes) {
            if (disk_.size() >= MaxListedEntries || folders.size() >= MaxListedEntries) return;
            const uint8_t* entry = &bytes[at];
            if (entry[0] == EndOfFolder) break;
            if (entry[0] == Deleted || (entry[AttributesAt] & VolumeLabel) != 0) continue;
            const std::string name = EntryName(entry);
            if (name.empty() || name == "." || name == "..") continue;
            const uint32_t firstCluster = ReadU16(entry + FirstClusterAt);
            if ((entry[AttributesAt] & FolderAttribute) == 0) {
                disk_.push_back(DiskFile{ReadU32(entry + SizeAt), firstCluster});
                files_.push_back(ContainerFile{tools.FromCp932(folder.prefix + name), ReadU32(entry + SizeAt)});
            } else if (folder.depth < MaxFolderDepth && firstCluster >= FirstCluster) {
                folders.push_back(PendingFolder{folder.prefix + name + "/", firstCluster, folder.depth + 1});
            }
        }
    }
}

LoadError DiskImage::Read(std::size_t index, std::size_t maxBytes, std::vector<uint8_t>& bytes) const {
    bytes.clear();
    const DiskFile& file = disk_.at(index);
    const LoadError error = ReadChain(file, std::min<std::size_t>(file.size, maxBytes), bytes);
    if (error) bytes.clear();  // a refused file gives none of its bytes
    return error;
}

LoadError DiskImage::ReadChain(const DiskFile& file, std::size_t wanted, std::vector<uint8_t>& bytes) const {
    bytes.reserve(std::min(wanted, bytes_.size()));
    // The chain is checked as far as the size reaches, whatever `wanted`
    // is, so that a file reads the same way each time.
    const std::size_t size = file.size;
    std::vector<bool> visited(clusters_ + std::size_t{FirstCluster}, false);
    std::size_t held = 0;  // what the clusters so far hold of the file
    uint32_t cluster = file.firstCluster;
    bool ended = cluster == 0;  // an empty file has no cluster
    while (held < size) {
        if (ended) return ChainShortOf(file.size, held);
        uint32_t next = 0;
        if (!Link(cluster, visited, next)) return ChainBrokenAt(cluster);
        const std::size_t used = std::min(bytesPerCluster_, size - held);
        const std::size_t offset = ClusterOffset(cluster);
        if (offset > bytes_.size() || bytes_.size() - offset < used) return ChainBrokenAt(cluster);
        const std::size_t take = std::min(used, wanted - bytes.size());
        bytes.insert(bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset),
                     bytes_.begin() + static_cast<std::ptrdiff_t>(offset + take));
        held += used;
        ended = next >= LastClusterMark;
        cluster = next;
    }
    return LoadError{};
}

}  // namespace velda
