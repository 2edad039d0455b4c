// Writes the seed corpus of the fuzzers into a folder: small, hand-shaped
// inputs that reach every path of the loader in every mode, so that
// fuzzing starts from them instead of from nothing. Input layout:
// fuzz_input.h. The output is the same on every run.
//
//   make_seeds FOLDER
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
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
    return seeds;
}

}  // namespace

int main(int argc, char** argv) { return samples::GeneratorMain("make_seeds", "FOLDER", argc, argv, Seeds); }
