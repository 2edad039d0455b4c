// Converter throughput, in pictures per second.
//
//   Bmp/<mode>/<content>   load a BSAVE file from memory as a freshly
//                          started VELDA does, then encode Save's BMP
//   Png/<mode>/<content>   the same load, then decode and encode the PNG
//   Batch/<png>/<content>  velda-convert over a folder of 28 generated
//                          files (4 of each mode), in this process: file
//                          reading, header checks, temporary file, rename
//
// content: smooth = gradients and shapes, as drawn pictures are;
//          noise  = random bytes, the worst case for PNG compression.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "tools/cli.h"
#include "tools/convert.h"
#include "tools/picture.h"
#include "tools/png_writer.h"

namespace {

using namespace velda;

enum Content { Smooth = 0, Noise = 1 };

// Video memory from address 0 up to the mode's palette table (inclusive).
std::vector<uint8_t> MakeVram(uint8_t screen, Content content) {
    const ModeInfo* mode = FindMode(screen);
    std::vector<uint8_t> vram(static_cast<std::size_t>(mode->clearBytes));
    uint32_t state = 0x9E3779B9u ^ screen;
    for (std::size_t i = 0; i < vram.size(); ++i) {
        if (content == Noise) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            vram[i] = static_cast<uint8_t>(state >> 24);
            continue;
        }
        const int x = static_cast<int>(i % static_cast<std::size_t>(mode->bytesPerLine));
        const int y = static_cast<int>(i / static_cast<std::size_t>(mode->bytesPerLine));
        const int dx = x - 128, dy = y - 106;
        const bool disc = dx * dx + dy * dy < 70 * 70;
        if (screen == 12 || screen == 10 || screen == 11) {
            // Luminance ramps; chroma changes slowly across groups. In a
            // group b0, b1 carry K (low, high bits), b2, b3 carry J.
            const int k = disc ? 20 : y / 16 - 6;
            const int j = x / 16 - 8;
            const int raw = (x % 4 < 2 ? k : j) & 63;
            const int slice = x % 2 == 0 ? raw & 7 : raw >> 3;
            const int luma = disc ? 31 - (x + y) / 16 : (x / 8 + y / 16) & 31;
            vram[i] = static_cast<uint8_t>(((luma & 31) << 3) | (slice & 7));
            if (screen != 12) vram[i] &= 0xF7;  // YJK pixels, no palette ones
        } else if (screen == 8) {
            vram[i] = static_cast<uint8_t>(disc ? 0xFF - (y / 27) : ((y / 27) << 5) | ((x / 32) << 2) | (x / 64));
        } else {
            const int index = disc ? 15 : (x / 16 + y / 32) & 15;
            vram[i] = static_cast<uint8_t>(screen == 6 ? (index & 3) * 0x55 : index * 0x11);
        }
    }
    if (mode->paletteEntries > 0) SeedDefaultPalette(screen, vram.data());
    return vram;
}

std::vector<uint8_t> MakeBsave(uint8_t screen, Content content) {
    const std::vector<uint8_t> vram = MakeVram(screen, content);
    const auto end = static_cast<uint16_t>(vram.size() - 1);
    std::vector<uint8_t> file(BsaveHeaderBytes + vram.size(), 0);
    file[0] = BsaveId;  // start address 0, exec address 0
    file[3] = static_cast<uint8_t>(end);
    file[4] = static_cast<uint8_t>(end >> 8);
    std::copy(vram.begin(), vram.end(), file.begin() + BsaveHeaderBytes);
    return file;
}

// Opens the file from memory as VELDA's Open command does after start-up.
void LoadFresh(std::vector<uint8_t>& file, uint8_t screen) {
    ResetImageModel();
    std::FILE* stream = fmemopen(file.data(), file.size(), "rb");
    if (stream == nullptr || LoadBsaveFrom(stream, screen) != LoadOutcome::Accepted) std::abort();
    std::fclose(stream);
    PrepareExportHeaders(screen);
}

