// Graph Saurus pictures: every kind of code, data cut off inside a run,
// output clipped at the end of video memory, and the header. An accepted
// file must leave video memory as the plain BSAVE file of the same bytes
// from address 0 does.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graph_saurus_writer.h"
#include "image/bsave_loader.h"
#include "image/graph_saurus.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;
using velda::LoadFault;
using velda::PlacedRange;

// Video memory before a load: noise, so that whatever a load clears,
// seeds or leaves alone shows.
Bytes Before() { return NoiseBytes(velda::VramBytes, 77); }

struct Placed {
    LoadFault fault;
    Bytes vram;
    PlacedRange placed;
};

Placed PlaceGraphSaurus(uint8_t screen, const Bytes& file) {
    Placed result{LoadFault::None, Before(), PlacedRange{0xDEAD, 0xBEEF}};
    result.fault = velda::PlaceGraphSaurus(file.data(), file.size(), screen, result.vram.data(), result.placed).fault;
    return result;
}

// What the plain BSAVE file of `memory` (at most 64 KiB, from address 0)
// leaves; a header alone for no bytes.
Bytes PlainBsave(uint8_t screen, const Bytes& memory) {
    Bytes vram = Before();
    const Bytes file = MakeBsave(0, static_cast<uint16_t>(memory.empty() ? 0 : memory.size() - 1), memory);
    velda::BsaveHeader header{};
    EXPECT_FALSE(velda::PlaceBsave(file.data(), file.size(), screen, vram.data(), header));
    return vram;
}

Bytes Compressed(const Bytes& codes) { return GraphSaurusWithHeader(0xFD, codes); }

