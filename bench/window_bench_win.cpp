// The window's Open path against the floor that the design sets for it.
//
// Every Open sets each canvas pixel with its own SetPixelV call and the
// window title once per line, so those calls are the least an Open can
// cost. This program times, for each mode, an Open of a generated picture
// from the moment the file is chosen to the finished canvas, in the steps
// OpenInMode takes after the Open command's dialog (load: the file read,
// OpenPicture and AdoptPage into the window's model; then the picture made
// and drawn by RenderImage, and FinishOpen), and a bare loop of the same
// SetPixelV calls with the same colours on a memory DC of the same size,
// with the same 212 titles set on the window (the titles column: their
// share of the bare loop). Open should take at most 1.5 times the bare
// loop.
//
// Google Benchmark is not available for MinGW, so this times itself:
// QueryPerformanceCounter, two untimed turns first, then the two loops
// taking turns, medians.
//
//   velda_window_bench [runs]      runs per mode, 11 by default
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "image/vram_image.h"
#include "platform/files.h"
#include "render/picture_shapes.h"
#include "shell/shell_state_win.h"

namespace {

constexpr int DefaultRuns = 11;
constexpr int WarmUpRuns = 2;
constexpr double TargetRatio = 1.5;

double Now() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER ticks;
    QueryPerformanceCounter(&ticks);
    return static_cast<double>(ticks.QuadPart) / ticksPerMs;
}

// Lets the window handle what the last Open left queued (paint, resize).
void PumpMessages(HWND window, HACCEL accelerators) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) velda::DispatchWithAccelerators(window, accelerators, &message);
}

// What the Open command does once its dialog has confirmed `path`.
struct OpenTimes {
    double load, render, finish;
};
OpenTimes TimeOpen(HWND window, uint8_t screen, const std::string& path) {
    velda::PictureModel& model = velda::ModelOf(window);
    velda::PictureRequest request;
    request.screen = screen;
    request.bsaveOnly = true;
    request.heldPalette = model.MsxPalette;
    const double start = Now();
    std::vector<uint8_t> bytes;
    velda::ScreenPage page;
    if (velda::ReadWholeFile(path, velda::MaxPictureFileBytes, bytes) ||
        velda::OpenPicture(bytes.data(), bytes.size(), request, page)) {
        std::abort();
    }
    velda::AdoptPage(model, page);
    const double loaded = Now();
    const velda::Picture picture = velda::MakePicture(velda::ViewOf(page), velda::PictureOptions{});
    velda::RenderImage(window, picture);
    const double rendered = Now();
    velda::FinishOpen(window, picture, "BENCH");
    const double finished = Now();
    return OpenTimes{loaded - start, rendered - loaded, finished - rendered};
}

// The picture's pixels, line after line, as the Open draws them, and the
// titles it shows: the bare loop's inputs, made before it is timed from
// what the Open command's own OpenInMode leaves in the window's model.
struct BareInputs {
    int width = 0;
    std::vector<COLORREF> pixels;
    std::vector<std::wstring> titles;
};
BareInputs MakeBareInputs(HWND window, uint8_t screen, const std::string& path) {
    const velda::PictureModel& model = velda::ModelOf(window);
    if (!velda::OpenInMode(window, screen, path, "BENCH")) std::abort();
    const velda::Picture picture =
        velda::MakePicture(velda::ViewOf(model, model.ScreenMode), velda::PictureOptions{});
    BareInputs inputs;
    inputs.width = picture.width;
    for (int y = 0; y < velda::ScreenLines; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const velda::Rgb8 c = velda::PixelColor(picture, x, y);
            inputs.pixels.push_back(RGB(c.r, c.g, c.b));
        }
        inputs.titles.push_back(velda::ProgressTitle(y));
    }
    return inputs;
}

struct BareTimes {
    double total, titles;  // titles: the share of the SetWindowTextW calls
};
BareTimes TimeBareLoop(HWND window, HDC dc, const BareInputs& inputs) {
    const double start = Now();
    double titles = 0.0;
    const COLORREF* pixel = inputs.pixels.data();
    for (int y = 0; y < velda::ScreenLines; ++y) {
        const double titleStart = Now();
        SetWindowTextW(window, inputs.titles[y].c_str());
        titles += Now() - titleStart;
        for (int x = 0; x < inputs.width; ++x) SetPixelV(dc, x, y, *pixel++);
    }
    return BareTimes{Now() - start, titles};
}

