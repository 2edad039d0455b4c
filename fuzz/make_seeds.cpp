// Writes the seed corpus of the fuzzers into a folder: small, hand-shaped
// inputs that reach every path of the loader, and of the readers and
// shapes of fuzz_formats, in every mode, of the sprites of fuzz_sprites,
// and of the disk image, ZIP and gzip readers, so that fuzzing starts from
// them instead of from nothing. Input layout: fuzz_input.h, except the disk
// images and archives, which are whole files. The output is the same on every run.
//
//   make_seeds FOLDER
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "graph_saurus_writer.h"
#include "image/mode_table.h"
#include "render/color_rules.h"
#include "samples/generator_main.h"
#include "test_archive.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A BSAVE file of `count` bytes of the tests' fixed noise, so seeds are
// reproducible.
Bytes NoiseFile(uint16_t start, uint16_t end, std::size_t count, uint32_t seed, uint8_t id = 0xFE) {
    return velda_test::MakeBsave(start, end, velda_test::NoiseBytes(count, seed), id);
}

// Video memory from address 0 with runs and bytes below 0x10, so that its
// compressed Graph Saurus file has every kind of code.
Bytes RunsAndNoise(std::size_t count, uint32_t seed) {
    Bytes page = velda_test::NoiseBytes(count, seed);
    for (std::size_t i = 0; i < count; i += 37) page[i] = static_cast<uint8_t>(i % 16);
    for (std::size_t i = count / 4; i < count / 4 + count / 8; ++i) page[i] = 0x0F;
    for (std::size_t i = count / 2; i < count / 2 + 15; ++i) page[i] = 0x42;  // the code 0x0F
    page[count / 2 - 1] = 0x41;
    page[count / 2 + 15] = 0x43;
    return page;
}

