// The portable core, one picture at a time (times are per picture):
//
//   Decode/<screen>/<content>  the picture of the page (MakePicture, under
//                              the velda rule), as the window draws it and
//                              Save writes it
//   DecodeYjk/<screen>/<content>/<rule>
//                              DecodeYjkLine over all 212 lines, as
//                              BuildPicture calls it (rule 0 velda, 1 msx)
//   Bmp/<screen>/<content>     Save's BMP of the picture in memory, encoded
//                              into a byte vector (no file)
//   Png/<screen>/<content>     the converter's PNG of the picture: decoding
//                              into a Picture and the PNG encoding in memory
//   Thumbnail/<screen>/<side>  MakeThumbnail from the file's bytes, as
//                              Explorer's handler and velda-thumbnailer
//                              make one (opening included)
//
// The picture is opened once, before timing, through OpenPicture.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "bench_pictures.h"
#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "image/vram_image.h"
#include "render/picture.h"
#include "render/thumbnail.h"
#include "render/yjk_line.h"
#include "export/png_writer.h"

namespace {

using namespace velda;
using velda_bench::Content;

constexpr double DecodeTargetScreen12Us = 70.0;
constexpr double DecodeTargetScreen8Us = 25.0;
// A folder of 500 pictures shown in Explorer or a file manager within a
// second of work.
constexpr double ThumbnailTargetUs = 2000.0;

// A generated picture as a freshly started VELDA opens it.
struct OpenedPicture {
    ScreenPage page;

    OpenedPicture(uint8_t screen, Content content) {
        const std::vector<uint8_t> file = velda_bench::MakeBsave(screen, content);
        PictureRequest request;
        request.screen = screen;
        if (OpenPicture(file.data(), file.size(), request, page)) std::abort();
    }
};

void SetPictureRate(benchmark::State& state) {
    state.counters["pictures/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Decode(benchmark::State& state) {
    const auto screen = static_cast<uint8_t>(state.range(0));
    const OpenedPicture opened(screen, static_cast<Content>(state.range(1)));
    const PageView page = ViewOf(opened.page);
    for (auto _ : state) {
        const Picture picture = MakePicture(page, PictureOptions{});
        benchmark::DoNotOptimize(picture.pixels.data());
    }
    if (screen == 12) state.SetLabel("target <= " + std::to_string(static_cast<int>(DecodeTargetScreen12Us)) + " us");
    if (screen == 8) state.SetLabel("target <= " + std::to_string(static_cast<int>(DecodeTargetScreen8Us)) + " us");
}

void DecodeYjk(benchmark::State& state) {
    const auto screen = static_cast<uint8_t>(state.range(0));
    const OpenedPicture opened(screen, static_cast<Content>(state.range(1)));
    const ColorRule rule = state.range(2) != 0 ? ColorRule::Msx : ColorRule::Velda;
    Rgb8 paletteColors[PaletteSize];
    for (int i = 0; i < PaletteSize; ++i) {
        paletteColors[i] = PaletteEntryColor(rule, opened.page.palette[PaletteEntryBytes * i],
                                             opened.page.palette[PaletteEntryBytes * i + 1]);
    }
    constexpr std::size_t RowBytes = 3 * 256;
    std::vector<uint8_t> pixels(RowBytes * ScreenLines);
    for (auto _ : state) {
        for (int y = 0; y < ScreenLines; ++y) {
            DecodeYjkLine(screen, opened.page.vram.data() + y * 256, paletteColors, rule, pixels.data() + RowBytes * y);
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void Bmp(benchmark::State& state) {
    const auto screen = static_cast<uint8_t>(state.range(0));
    const OpenedPicture opened(screen, static_cast<Content>(state.range(1)));
    std::vector<uint8_t> bytes;
    Picture picture;
    for (auto _ : state) {
        bytes.clear();  // keeps its storage: only the first turn grows it
        BuildPicture(screen, opened.page.vram.data(), opened.page.palette, ColorRule::Velda, picture);
        velda_test::MemorySink sink{bytes};
        EncodeBmp(sink, picture, PrepareExportHeaders(picture));
        benchmark::DoNotOptimize(bytes.data());
    }
    SetPictureRate(state);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void Png(benchmark::State& state) {
    if (!PngAvailable()) {
        state.SkipWithError("built without libdeflate: no PNG");
        return;
    }
    const auto screen = static_cast<uint8_t>(state.range(0));
    const OpenedPicture opened(screen, static_cast<Content>(state.range(1)));
    Picture picture;
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        BuildPicture(screen, opened.page.vram.data(), opened.page.palette, ColorRule::Velda, picture);
        if (const std::error_code error = EncodePng(picture, bytes)) state.SkipWithError(error.message().c_str());
        benchmark::DoNotOptimize(bytes.data());
    }
    SetPictureRate(state);
    state.counters["png_bytes"] = static_cast<double>(bytes.size());
}

void Thumbnail(benchmark::State& state) {
    const auto screen = static_cast<uint8_t>(state.range(0));
    const std::vector<uint8_t> file = velda_bench::MakeBsave(screen, velda_bench::Noise);
    // The name says the mode.
    const PictureName name{"A", IsPatternScreen(screen) ? "SC" + std::to_string(screen)
                                                        : std::string(velda_test::ExpectedModeOf(screen).extension)};
    Picture thumbnail;
    for (auto _ : state) {
        if (MakeThumbnail(file.data(), file.size(), name, nullptr, static_cast<int>(state.range(1)), thumbnail)) {
            std::abort();
        }
        benchmark::DoNotOptimize(thumbnail.pixels.data());
    }
    SetPictureRate(state);
    state.SetLabel("target <= " + std::to_string(static_cast<int>(ThumbnailTargetUs)) + " us");
}

const std::vector<int64_t> BenchScreens = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12};
const std::vector<int64_t> BothContents = {velda_bench::Smooth, velda_bench::Noise};

BENCHMARK(Decode)->ArgNames({"screen", "noise"})->ArgsProduct({BenchScreens, BothContents})->Unit(benchmark::kMicrosecond);
BENCHMARK(DecodeYjk)
    ->ArgNames({"screen", "noise", "msx"})
    ->ArgsProduct({{10, 11, 12}, BothContents, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(Bmp)->ArgNames({"screen", "noise"})->ArgsProduct({BenchScreens, BothContents})->Unit(benchmark::kMicrosecond);
BENCHMARK(Thumbnail)->ArgNames({"screen", "side"})->ArgsProduct({BenchScreens, {128, 256}})->Unit(benchmark::kMicrosecond);
BENCHMARK(Png)->ArgNames({"screen", "noise"})->ArgsProduct({{5, 7, 8, 12}, BothContents})->Unit(benchmark::kMicrosecond);

}  // namespace