void SetRate(benchmark::State& state, std::size_t picturesPerIteration) {
    const double pictures = static_cast<double>(state.iterations() * picturesPerIteration);
    state.counters["pictures/s"] = benchmark::Counter(pictures, benchmark::Counter::kIsRate);
}

void Bmp(benchmark::State& state) {
    const auto screen = static_cast<uint8_t>(state.range(0));
    std::vector<uint8_t> file = MakeBsave(screen, static_cast<Content>(state.range(1)));
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(FindMode(screen)->bmpFileSize));
    for (auto _ : state) {
        LoadFresh(file, screen);
        bytes.clear();
        MemorySink sink(bytes);
        EncodeBmp(sink, screen, ExportHeaders, VramImage, MsxPalette);
        benchmark::DoNotOptimize(bytes.data());
    }
    SetRate(state, 1);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void Png(benchmark::State& state) {
    if (!PngAvailable()) {
        state.SkipWithError("built without libpng");
        return;
    }
    const auto screen = static_cast<uint8_t>(state.range(0));
    std::vector<uint8_t> file = MakeBsave(screen, static_cast<Content>(state.range(1)));
    Picture picture;
    std::vector<uint8_t> bytes;
    std::string error;
    for (auto _ : state) {
        LoadFresh(file, screen);
        BuildPicture(screen, VramImage, MsxPalette, ColorRule::Velda, picture);
        if (!EncodePngToMemory(picture, bytes, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(bytes.data());
    }
    SetRate(state, 1);
    state.counters["png_bytes"] = static_cast<double>(bytes.size());
}

// A folder of generated pictures: four of every mode, all of one content.
struct BatchFolder {
    std::string root;
    std::vector<std::string> inputs;

    explicit BatchFolder(Content content) {
        char pattern[] = "/tmp/velda-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        root = pattern;
        const char* extensions[] = {"SC5", "SC6", "SC7", "SC8", "SCA", "S11", "SCC"};
        for (int copy = 0; copy < 4; ++copy) {
            for (std::size_t m = 0; m < sizeof AllScreens; ++m) {
                const std::vector<uint8_t> file = MakeBsave(AllScreens[m], content);
                const std::string path = root + "/pic" + std::to_string(copy) + "_" + std::to_string(m) + "." +
                                         extensions[m];
                std::FILE* out = std::fopen(path.c_str(), "wb");
                if (out == nullptr) std::abort();
                std::fwrite(file.data(), 1, file.size(), out);
                std::fclose(out);
                inputs.push_back(path);
            }
        }
        if (std::system(("mkdir '" + root + "/out'").c_str()) != 0) std::abort();
    }
    ~BatchFolder() {
        if (std::system(("rm -rf '" + root + "'").c_str()) != 0) std::fputs("cannot remove the bench folder\n", stderr);
    }
};

void Batch(benchmark::State& state) {
    const bool png = state.range(0) != 0;
    if (png && !PngAvailable()) {
        state.SkipWithError("built without libpng");
        return;
    }
    static BatchFolder smooth(Smooth), noise(Noise);
    const BatchFolder& folder = state.range(1) == Noise ? noise : smooth;
    std::vector<std::string> args = {"-q", "--force", "-f", png ? "png" : "bmp", "-d", folder.root + "/out"};
    args.insert(args.end(), folder.inputs.begin(), folder.inputs.end());
    for (auto _ : state) {
        if (RunConverter(args) != ExitConverted) state.SkipWithError("a file did not convert");
    }
    SetRate(state, folder.inputs.size());
}

BENCHMARK(Bmp)->ArgNames({"screen", "noise"})->ArgsProduct({{8, 12}, {Smooth, Noise}})->Unit(benchmark::kMicrosecond);
BENCHMARK(Png)->ArgNames({"screen", "noise"})->ArgsProduct({{8, 12}, {Smooth, Noise}})->Unit(benchmark::kMicrosecond);
BENCHMARK(Batch)
    ->ArgNames({"png", "noise"})
    ->ArgsProduct({{0, 1}, {Smooth, Noise}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