Bytes Joined(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The seeds of fuzz_formats: the selector picks the area (fuzz_input.h).
template <class Add>
void AddFormatSeeds(const Add& add) {
    using velda_fuzz::FormatArea;
    using velda_fuzz::FormatSelector;
    const Bytes header = {0xFD, 0, 0, 0, 0, 0, 0};
    for (int index = 0; index < velda_fuzz::ModeCount; ++index) {
        const uint8_t screen = velda::AllScreens[index];
        const velda::ModeInfo& mode = *velda::FindMode(screen);
        const std::string prefix = "formats-screen" + std::to_string(screen) + "-";
        const uint8_t graphSaurus = FormatSelector(index, FormatArea::GraphSaurus);
        const Bytes page = RunsAndNoise(4096, 100 + static_cast<uint32_t>(index));
        add(prefix + "gs-raw", graphSaurus, velda_test::GraphSaurusFile(page, false));
        add(prefix + "gs-compressed", graphSaurus, velda_test::GraphSaurusFile(page, true));
        // Only the lines of a picture, or them and the palette table.
        add(prefix + "gs-lines", graphSaurus,
            velda_test::GraphSaurusFile(RunsAndNoise(static_cast<std::size_t>(mode.pixelBytes), 200), true));
        add(prefix + "gs-with-palette", graphSaurus,
            velda_test::GraphSaurusFile(RunsAndNoise(static_cast<std::size_t>(mode.clearBytes), 300), true));

        // Two short pages, each shape written once over the modes, as PNG too.
        const uint8_t pair = FormatSelector(index, FormatArea::InterlacedPair, index % 2 == 1);
        Bytes pages = {static_cast<uint8_t>(index % 4)};
        const Bytes noise = velda_test::NoiseBytes(4096, 400 + static_cast<uint32_t>(index));
        pages.insert(pages.end(), noise.begin(), noise.end());
        add(prefix + "pair", pair, pages);
    }

    // Graph Saurus edges: cut inside a run, runs across the end of video
    // memory, a BSAVE file under the name, headers alone or too short.
    const uint8_t screen5 = FormatSelector(0, FormatArea::GraphSaurus);
    add("formats-gs-cut", screen5, Joined(header, {0x20, 0x00, 0x05}));
    Bytes fills;
    for (int i = 0; i < 257; ++i) fills.insert(fills.end(), {0x00, 0xFF, 0x11});  // 65535 bytes
    add("formats-gs-past-64k", FormatSelector(2, FormatArea::GraphSaurus),
        Joined(Joined(header, fills), {0x05, 0x22, 0x0F, 0x33}));
    add("formats-gs-bsave", screen5, NoiseFile(0x7680, 0x769F, 32, 500));
    add("formats-gs-header-only", screen5, header);
    add("formats-gs-short", screen5, Bytes(header.begin(), header.end() - 1));

    // Palette files: byte 1 is the index.
    const uint8_t palette5 = FormatSelector(0, FormatArea::PaletteFile);
    const uint8_t palette6 = FormatSelector(1, FormatArea::PaletteFile);
    add("formats-palette-bank", palette5, Joined({3}, velda_test::NoiseBytes(256, 600)));
    add("formats-palette-one", palette6, Joined({0}, velda_test::NoiseBytes(32, 601)));
    add("formats-palette-bsave", palette5, Joined({0}, NoiseFile(0x7680, 0x769F, 32, 602)));
    add("formats-palette-unmarked", palette5, Joined({0}, NoiseFile(0x7680, 0x769F, 32, 603, 0x00)));
    add("formats-palette-31", FormatSelector(3, FormatArea::PaletteFile), Joined({0}, velda_test::NoiseBytes(31, 604)));

    // A SCREEN 5 pair of whole pages with their palette tables.
    Bytes whole = {1};
    for (uint32_t seed : {700u, 701u}) {
        const Bytes one = RunsAndNoise(0x76A0, seed);
        whole.insert(whole.end(), one.begin(), one.end());
    }
    add("formats-pair-whole-screen5", FormatSelector(0, FormatArea::InterlacedPair, true), whole);
}

// Sprite tables over `vram` for `mode`: more sprites on some lines than a
// line shows, one moved by the early clock, one past the right edge, one
// wrapping from below the screen to the top, a transparent one and, in
// sprite mode 2, CC sprites (the first with no sprite before it on its
// top lines), then the end mark.
void PutSprites(const velda::ModeInfo& mode, Bytes& vram) {
    const bool mode2 = mode.spriteMode == 2;
    const int count = mode2 ? 12 : 7;
    for (int n = 0; n < count; ++n) {
        uint8_t* attributes = &vram[static_cast<std::size_t>(mode.spriteAttributes + 4 * n)];
        attributes[0] = static_cast<uint8_t>(n == count - 2 ? 250 : n == count - 1 ? 100 : 40 + 3 * (n % 3));
        attributes[1] = static_cast<uint8_t>(n == count - 1 ? 248 : 20 * n + 8);
        attributes[2] = static_cast<uint8_t>(4 * n + 1);
        const int color = n == 3 ? 0 : (n + 1) & 0x0F;
        attributes[3] = static_cast<uint8_t>(n == 2 ? 0x80 | color : color);
        if (!mode2) continue;
        for (int row = 0; row < 16; ++row) {
            const bool withBefore = (n == 0 && row < 4) || n == 4 || n == 5;
            vram[static_cast<std::size_t>(velda::SpriteColorTable(mode) + 16 * n + row)] =
                static_cast<uint8_t>(((n + row) & 0x0F) | (n == 2 ? 0x80 : 0) | (withBefore ? 0x40 : 0));
        }
    }
    vram[static_cast<std::size_t>(mode.spriteAttributes + 4 * count)] = mode2 ? 216 : 208;
}

// The seeds of fuzz_sprites, whose selector picks the mode, the sprites
// and the colour rule (fuzz_input.h): each mode's video memory up to the
// end of its sprite tables and its palette table, sprites on the screen;
// then files that stop short of a sprite table, or start past one.
template <class Add>
void AddSpriteSeeds(const Add& add) {
    for (int index = 0; index < velda_fuzz::EveryModeCount; ++index) {
        const uint8_t screen = velda::EveryScreen[index];
        const velda::ModeInfo& mode = *velda::FindMode(screen);
        const int top = std::max({mode.clearBytes, mode.spriteAttributes + 128, mode.spritePatterns + 2048});
        Bytes vram = velda_test::NoiseBytes(static_cast<std::size_t>(top), 800 + static_cast<uint32_t>(index));
        PutSprites(mode, vram);
        // Every other mode a palette table that holds a palette.
        for (int i = 0; index % 2 == 0 && i < mode.paletteEntries; ++i) {
            vram[static_cast<std::size_t>(mode.paletteAddress + 2 * i)] &= 0x77;
            vram[static_cast<std::size_t>(mode.paletteAddress + 2 * i + 1)] &= 0x07;
        }
        const auto rule = static_cast<velda::ColorRule>((index + 2) % velda_fuzz::ColorRuleCount);
        add("sprites-screen" + std::to_string(screen), velda_fuzz::SpriteSelectorByte(index, 1 + index % 4, rule),
            velda_test::MakeBsave(0, static_cast<uint16_t>(top - 1), vram));
    }
    // SCREEN 2 without the last byte of its sprite patterns; SCREEN 5 from
    // just above its sprite colour table; SCREEN 8 up to the end of its
    // sprite patterns, without their attributes; and SCREEN 4 without sprites.
    const auto cut = [](uint8_t screen, uint16_t start, uint16_t end, uint32_t seed) {
        Bytes vram = velda_test::NoiseBytes(velda::VramBytes, seed);
        PutSprites(*velda::FindMode(screen), vram);
        return velda_test::MakeBsave(start, end, Bytes(vram.begin() + start, vram.begin() + end + 1));
    };
    add("sprites-screen2-short", velda_fuzz::SpriteSelectorByte(1, 1, velda::ColorRule::Msx1),
        cut(2, 0, 0x3FFE, 900));
    add("sprites-screen5-above-colors", velda_fuzz::SpriteSelectorByte(4, 3, velda::ColorRule::Msx),
        cut(5, 0x7401, 0x7FFF, 901));
    add("sprites-screen8-no-attributes", velda_fuzz::SpriteSelectorByte(7, 4, velda::ColorRule::Velda),
        cut(8, 0, 0xF7FF, 902));
    add("sprites-screen4-none", velda_fuzz::SpriteSelectorByte(3, 0, velda::ColorRule::Msx1),
        cut(4, 0, 0x3FFF, 903));
}

// A disk image for fuzz_disk, written field by field: a boot sector with
// its parameter block, two FATs, the root directory and the clusters.
struct SeedDisk {
    struct Shape {
        uint16_t bytesPerSector;
        uint8_t sectorsPerCluster;
        uint16_t rootEntries;
        uint16_t sectors;
        uint16_t sectorsPerFat;
        uint8_t media;
    };
    static constexpr uint32_t End = 0xFFF;
    static constexpr uint8_t FolderAttribute = 0x10;

    Shape shape;
    Bytes bytes;

    explicit SeedDisk(const Shape& given) : shape(given), bytes(std::size_t{shape.sectors} * shape.bytesPerSector) {
        Put(11, shape.bytesPerSector, 2);
        bytes[13] = shape.sectorsPerCluster;
        Put(14, 1, 2);  // reserved sectors
        bytes[16] = 2;  // FATs
        Put(17, shape.rootEntries, 2);
        Put(19, shape.sectors, 2);
        bytes[21] = shape.media;
        Put(22, shape.sectorsPerFat, 2);
        Fat(0, 0xF00u | shape.media);
        Fat(1, End);
    }

    std::size_t FatOffset(int copy) const {
        return std::size_t{shape.bytesPerSector} * (1 + std::size_t{shape.sectorsPerFat} * copy);
    }
    std::size_t Root(int index) const { return FatOffset(2) + 32u * index; }
    std::size_t ClusterBytes() const { return std::size_t{shape.bytesPerSector} * shape.sectorsPerCluster; }
    std::size_t InCluster(uint32_t cluster, int index) const {
        return Root(shape.rootEntries) + (cluster - 2) * ClusterBytes() + 32u * index;
    }

    void Fat(uint32_t cluster, uint32_t value) {
        for (int copy = 0; copy < 2; ++copy) {
            uint8_t* at = &bytes[FatOffset(copy) + cluster * 3 / 2];
            if (cluster % 2 == 0) {
                at[0] = static_cast<uint8_t>(value);
                at[1] = static_cast<uint8_t>((at[1] & 0xF0) | (value >> 8));
            } else {
                at[0] = static_cast<uint8_t>((at[0] & 0x0F) | (value << 4));
                at[1] = static_cast<uint8_t>(value >> 4);
            }
        }
    }

    // A directory entry; `name` is its 11 bytes.
    void Entry(std::size_t at, const std::string& name, uint8_t attributes, uint32_t cluster, uint32_t size,
               uint8_t caseFlags = 0) {
        std::copy(name.begin(), name.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        bytes[at + 11] = attributes;
        bytes[at + 12] = caseFlags;
        Put(at + 26, cluster, 2);
        Put(at + 28, size, 4);
    }

    // A file of noise in the clusters from `first` on, chained.
    void File(std::size_t at, const std::string& name, uint32_t first, uint32_t size, uint8_t caseFlags = 0) {
        Entry(at, name, 0, first, size, caseFlags);
        const Bytes contents = velda_test::NoiseBytes(size, first);
        std::copy(contents.begin(), contents.end(), bytes.begin() + static_cast<std::ptrdiff_t>(InCluster(first, 0)));
        const auto count = static_cast<uint32_t>((size + ClusterBytes() - 1) / ClusterBytes());
        for (uint32_t n = 0; n < count; ++n) Fat(first + n, n + 1 == count ? End : first + n + 1);
    }

    // A folder of one cluster with its "." and ".." entries.
    void Folder(std::size_t at, const std::string& name, uint32_t cluster, uint32_t parent) {
        Entry(at, name, FolderAttribute, cluster, 0);
        Entry(InCluster(cluster, 0), ".          ", FolderAttribute, cluster, 0);
        Entry(InCluster(cluster, 1), "..         ", FolderAttribute, parent, 0);
        Fat(cluster, End);
    }

    // `count` bytes of `value`, the lowest first.
    void Put(std::size_t at, uint32_t value, int count) {
        for (int n = 0; n < count; ++n) bytes[at + n] = static_cast<uint8_t>(value >> 8 * n);
    }
};

// The seeds of fuzz_disk: whole images, without a selector byte.
template <class Add>
void AddDiskSeeds(const Add& add) {
    // Folders two deep, one pointing back at its parent, small letters, a
    // name in code page 932 (second byte 0x5C) and one starting 0x05.
    SeedDisk tidy({512, 1, 16, 64, 1, 0xF9});
    tidy.Entry(tidy.Root(0), "VELDA DISK ", 0x08, 0, 0);
    tidy.File(tidy.Root(1), "PIC     SC5", 2, 1500);
    tidy.File(tidy.Root(2), "PIC     PL5", 5, 32, 0x18);
    tidy.Entry(tidy.Root(3), "\xE5OLD    SC5", 0, 2, 1500);
    tidy.Folder(tidy.Root(4), "SUB        ", 6, 0);
    tidy.File(tidy.InCluster(6, 2), "\x83\x5CX     SC7", 7, 600);
    tidy.Folder(tidy.InCluster(6, 3), "DEEP       ", 9, 6);
    tidy.File(tidy.InCluster(9, 2), "\x05" "A      S17", 10, 10);
    tidy.Entry(tidy.InCluster(9, 3), "UP         ", SeedDisk::FolderAttribute, 6, 0);
    add("disk-tidy", tidy.bytes);

    // No parameter block: read by the media byte 0xFE, and cut short.
    SeedDisk media({512, 1, 64, 320, 1, 0xFE});
    media.File(media.Root(0), "A       SC5", 2, 1000);
    media.Entry(media.Root(1), "B          ", 0, 0, 0);
    media.File(media.Root(2), "C       PL5", 4, 32);
    std::fill(media.bytes.begin(), media.bytes.begin() + 512, 0);
    media.bytes.resize(8192);
    add("disk-media-byte", media.bytes);

    // 128-byte sectors, and chains that loop, leave the disk, end early or
    // run into a free cluster.
    SeedDisk damaged({128, 2, 16, 200, 2, 0xF8});
    damaged.File(damaged.Root(0), "GOOD    SC5", 2, 600);
    damaged.Entry(damaged.Root(1), "LOOP    SC5", 0, 10, 2000);
    damaged.Fat(10, 11);
    damaged.Fat(11, 10);
    damaged.Entry(damaged.Root(2), "AWAY    SC5", 0, 12, 2000);
    damaged.Fat(12, 0x800);
    damaged.File(damaged.Root(3), "SHORT   SC5", 13, 200);
    damaged.Entry(damaged.Root(3), "SHORT   SC5", 0, 13, 3000);
    damaged.Entry(damaged.Root(4), "FREE    SC5", 0, 15, 2000);
    damaged.Fat(15, 16);
    add("disk-damaged", damaged.bytes);
}

// The seeds of fuzz_archive: whole archives and gzip streams, without a
// selector byte: stored, deflated and damaged files, names of every
// encoding, an archive and a disk image inside an archive, streams of one
// member and two, and cut ones.
template <class Add>
void AddArchiveSeeds(const Add& add, const Bytes& disk) {
    using velda_test::Compressed;
    using velda_test::MakeZip;
    const Bytes picture = NoiseFile(0, 0x0FFF, 0x1000, 700);
    const Bytes zip = MakeZip({{"A.SC5", picture, 0, 0},
                               {"SUB/B.SC7", RunsAndNoise(2000, 701)},
                               {"\x83\x5E\x83\x43.SC8", picture},
                               {"\xC3\x91.SC5", picture, 0x0800},
                               {"BAD.SC5", picture, 0, 8, 1},
                               {"ENC.SC5", picture, 1},
                               {"M.SC5", picture, 0, 12}});
    add("archive-zip", zip);
    add("archive-nested", MakeZip({{"IN.ZIP", zip}, {"D.DSK", disk}, {"D.DSK.GZ", Compressed(disk, true)}}));
    add("archive-zip-cut", Bytes(zip.begin(), zip.begin() + static_cast<std::ptrdiff_t>(zip.size() / 2)));
    const Bytes member = Compressed(picture, true);
    add("archive-gzip", member);
    add("archive-gzip-two", Joined(member, Compressed(RunsAndNoise(3000, 702), true)));
    add("archive-gzip-cut", Bytes(member.begin(), member.begin() + static_cast<std::ptrdiff_t>(member.size() / 2)));
}

// Every seed: one input of fuzz_input.h's layout a file.
std::vector<samples::GeneratedFile> Seeds(const std::string& folder) {
    std::vector<samples::GeneratedFile> seeds;
    const auto add = [&](const std::string& name, uint8_t selector, const Bytes& file) {
        Bytes input = {selector};
        input.insert(input.end(), file.begin(), file.end());
        seeds.push_back({folder + "/" + name, input});
    };

    for (int index = 0; index < velda_fuzz::ModeCount; ++index) {
        const uint8_t screen = velda::AllScreens[index];
        const velda::ModeInfo& mode = *velda::FindMode(screen);
        const uint8_t veldaRule = static_cast<uint8_t>(index);
        const uint8_t msxRule = static_cast<uint8_t>(index | velda_fuzz::MsxRuleBit);
        const std::string prefix = "screen" + std::to_string(screen) + "-";
        const uint32_t seed = 0x9E3779B9u * (index + 1);

        // The whole picture and the palette table, as BSAVE writes them.
        const auto clearEnd = static_cast<uint16_t>(mode.clearBytes - 1);
        const Bytes full = NoiseFile(0, clearEnd, mode.clearBytes, seed);
        add(prefix + "full", veldaRule, full);
        add(prefix + "full-msx", msxRule, full);
        // Only the picture lines: the power-on palette stays.
        const auto linesEnd = static_cast<uint16_t>(mode.pixelBytes - 1);
        add(prefix + "lines", msxRule, NoiseFile(0, linesEnd, 4096, seed + 1));
        // A header and nothing else: a black picture.
        add(prefix + "header-only", veldaRule, velda_test::MakeBsave(0, linesEnd, {}));
        // Only the palette table, when the mode has one.
        if (mode.paletteEntries > 0) {
            const auto start = static_cast<uint16_t>(mode.paletteAddress);
            const auto end = static_cast<uint16_t>(start + velda::PaletteBytes - 1);
            add(prefix + "palette", msxRule, NoiseFile(start, end, velda::PaletteBytes, seed + 2));
        }
    }

    // Mode-independent shapes of the header.
    add("whole-vram", 4, NoiseFile(0, 0xFFFF, velda::VramBytes, 7));
    add("one-byte", 0, NoiseFile(0x1234, 0x1234, 1, 8));
    add("last-byte", static_cast<uint8_t>(6 | velda_fuzz::MsxRuleBit), NoiseFile(0xFFFF, 0xFFFF, 1, 9));
    add("trailing-bytes", 1, NoiseFile(0x0100, 0x010F, 64, 10));
    add("end-below-start", 2, NoiseFile(0x0200, 0x01FF, 16, 11));
    add("not-bsave", 3, NoiseFile(0, 0x69FF, 64, 12, 0x00));
    add("short-header", 5, Bytes{0xFE, 0x00, 0x00, 0xFF});
    add("empty-file", 0, Bytes{});
    AddFormatSeeds(add);
    AddSpriteSeeds(add);
    Bytes disk;
    const auto whole = [&](const std::string& name, const Bytes& bytes) { seeds.push_back({folder + "/" + name, bytes}); };
    AddDiskSeeds([&](const std::string& name, const Bytes& image) {
        if (disk.empty()) disk = image;
        whole(name, image);
    });
    AddArchiveSeeds(whole, disk);
    return seeds;
}

}  // namespace

int main(int argc, char** argv) { return samples::GeneratorMain("make_seeds", "FOLDER", argc, argv, Seeds); }
