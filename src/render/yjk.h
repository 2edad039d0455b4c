// The YJK colour encoding of the V9958 (SCREEN 10, 11 and 12).
//
// Four neighbouring pixels share one chroma pair, spread over the low three
// bits of their bytes:
//   b0: ....Kkkk low   b1: ....Kkkk high   ->  K = (b1 & 7) << 3 | (b0 & 7)
//   b2: ....Jjjj low   b3: ....Jjjj high   ->  J = (b3 & 7) << 3 | (b2 & 7)
// K and J are six-bit two's-complement numbers, -32..31.
#pragma once

#include <cstdint>

#include "image/vram_image.h"

namespace velda {

constexpr int YjkGroupPixels = 4;

struct Rgb5 {
    int r, g, b;  // 0..31 each
};

constexpr int MaxLevel5 = 31;

// A sum of YJK terms held to the 5-bit range the video chip puts out.
constexpr int ClampLevel5(int value) { return value < 0 ? 0 : value > MaxLevel5 ? MaxLevel5 : value; }

// A raw six-bit field as a signed value: 0x20 is -32, 0x3F is -1.
constexpr int SignedSixBit(int raw) { return raw > 31 ? raw - 64 : raw; }

struct YjkChroma {
    int j, k;
};

// J and K of the group of four bytes starting at `group`.
constexpr YjkChroma GroupChroma(const uint8_t* group) {
    return YjkChroma{SignedSixBit(((group[3] & 7) << 3) | (group[2] & 7)),
                     SignedSixBit(((group[1] & 7) << 3) | (group[0] & 7))};
}

// R = Y + J and G = Y + K, clamped to 0..31; B = 1.25Y - 0.5J - 0.25K in
// double precision, clamped to 0..31 and truncated toward zero (12.25 gives
// 12, 0.75 gives 0). Every term is a multiple of 0.25, so the double is
// exact and equals the integer rule t = 5Y - 2J - K, B = min(31, t / 4).
// y: 0..31; j, k: -32..31.
Rgb5 YjkToRgb(int y, int j, int k);

// The channels of a YJK pixel as the canvas and the saved BMP show them,
// worked out at compile time from YjkToRgb's rule in integers (which is
// YjkToRgb exactly: 4B = 5Y - 2J - K, and clamping to 0..31 then
// truncating toward zero is min(31, max(0, 4B) / 4)), each level shifted
// left by 3 (0..248) into its place in a ColorRef. A pixel costs three
// reads of tables small enough to stay in the cache.
class YjkChannels {
public:
    static constexpr int SumBias = 32;       // Y + J and Y + K: -32..62
    static constexpr int QuarterBlueBias = 93;  // 5Y - 2J - K: -93..251

    constexpr YjkChannels() {
        for (int sum = -SumBias; sum <= 62; ++sum) {
            red_[sum + SumBias] = static_cast<ColorRef>(ClampLevel5(sum)) << 3;
            green_[sum + SumBias] = static_cast<ColorRef>(ClampLevel5(sum)) << 11;
        }
        for (int quarter = -QuarterBlueBias; quarter <= 251; ++quarter) {
            const int blue = quarter < 0 ? 0 : quarter / 4 > MaxLevel5 ? MaxLevel5 : quarter / 4;
            blue_[quarter + QuarterBlueBias] = static_cast<ColorRef>(blue) << 19;
        }
    }
    // The channels of the pixels of chroma (j, k), indexed by Y for red
    // and green and by 5Y for blue.
    constexpr const ColorRef* RedRow(int j) const { return red_ + (j + SumBias); }
    constexpr const ColorRef* GreenRow(int k) const { return green_ + (k + SumBias); }
    constexpr const ColorRef* BlueRow(int j, int k) const { return blue_ + (QuarterBlueBias - 2 * j - k); }

private:
    ColorRef red_[95] = {};
    ColorRef green_[95] = {};
    ColorRef blue_[345] = {};
};

inline constexpr YjkChannels YjkChannelTables{};

// A YJK pixel as the canvas and the saved BMP show it: YjkToRgb's red,
// green and blue, each shifted left by 3 (0..248). y: 0..31; j, k: -32..31.
constexpr ColorRef YjkColorRef(int y, int j, int k) {
    return YjkChannelTables.RedRow(j)[y] | YjkChannelTables.GreenRow(k)[y] | YjkChannelTables.BlueRow(j, k)[5 * y];
}

}  // namespace velda
