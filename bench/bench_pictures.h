// Generated pictures for the benchmarks, the same on Linux and Windows.
//
//   smooth  gradients and a disc, as drawn pictures are: neighbouring YJK
//           groups share their chroma, palette pixels come in runs
//   noise   random bytes: every YJK group has its own chroma, the worst
//           case for lookups and for PNG compression
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "test_support.h"

namespace velda_bench {

enum Content { Smooth = 0, Noise = 1 };

inline const char* ContentName(int content) { return content == Noise ? "noise" : "smooth"; }

// Video memory from address 0 up to the mode's palette table (inclusive),
// with the power-on palette in that table; for SCREEN 1-4 all 16 KiB.
inline std::vector<uint8_t> MakeVram(uint8_t screen, Content content) {
    const velda::ModeInfo* mode = velda::FindMode(screen);
    // Noise keeps these bytes; a smooth picture is drawn over every one.
    std::vector<uint8_t> vram = velda_test::NoiseBytes(static_cast<std::size_t>(mode->clearBytes), screen);
    if (velda::IsPatternScreen(screen)) {
        // Smooth: every character once in order, patterns of runs, few colours.
        for (std::size_t i = 0; content == Smooth && i < 0x3800; ++i) {
            vram[i] = i >= 0x2000 ? static_cast<uint8_t>(0xF4 - (i / 0x800) * 0x11)
                    : i >= 0x1800 ? static_cast<uint8_t>(i)
                                  : static_cast<uint8_t>(0xFF << (i % 8));
        }
        velda::SeedDefaultPalette(screen, vram.data());
        return vram;
    }
    for (std::size_t i = 0; content == Smooth && i < vram.size(); ++i) {
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
            if (screen != 12 && (x + y) % 7 != 0) vram[i] &= 0xF7;  // mostly YJK, some palette pixels
        } else if (screen == 8) {
            vram[i] = static_cast<uint8_t>(disc ? 0xFF - (y / 27) : ((y / 27) << 5) | ((x / 32) << 2) | (x / 64));
        } else {
            const int index = disc ? 15 : (x / 16 + y / 32) & 15;
            vram[i] = static_cast<uint8_t>(screen == 6 ? (index & 3) * 0x55 : index * 0x11);
        }
    }
    if (mode->paletteEntries > 0) velda::SeedDefaultPalette(screen, vram.data());
    return vram;
}

// The BSAVE file of MakeVram: start address 0, end at the palette table.
inline std::vector<uint8_t> MakeBsave(uint8_t screen, Content content) {
    const std::vector<uint8_t> vram = MakeVram(screen, content);
    return velda_test::MakeBsave(0, static_cast<uint16_t>(vram.size() - 1), vram);
}

// The median of `values` (which it sorts).
inline double Median(std::vector<double>& values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

}  // namespace velda_bench
