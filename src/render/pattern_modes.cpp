#include "render/pattern_modes.h"

#include <array>
#include <cstring>

namespace velda {

namespace {

constexpr int NameTable = 0x1800;
constexpr int MulticolorNameTable = 0x0800;
constexpr int ColorTable = 0x2000;
constexpr int Columns = 32;
constexpr int CharacterLines = 8;
constexpr int BandRows = 8;         // character rows in each band of SCREEN 2 and 4
constexpr int BandBytes = 0x800;    // one band's patterns or colours
constexpr int GroupCharacters = 8;  // characters sharing a SCREEN 1 colour byte

// The four output bytes of an 8-pixel pattern byte as one 32-bit mask,
// output byte k in bits 8k-8k+7: 0xF where the pattern shows its
// foreground.
constexpr std::array<uint32_t, 256> MakeNibbleMasks() {
    std::array<uint32_t, 256> masks{};
    for (int p = 0; p < 256; ++p) {
        uint32_t mask = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if ((p >> (7 - bit)) & 1) {
                const int byte = bit / 2, shift = bit % 2 == 0 ? 4 : 0;
                mask |= uint32_t{0xF} << (8 * byte + shift);
            }
        }
        masks[p] = mask;
    }
    return masks;
}
constexpr std::array<uint32_t, 256> NibbleMasks = MakeNibbleMasks();

// A colour byte (foreground high nibble, background low) as the two
// words PutCharacterLine mixes: foreground XOR background, and background,
// each nibble repeated eight times.
struct ColorWords {
    uint32_t difference, background;
};
constexpr std::array<ColorWords, 256> MakeColorWords() {
    std::array<ColorWords, 256> words{};
    for (int c = 0; c < 256; ++c) {
        words[c] = ColorWords{static_cast<uint32_t>((c >> 4) ^ (c & 0x0F)) * 0x11111111u,
                              static_cast<uint32_t>(c & 0x0F) * 0x11111111u};
    }
    return words;
}
constexpr std::array<ColorWords, 256> ColorWordsOf = MakeColorWords();

// Eight pixels of `pattern` in colours `colors` (foreground high nibble)
// into 4 bytes at `out`.
inline void PutCharacterLine(uint8_t pattern, uint8_t colors, uint8_t* out) {
    const ColorWords words = ColorWordsOf[colors];
    const uint32_t bytes = words.background ^ (words.difference & NibbleMasks[pattern]);
    const uint8_t little[4] = {static_cast<uint8_t>(bytes), static_cast<uint8_t>(bytes >> 8),
                               static_cast<uint8_t>(bytes >> 16), static_cast<uint8_t>(bytes >> 24)};
    std::memcpy(out, little, sizeof little);
}

}  // namespace

void DecodePatternLine(uint8_t screen, const uint8_t* vram, int y, uint8_t* row) {
    const int characterRow = y / CharacterLines, line = y % CharacterLines;
    if (screen == 3) {
        const uint8_t* names = vram + MulticolorNameTable + characterRow * Columns;
        const int byte = 2 * (characterRow % 4) + line / 4;
        for (int column = 0; column < Columns; ++column) {
            // The left block is the pattern's foreground half.
            PutCharacterLine(0xF0, vram[names[column] * CharacterLines + byte], row + 4 * column);
        }
        return;
    }
    const uint8_t* names = vram + NameTable + characterRow * Columns;
    if (screen == 1) {
        for (int column = 0; column < Columns; ++column) {
            const int name = names[column];
            PutCharacterLine(vram[name * CharacterLines + line], vram[ColorTable + name / GroupCharacters],
                             row + 4 * column);
        }
        return;
    }
    const int band = (characterRow / BandRows) * BandBytes;
    for (int column = 0; column < Columns; ++column) {
        const int at = band + names[column] * CharacterLines + line;
        PutCharacterLine(vram[at], vram[ColorTable + at], row + 4 * column);
    }
}

}  // namespace velda
