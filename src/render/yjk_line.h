// Decoding whole lines of the YJK modes (SCREEN 10, 11 and 12) into the
// blue, green, red pixels of a picture, under either colour rule.
#pragma once

#include <cstdint>

#include "render/color_rules.h"

namespace velda {

// Decodes one line of SCREEN 10, 11 or 12 video memory (`line`, its 256
// bytes) into 256 pixels of blue, green, red at `out` (768 bytes) under
// `rule`. In SCREEN 10 and 11 a byte with bit 3 set is a palette pixel and
// takes paletteColors[b >> 4] (16 colours already in the rule); SCREEN 12
// does not read paletteColors (it may be nullptr).
void DecodeYjkLine(uint8_t screen, const uint8_t* line, const Rgb8* paletteColors, ColorRule rule, uint8_t* out);

}  // namespace velda
