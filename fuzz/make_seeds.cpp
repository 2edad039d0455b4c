// Writes the seed corpus of the fuzzers into a folder: small, hand-shaped
// inputs that reach every path of the loader, and of the readers and
// shapes of fuzz_formats, in every mode, so that fuzzing starts from them
// instead of from nothing. Input layout: fuzz_input.h. The output is the
// same on every run.
//
//   make_seeds FOLDER
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "graph_saurus_writer.h"
#include "image/mode_table.h"
#include "samples/generator_main.h"
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
    return seeds;
}

}  // namespace

int main(int argc, char** argv) { return samples::GeneratorMain("make_seeds", "FOLDER", argc, argv, Seeds); }
