// The colour rules: what colour each kind of pixel shows.
//
// velda: the colours that the window shows and Save writes, exactly. MSX levels are shifted
//        into 8 bits and never rescaled: 3-bit levels x 32 (0..224), the
//        2-bit SCREEN 8 blue x 64 (0..192), 5-bit YJK levels x 8 (0..248).
//
// msx:   the colours the MSX2+ video chip (V9958) puts out, stretched to the
//        full 8-bit range. The chip's colour stage works on 5-bit levels:
//
//          3-bit level l (palette, SCREEN 8 red and green)
//              -> 5 bits (l << 2) | (l >> 1)         0 4 9 13 18 22 27 31
//          2-bit SCREEN 8 blue b
//              -> 3-bit level {0, 2, 4, 7}[b] -> 5 bits as above
//          YJK  R = Y + J, G = Y + K, B = (5Y - 2J - K + 2) / 4,
//               each clamped to 0..31 (the chip rounds B, VELDA truncates)
//
//        and every 5-bit level i becomes 255 * i / 31, truncated, so 31 is
//        255 and a palette level 2 (5-bit 9) is 74.
//
// msx1:  SCREEN 1-4 in the sixteen fixed colours of the MSX1's video chip
//        (TMS9918A family), as these pictures looked on the machine that
//        made them; the modes an MSX1 lacks as the velda rule shows them.
//
// Only colours differ between the rules: pixel indices, sizes and layout
// are the same.
#pragma once

#include <cstdint>

#include "render/yjk.h"

namespace velda {

enum class ColorRule { Velda, Msx, Msx1 };

struct Rgb8 {
    uint8_t r, g, b;
};

constexpr bool operator==(Rgb8 a, Rgb8 b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
constexpr bool operator!=(Rgb8 a, Rgb8 b) { return !(a == b); }

// --- velda rule -------------------------------------------------------------

// A palette entry (0RRR0BBB, 00000GGG): levels 0-7 become 0..224 in steps
// of 32 (level x 32, never 255).
constexpr Rgb8 PaletteEntryToRgb(uint8_t redBlue, uint8_t green) {
    return Rgb8{static_cast<uint8_t>((redBlue & 0x70u) << 1), static_cast<uint8_t>((green & 0x07u) << 5),
                static_cast<uint8_t>((redBlue & 0x07u) << 5)};
}

// A SCREEN 8 pixel GGGRRRBB: red and green levels x 32, the 2-bit blue x 64.
constexpr Rgb8 Screen8ValueToRgb(uint8_t v) {
    return Rgb8{static_cast<uint8_t>((v & 0x1Cu) << 3), static_cast<uint8_t>(v & 0xE0u),
                static_cast<uint8_t>((v & 0x03u) << 6)};
}

// --- msx rule, step by step -------------------------------------------------

// A 3-bit level 0..7 as the chip's 5-bit level: the three bits repeated.
constexpr int Level3To5(int level) { return (level << 2) | (level >> 1); }

// The 2-bit SCREEN 8 blue 0..3 as a 3-bit level: 0, 2, 4, 7.
constexpr int Screen8BlueTo3(int blue) {
    return blue == 0 ? 0 : blue == 1 ? 2 : blue == 2 ? 4 : 7;
}

// A 5-bit level 0..31 at full 8-bit range, truncated: 255 * i / 31.
constexpr uint8_t Level5To8(int level) { return static_cast<uint8_t>(255 * level / 31); }

// YJK as the V9958 forms it: R = Y + J, G = Y + K and
// B = (5Y - 2J - K + 2) / 4, each clamped to 0..31. y: 0..31; j, k: -32..31.
Rgb5 MsxYjkToRgb5(int y, int j, int k);

// --- msx1 rule ----------------------------------------------------------------

// Colour 0-15 of the MSX1's video chip, as the chip gives them, with no
// display gamma, the same kind of value as the msx rule's levels. The
// TMS9918A data book (page 2-17) gives each colour as a luminance Y and
// colour-difference voltages R-Y and B-Y (0.47 for none); openMSX 18, at
// gamma 1.0, brightness 0 and contrast 0, takes them at 54 % saturation
// through the YPbPr equations (R = Y + 1.402 Pr, G = Y - 0.344 Pb -
// 0.714 Pr, B = Y + 1.722 Pb), times 255, rounded and clipped, and these
// are the values it shows on the TMS99x8A and TMS9929A alike. Colour 0,
// transparent, shows the backdrop, here black.
Rgb8 Msx1Color(int index);

// The rule of the modes an MSX1 lacks: msx1 shows them as velda does.
constexpr ColorRule Msx2ModeRule(ColorRule rule) { return rule == ColorRule::Msx1 ? ColorRule::Velda : rule; }

// --- the colours of each kind of pixel, by rule ----------------------------

// A palette entry in register form (0RRR0BBB, 00000GGG), under the velda
// or msx rule.
Rgb8 PaletteEntryColor(ColorRule rule, uint8_t redBlue, uint8_t green);

// A SCREEN 8 pixel byte GGGRRRBB.
Rgb8 Screen8Color(ColorRule rule, uint8_t value);

// A YJK pixel; y: 0..31; j, k: -32..31.
Rgb8 YjkColor(ColorRule rule, int y, int j, int k);

}  // namespace velda