Bytes Repeated(std::size_t times, const Bytes& part) {
    Bytes out;
    for (std::size_t i = 0; i < times; ++i) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Joined(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Video memory of a mode up to the end of its picture lines, with runs and
// bytes below 0x10, so that the writer uses every kind of code.
Bytes Page(uint8_t screen, uint32_t seed) {
    Bytes page = NoiseBytes(static_cast<std::size_t>(velda::FindMode(screen)->pixelBytes), seed);
    for (std::size_t i = 0; i < page.size(); i += 61) page[i] = static_cast<uint8_t>(i % 16);
    for (std::size_t i = 300; i < 700; ++i) page[i] = 0x0F;
    return page;
}

TEST(GraphSaurus, EveryKindOfCode) {
    struct Row {
        const char* what;
        Bytes codes;
        Bytes memory;  // what they stand for, from address 0
    };
    const Row rows[] = {
        {"literal 0x10", {0x10}, {0x10}},
        {"literal 0xFF", {0xFF}, {0xFF}},
        {"literals", {0x10, 0x80, 0xFF}, {0x10, 0x80, 0xFF}},
        {"n v, n = 1", {0x01, 0x42}, {0x42}},
        {"n v, n = 15: 0x0F is a code", {0x0F, 0x0F}, Bytes(15, 0x0F)},
        {"n v of a byte below 0x10", {0x03, 0x00}, {0x00, 0x00, 0x00}},
        {"0 c v, c = 0 writes nothing", {0x00, 0x00, 0x55, 0x20}, {0x20}},
        {"0 c v, c = 1", {0x00, 0x01, 0x05}, {0x05}},
        {"0 c v, c = 255", {0x00, 0xFF, 0xA5}, Bytes(255, 0xA5)},
        {"one of each", {0x20, 0x02, 0x07, 0x00, 0x03, 0x10, 0x30}, {0x20, 0x07, 0x07, 0x10, 0x10, 0x10, 0x30}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Placed got = PlaceGraphSaurus(5, Compressed(row.codes));
        ASSERT_EQ(got.fault, LoadFault::None);
        EXPECT_TRUE(got.vram == PlainBsave(5, row.memory));
        EXPECT_EQ(got.placed.start, 0u);
        EXPECT_EQ(got.placed.length, row.memory.size());
    }
}

// The whole file is checked before anything is placed, so a cut run
// after a good picture, or after the end of video memory, still leaves
// video memory as it was.
TEST(GraphSaurus, DataCutInsideARunChangesNothing) {
    const Bytes fills = Repeated(257, {0x00, 0xFF, 0x11});  // 65535 bytes
    const Bytes file = GraphSaurusFile(Page(5, 1), true);
    const Bytes page(file.begin() + velda::BsaveHeaderBytes, file.end());  // its codes
    struct Row {
        const char* what;
        Bytes codes;
    };
    const Row rows[] = {
        {"after n", {0x05}},
        {"after n, past a literal", {0x20, 0x0F}},
        {"after 0x00", {0x00}},
        {"after 0x00 c", {0x00, 0x07}},
        {"after 0x00 0", {0x30, 0x00, 0x00}},
        {"after a whole page", Joined(page, {0x00, 0x20})},
        {"past the end of video memory", Joined(fills, {0x05, 0x22, 0x33, 0x02})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Placed got = PlaceGraphSaurus(5, Compressed(row.codes));
        EXPECT_EQ(got.fault, LoadFault::CutOff);
        EXPECT_TRUE(got.vram == Before());
    }
}

TEST(GraphSaurus, OutputPastTheEndOfVideoMemoryIsDropped) {
    const Bytes raw = NoiseBytes(velda::VramBytes + 300, 3);
    const Bytes fills = Repeated(257, {0x00, 0xFF, 0x11});  // 65535 bytes, up to 0xFFFE
    struct Row {
        const char* what;
        Bytes file;
        Bytes memory;
    };
    const Row rows[] = {
        {"a raw file longer than 64 KiB", GraphSaurusFile(raw, false),
         Bytes(raw.begin(), raw.begin() + velda::VramBytes)},
        {"a run across 0xFFFF, then more codes", Compressed(Joined(fills, {0x05, 0x22, 0x33, 0x00, 0xFF, 0x44})),
         Joined(Bytes(65535, 0x11), {0x22})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Placed got = PlaceGraphSaurus(7, row.file);
        ASSERT_EQ(got.fault, LoadFault::None);
        EXPECT_TRUE(got.vram == PlainBsave(7, row.memory));
        EXPECT_EQ(got.placed.start, 0u);
        EXPECT_EQ(got.placed.length, velda::VramBytes);
    }
}

// Data that stops anywhere, even before the first byte, leaves the rest of
// the mode's share cleared and its palette table seeded, in every mode.
TEST(GraphSaurus, ShortDataLeavesTheRestAsAShortBsaveFileDoes) {
    for (const uint8_t screen : velda::AllScreens) {
        const Bytes page = Page(screen, screen);
        const std::size_t lengths[] = {0, 1000, static_cast<std::size_t>(velda::FindMode(screen)->clearBytes) + 10};
        for (const std::size_t length : lengths) {
            const Bytes memory(page.begin(), page.begin() + static_cast<std::ptrdiff_t>(std::min(length, page.size())));
            for (const bool compressed : {false, true}) {
                SCOPED_TRACE("SCREEN " + std::to_string(screen) + ", " + std::to_string(memory.size()) + " bytes" +
                             (compressed ? ", compressed" : ", raw"));
                const Placed got = PlaceGraphSaurus(screen, GraphSaurusFile(memory, compressed));
                ASSERT_EQ(got.fault, LoadFault::None);
                EXPECT_TRUE(got.vram == PlainBsave(screen, memory));
                EXPECT_EQ(got.placed.start, 0u);
                EXPECT_EQ(got.placed.length, memory.size());
            }
        }
    }
}

TEST(GraphSaurus, HeaderRefusalsChangeNothing) {
    const struct {
        Bytes file;
        LoadFault fault;
    } rows[] = {
        {{}, LoadFault::Empty},
        {{0xFE}, LoadFault::ShortHeader},
        {{0xFD, 0, 0, 0, 0, 0}, LoadFault::ShortHeader},
        {{0xFE, 0, 0, 0, 0, 0}, LoadFault::ShortHeader},
        {{0x00, 0, 0, 0, 0, 0, 0, 0x20}, LoadFault::WrongFirstByte},
        {{0xFC, 0, 0, 0, 0, 0, 0, 0x20}, LoadFault::WrongFirstByte},
        {{0xFF, 0, 0, 0, 0, 0, 0, 0x20}, LoadFault::WrongFirstByte},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.file));
        const Placed got = PlaceGraphSaurus(5, row.file);
        EXPECT_EQ(got.fault, row.fault);
        EXPECT_TRUE(got.vram == Before());
    }
}

TEST(GraphSaurus, RawFileWithAStartAddressIsABsaveFile) {
    const Bytes rows[] = {
        MakeBsave(0x7680, 0x769F, NoiseBytes(32, 4)),
        MakeBsave(0x0100, 0x01FF, NoiseBytes(16, 5)),    // ends early
        MakeBsave(0x0200, 0x01FF, NoiseBytes(16, 6)),    // end below start: refused
        MakeBsave(0xFFFF, 0xFFFF, NoiseBytes(300, 7)),   // bytes after the end address
    };
    for (const Bytes& file : rows) {
        SCOPED_TRACE(testing::PrintToString(Bytes(file.begin(), file.begin() + velda::BsaveHeaderBytes)));
        Bytes vram = Before();
        velda::BsaveHeader header{};
        const LoadFault fault = velda::PlaceBsave(file.data(), file.size(), 5, vram.data(), header).fault;
        const Placed got = PlaceGraphSaurus(5, file);
        EXPECT_EQ(got.fault, fault);
        EXPECT_TRUE(got.vram == vram);
        if (fault == LoadFault::None) {
            const PlacedRange want = velda::BsavePlacedRange(header, file.size());
            EXPECT_EQ(got.placed.start, want.start);
            EXPECT_EQ(got.placed.length, want.length);
        }
    }
}

// Writers put the page size, the data length, or anything else at offset
// 3, and 0, 0x7FFF or 0xFFFF at offset 5: the file's own length decides.
TEST(GraphSaurus, SizeFieldAndBytesFiveAndSixAreIgnored) {
    const Bytes page = Page(5, 8);
    const uint8_t fields[][4] = {
        {0x00, 0x6A, 0x00, 0x00}, {0x00, 0xD4, 0xFF, 0x7F}, {0x00, 0x00, 0xFF, 0xFF},
        {0xFF, 0xFF, 0xFF, 0xFF}, {0x01, 0x00, 0x00, 0x00},
    };
    for (const bool compressed : {false, true}) {
        for (const auto& field : fields) {
            SCOPED_TRACE(std::string(compressed ? "compressed, " : "raw, ") + testing::PrintToString(field));
            Bytes file = GraphSaurusFile(page, compressed);
            std::copy(field, field + 4, file.begin() + 3);
            const Placed got = PlaceGraphSaurus(5, file);
            ASSERT_EQ(got.fault, LoadFault::None);
            EXPECT_TRUE(got.vram == PlainBsave(5, page));
            EXPECT_EQ(got.placed.length, page.size());
        }
    }
}

}  // namespace
}  // namespace velda_test
