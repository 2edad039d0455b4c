// The converter's batch throughput, in pictures per second: velda-convert
// run in this process over a folder of generated BSAVE files, as many of
// every mode, through everything a real run does (file checks, reading,
// the temporary file, its rename onto the final name).
//
//   Batch/<format>/<content>/files:<n>/replace:<r>
//     replace 0: the outputs go into an empty folder (emptied, untimed,
//                before every run), as a first conversion does
//     replace 1: the outputs exist and --force replaces them. Here ext4
//                starts writing each file out when it is renamed over an
//                existing one, so this soon measures the disk.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <dirent.h>
#include <unistd.h>

#include "bench_pictures.h"
#include "image/mode_table.h"
#include "tools/cli.h"
#include "export/png_writer.h"

namespace {

using namespace velda;
using velda_bench::Content;

constexpr double BatchTargetPerSecond = 2000.0;

// A folder with `copies` generated pictures of every mode, all of one
// content, and an output folder beside them.
struct BatchFolder {
    std::string root;
    std::vector<std::string> inputs;

    BatchFolder(Content content, int copies) {
        char pattern[] = "/tmp/velda-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        root = pattern;
        for (std::size_t m = 0; m < sizeof AllScreens; ++m) {
            const velda_test::ExpectedMode& mode = velda_test::ExpectedModeOf(AllScreens[m]);
            const std::vector<uint8_t> file = velda_bench::MakeBsave(mode.screen, content);
            for (int copy = 0; copy < copies; ++copy) {
                const std::string path =
                    root + "/pic" + std::to_string(copy) + "_" + std::to_string(m) + "." + mode.extension;
                std::FILE* out = std::fopen(path.c_str(), "wb");
                if (out == nullptr) std::abort();
                std::fwrite(file.data(), 1, file.size(), out);
                std::fclose(out);
                inputs.push_back(path);
            }
        }
        if (std::system(("mkdir '" + Output() + "'").c_str()) != 0) std::abort();
    }
    ~BatchFolder() {
        if (std::system(("rm -rf '" + root + "'").c_str()) != 0) std::fputs("cannot remove the bench folder\n", stderr);
    }
    std::string Output() const { return root + "/out"; }

    void EmptyOutput() const {
        DIR* folder = opendir(Output().c_str());
        if (folder == nullptr) std::abort();
        while (const dirent* entry = readdir(folder)) {
            if (entry->d_name[0] != '.') unlink((Output() + "/" + entry->d_name).c_str());
        }
        closedir(folder);
    }
};

const BatchFolder& FolderFor(Content content, int files) {
    const int copies = files / static_cast<int>(sizeof AllScreens);
    static BatchFolder smallSmooth(velda_bench::Smooth, 4), smallNoise(velda_bench::Noise, 4);
    if (copies == 4) return content == velda_bench::Noise ? smallNoise : smallSmooth;
    static BatchFolder largeSmooth(velda_bench::Smooth, 40);
    if (copies != 40 || content != velda_bench::Smooth) std::abort();
    return largeSmooth;
}

void Batch(benchmark::State& state) {
    const bool png = state.range(0) != 0;
    if (png && !PngAvailable()) {
        state.SkipWithError("built without libdeflate: no PNG");
        return;
    }
    const BatchFolder& folder = FolderFor(static_cast<Content>(state.range(1)), static_cast<int>(state.range(2)));
    const bool replace = state.range(3) != 0;
    std::vector<std::string> args = {"-q", "-f", png ? "png" : "bmp", "-d", folder.Output()};
    if (replace) args.push_back("--force");
    args.insert(args.end(), folder.inputs.begin(), folder.inputs.end());
    if (replace) RunConverter(args);  // the outputs exist from here on
    for (auto _ : state) {
        if (!replace) {
            state.PauseTiming();
            folder.EmptyOutput();
            state.ResumeTiming();
        }
        if (RunConverter(args) != ExitConverted) state.SkipWithError("a file did not convert");
    }
    state.counters["pictures/s"] = benchmark::Counter(static_cast<double>(state.iterations() * folder.inputs.size()),
                                                      benchmark::Counter::kIsRate);
    if (!png && !replace) state.SetLabel("target >= " + std::to_string(static_cast<int>(BatchTargetPerSecond)) + " pictures/s");
}

// format (0 bmp, 1 png), content, files, replace
BENCHMARK(Batch)
    ->ArgNames({"png", "noise", "files", "replace"})
    ->Args({0, velda_bench::Smooth, 28, 0})
    ->Args({0, velda_bench::Noise, 28, 0})
    ->Args({0, velda_bench::Smooth, 280, 0})
    ->Args({0, velda_bench::Smooth, 28, 1})
    ->Args({1, velda_bench::Smooth, 28, 0})
    ->Args({1, velda_bench::Noise, 28, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