std::string WritePicture(const std::string& folder, uint8_t screen) {
    const std::string path = folder + "velda-window-bench-" + std::to_string(screen) + ".bin";
    const std::vector<uint8_t> file = velda_bench::MakeBsave(screen, velda_bench::Smooth);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size()) std::abort();
    std::fclose(out);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : DefaultRuns;
    if (runs < 1) {
        std::fprintf(stderr, "usage: velda_window_bench [runs]\n");
        return 2;
    }
    HACCEL accelerators = nullptr;
    HWND window = velda::StartMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL, &accelerators);
    if (window == nullptr) {
        std::fprintf(stderr, "velda_window_bench: the main window cannot be created\n");
        return 1;
    }
    PumpMessages(window, accelerators);

    // The bare loop's canvas: the same kind of bitmap as the Canvas.
    HDC windowDc = GetDC(window);
    HDC bareDc = CreateCompatibleDC(windowDc);
    HBITMAP bareBitmap = CreateCompatibleBitmap(windowDc, velda::CanvasWidth, velda::CanvasHeight);
    ReleaseDC(window, windowDc);
    HGDIOBJ oldBitmap = SelectObject(bareDc, bareBitmap);

    char folder[MAX_PATH];
    if (GetTempPathA(sizeof folder, folder) == 0) std::abort();

    std::printf("Open to finished canvas against the bare loop of its SetPixelV calls and titles\n");
    std::printf("(median of %d runs each, milliseconds; Open = load + render + finish)\n\n", runs);
    std::printf("%-6s %7s %7s %7s %7s %9s %7s %7s  %s\n", "screen", "open", "load", "render", "finish", "bare",
                "titles", "ratio", "target");
    std::fflush(stdout);
    bool allMet = true;
    for (uint8_t screen : velda::AllScreens) {
        const std::string path = WritePicture(folder, screen);
        const BareInputs inputs = MakeBareInputs(window, screen, path);
        std::vector<double> open, load, render, finish, bare, titles;
        auto timeOpen = [&] {
            const OpenTimes times = TimeOpen(window, screen, path);
            PumpMessages(window, accelerators);
            open.push_back(times.load + times.render + times.finish);
            load.push_back(times.load);
            render.push_back(times.render);
            finish.push_back(times.finish);
        };
        auto timeBare = [&] {
            const BareTimes times = TimeBareLoop(window, bareDc, inputs);
            PumpMessages(window, accelerators);
            bare.push_back(times.total);
            titles.push_back(times.titles);
        };
        for (int turn = 0; turn < WarmUpRuns; ++turn) {  // untimed: caches, a fresh prefix settling
            TimeOpen(window, screen, path);
            TimeBareLoop(window, bareDc, inputs);
            PumpMessages(window, accelerators);
        }
        for (int run = 0; run < runs; ++run) {
            // Each goes first every other run, so that a change in the
            // machine's load falls on both alike.
            if (run % 2 == 0) {
                timeOpen();
                timeBare();
            } else {
                timeBare();
                timeOpen();
            }
        }
        DeleteFileA(path.c_str());
        const double openMs = velda_bench::Median(open), bareMs = velda_bench::Median(bare);
        const double ratio = openMs / bareMs;
        allMet = allMet && ratio <= TargetRatio;
        std::printf("%-6d %7.2f %7.2f %7.2f %7.2f %9.2f %7.2f %7.2f  %s\n", screen, openMs, velda_bench::Median(load),
                    velda_bench::Median(render), velda_bench::Median(finish), bareMs, velda_bench::Median(titles), ratio,
                    ratio <= TargetRatio ? "met (<= 1.5)" : "MISSED (> 1.5)");
        std::fflush(stdout);
    }
    std::printf("\n%s\n", allMet ? "every mode within 1.5 times the bare loop" : "some mode above 1.5 times the bare loop");

    SelectObject(bareDc, oldBitmap);
    DeleteObject(bareBitmap);
    DeleteDC(bareDc);
    DestroyWindow(window);
    PumpMessages(window, accelerators);
    return 0;
}
