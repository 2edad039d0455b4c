// Every kind of file a collection holds, through the built converter. Each
// reader and option is checked against the plain BSAVE picture of the same
// video memory: the same pixels, read the old way, must give the same
// output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.h"
#include "graph_saurus_writer.h"
#include "image/mode_table.h"
#include "image_readers.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;

// Video memory of a mode, from address 0 up to the end of its picture
// lines, with runs for the compressor and the bytes below 0x10 that need
// codes of their own.
Bytes Page(uint8_t screen, uint32_t seed) {
    Bytes page = NoiseBytes(static_cast<std::size_t>(velda::FindMode(screen)->pixelBytes), seed);
    for (std::size_t i = 0; i < page.size(); i += 97) page[i] = static_cast<uint8_t>(i % 16);
    for (std::size_t i = 500; i < 900; ++i) page[i] = 0x33;
    return page;
}

Bytes Bsave(const Bytes& memory) { return MakeBsave(0, static_cast<uint16_t>(memory.size() - 1), memory); }

// `page` followed by `palette` at the mode's palette table.
Bytes WithPalette(uint8_t screen, Bytes page, const Bytes& palette) {
    const velda::ModeInfo* mode = velda::FindMode(screen);
    page.resize(static_cast<std::size_t>(mode->paletteAddress), 0);
    page.insert(page.end(), palette.begin(), palette.begin() + 2 * mode->paletteEntries);
    return page;
}

// The output of converting `file` named `name` with `options`.
Bytes Converted(const std::string& folder, const std::string& name, const Bytes& file, const std::string& options) {
    WriteFile(folder + "/" + name, file);
    const RunResult run = RunConverter(folder, "-q --force -o out.bmp " + options + " " + name);
    EXPECT_EQ(run.status, 0) << name << ": " << run.output;
    return ReadFile(folder + "/out.bmp");
}

TEST(Formats, EveryReaderGivesThePlainBsavePicture) {
    const std::string dir = FreshFolder("formats-readers");
    const Bytes palette = NoiseBytes(velda::PaletteBytes, 9);
    const Bytes bank = NoiseBytes(8 * velda::PaletteBytes, 10);
    const Bytes bank3(bank.begin() + 3 * velda::PaletteBytes, bank.begin() + 4 * velda::PaletteBytes);
    Bytes paletteBsave = MakeBsave(0x7680, 0x769F, palette);
    const Bytes screen11 = NoiseBsave(11, 3);
    struct Row {
        const char* name;
        Bytes file;
        const char* companionName;  // a palette file beside it, or nullptr
        Bytes companion;
        const char* options;
        uint8_t screen;
        Bytes plain;  // the same picture as a BSAVE file
    };
    const Row rows[] = {
        {"A.SCB", screen11, nullptr, {}, "", 11, screen11},
        {"A.GE5", Bsave(Page(5, 1)), nullptr, {}, "", 5, Bsave(Page(5, 1))},
        {"A.GE7", Bsave(Page(7, 1)), nullptr, {}, "", 7, Bsave(Page(7, 1))},
        {"A.GE8", Bsave(Page(8, 1)), nullptr, {}, "", 8, Bsave(Page(8, 1))},
        {"A.PIC", Bsave(Page(8, 2)), nullptr, {}, "", 8, Bsave(Page(8, 2))},
        {"B.SR7", GraphSaurusFile(Page(7, 4), true), nullptr, {}, "", 7, Bsave(Page(7, 4))},
        {"B.SRS", GraphSaurusFile(Page(12, 5), true), nullptr, {}, "", 12, Bsave(Page(12, 5))},
        {"B.SRA", GraphSaurusFile(Page(10, 6), false), nullptr, {}, "", 10, Bsave(Page(10, 6))},
        {"C.SR5", GraphSaurusFile(Page(5, 7), false), "C.PL5", palette, "", 5, Bsave(WithPalette(5, Page(5, 7), palette))},
        {"C.SR6", GraphSaurusFile(Page(6, 7), true), "C.PL6", bank, "--palette-index 3", 6,
         Bsave(WithPalette(6, Page(6, 7), bank3))},
        {"D.SC5", Bsave(Page(5, 8)), "D.PL5", paletteBsave, "", 5, Bsave(WithPalette(5, Page(5, 8), palette))},
        {"E.SC5", Bsave(WithPalette(5, Page(5, 8), bank3)), "E.PL5", palette, "", 5,
         Bsave(WithPalette(5, Page(5, 8), bank3))},  // a file that carries its palette keeps it
        {"F.S15", Bsave(Page(5, 9)), nullptr, {}, "", 5, Bsave(Page(5, 9))},  // a second page alone
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string folder = FreshFolder(std::string("formats-") + row.name);
        if (row.companionName != nullptr) WriteFile(folder + "/" + row.companionName, row.companion);
        const Bytes plain = Converted(dir, "plain.bin", row.plain, "-s " + std::to_string(row.screen));
        EXPECT_EQ(Converted(folder, row.name, row.file, row.options), plain);
    }
}

}  // namespace
}  // namespace velda_test
