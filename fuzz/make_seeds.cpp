// Writes the seed corpus of the fuzzers into a folder: small, hand-shaped
// inputs that reach every path of the loader in every mode, so that
// fuzzing starts from them instead of from nothing. Input layout:
// fuzz_input.h. The output is the same on every run.
//
//   make_seeds FOLDER
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "image/mode_table.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A BSAVE file of `count` bytes of the tests' fixed noise, so seeds are
// reproducible.
Bytes NoiseFile(uint16_t start, uint16_t end, std::size_t count, uint32_t seed, uint8_t id = 0xFE) {
    return velda_test::MakeBsave(start, end, velda_test::NoiseBytes(count, seed), id);
}

bool Write(const std::string& folder, const std::string& name, uint8_t selector, const Bytes& file) {
    const std::string path = folder + "/" + name;
    std::FILE* stream = std::fopen(path.c_str(), "wb");
    if (stream == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    bool ok = std::fputc(selector, stream) != EOF;
    if (!file.empty()) ok = ok && std::fwrite(file.data(), 1, file.size(), stream) == file.size();
    ok = std::fclose(stream) == 0 && ok;
    if (!ok) std::fprintf(stderr, "make_seeds: cannot write %s\n", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;

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
        ok = Write(folder, prefix + "full", veldaRule, full) && ok;
        ok = Write(folder, prefix + "full-msx", msxRule, full) && ok;
        // Only the picture lines: the power-on palette stays.
        const auto linesEnd = static_cast<uint16_t>(mode.pixelBytes - 1);
        ok = Write(folder, prefix + "lines", msxRule, NoiseFile(0, linesEnd, 4096, seed + 1)) && ok;
        // A header and nothing else: a black picture.
        ok = Write(folder, prefix + "header-only", veldaRule, velda_test::MakeBsave(0, linesEnd, {})) && ok;
        // Only the palette table, when the mode has one.
        if (mode.paletteEntries > 0) {
            const auto start = static_cast<uint16_t>(mode.paletteAddress);
            const auto end = static_cast<uint16_t>(start + velda::PaletteBytes - 1);
            ok = Write(folder, prefix + "palette", msxRule, NoiseFile(start, end, velda::PaletteBytes, seed + 2)) &&
                 ok;
        }
    }

    // Mode-independent shapes of the header.
    ok = Write(folder, "whole-vram", 4, NoiseFile(0, 0xFFFF, velda::VramBytes, 7)) && ok;
    ok = Write(folder, "one-byte", 0, NoiseFile(0x1234, 0x1234, 1, 8)) && ok;
    ok = Write(folder, "last-byte", static_cast<uint8_t>(6 | velda_fuzz::MsxRuleBit), NoiseFile(0xFFFF, 0xFFFF, 1, 9)) && ok;
    ok = Write(folder, "trailing-bytes", 1, NoiseFile(0x0100, 0x010F, 64, 10)) && ok;
    ok = Write(folder, "end-below-start", 2, NoiseFile(0x0200, 0x01FF, 16, 11)) && ok;
    ok = Write(folder, "not-bsave", 3, NoiseFile(0, 0x69FF, 64, 12, 0x00)) && ok;
    ok = Write(folder, "short-header", 5, Bytes{0xFE, 0x00, 0x00, 0xFF}) && ok;
    ok = Write(folder, "empty-file", 0, Bytes{}) && ok;
    return ok ? 0 : 1;
}
