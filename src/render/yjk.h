// The YJK colour encoding of the V9958 (SCREEN 10, 11 and 12).
//
// Four neighbouring pixels share one chroma pair, spread over the low three
// bits of their bytes:
//   b0: ....Kkkk low   b1: ....Kkkk high   ->  K = (b1 & 7) << 3 | (b0 & 7)
//   b2: ....Jjjj low   b3: ....Jjjj high   ->  J = (b3 & 7) << 3 | (b2 & 7)
// K and J are six-bit two's-complement numbers, -32..31.
#pragma once

#include <cstdint>

namespace velda {

constexpr int YjkGroupPixels = 4;

// SCREEN 10 and 11: a byte with this bit set is a palette pixel, its
// colour index in the high four bits.
constexpr uint8_t AttributeBit = 0x08;

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

}  // namespace velda
