#include "render/color_rules.h"

namespace velda {

namespace {

constexpr uint8_t Level3To8(int level) { return Level5To8(Level3To5(level)); }

}  // namespace

Rgb5 MsxYjkToRgb5(int y, int j, int k) {
    // Integer division truncates toward zero; a negative sum clamps to 0
    // whichever way it is rounded.
    return Rgb5{ClampLevel5(y + j), ClampLevel5(y + k), ClampLevel5((5 * y - 2 * j - k + 2) / 4)};
}

Rgb8 Msx1Color(int index) {
    static constexpr Rgb8 Colors[16] = {
        {0, 4, 0},       {0, 4, 0},       {52, 192, 64},   {107, 214, 116},  // transparent (as black), black, greens
        {83, 88, 221},   {122, 122, 237}, {184, 97, 72},   {90, 226, 234},   // blues, dark red, cyan
        {218, 104, 81},  {254, 139, 116}, {200, 200, 84},  {218, 213, 126},  // reds, yellows
        {48, 169, 56},   {180, 104, 175}, {198, 208, 197}, {249, 255, 248},  // dark green, magenta, grey, white
    };
    return Colors[index & 0x0F];
}

Rgb8 PaletteEntryColor(ColorRule rule, uint8_t redBlue, uint8_t green) {
    if (rule == ColorRule::Velda) return PaletteEntryToRgb(redBlue, green);
    return Rgb8{Level3To8((redBlue >> 4) & 7), Level3To8(green & 7), Level3To8(redBlue & 7)};
}

Rgb8 Screen8Color(ColorRule rule, uint8_t value) {
    if (rule == ColorRule::Velda) return Screen8ValueToRgb(value);
    return Rgb8{Level3To8((value >> 2) & 7), Level3To8(value >> 5), Level3To8(Screen8BlueTo3(value & 3))};
}

Rgb8 YjkColor(ColorRule rule, int y, int j, int k) {
    if (rule == ColorRule::Velda) {
        const Rgb5 c = YjkToRgb(y, j, k);
        return Rgb8{static_cast<uint8_t>(c.r << 3), static_cast<uint8_t>(c.g << 3),
                    static_cast<uint8_t>(c.b << 3)};
    }
    const Rgb5 c = MsxYjkToRgb5(y, j, k);
    return Rgb8{Level5To8(c.r), Level5To8(c.g), Level5To8(c.b)};
}

}  // namespace velda
