#include "render/pattern_modes.h"

#include <array>
#include <cstring>

namespace velda {

namespace {

constexpr int NameTable = 0x1800;
constexpr int MulticolorNameTable = 0x0800;
constexpr int ColorTable = 0x2000;
constexpr int Columns = 32;
constexpr int CharacterRows = 24;
constexpr int RowBytes = 128;       // a line of 256 pixels, two a byte
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
// as the 4 output bytes, byte k in bits 8k-8k+7.
inline uint32_t CharacterLine(uint8_t pattern, uint8_t colors) {
    const ColorWords words = ColorWordsOf[colors];
    return words.background ^ (words.difference & NibbleMasks[pattern]);
}

inline void Put(uint32_t bytes, uint8_t* out) {
    const uint8_t little[4] = {static_cast<uint8_t>(bytes), static_cast<uint8_t>(bytes >> 8),
                               static_cast<uint8_t>(bytes >> 16), static_cast<uint8_t>(bytes >> 24)};
    std::memcpy(out, little, sizeof little);
}

}  // namespace

void DecodePatternPicture(uint8_t screen, const uint8_t* vram, uint8_t* pixels) {
    // A character at a time: its eight pattern and colour bytes lie together.
    const int nameTable = screen == 3 ? MulticolorNameTable : NameTable;
    for (int characterRow = 0; characterRow < CharacterRows; ++characterRow) {
        const uint8_t* names = vram + nameTable + characterRow * Columns;
        const int band = screen == 2 || screen == 4 ? (characterRow / BandRows) * BandBytes : 0;
        uint8_t* top = pixels + characterRow * CharacterLines * RowBytes;
        for (int column = 0; column < Columns; ++column) {
            const int name = names[column];
            const uint8_t* patterns = vram + band + name * CharacterLines;
            uint8_t* out = top + 4 * column;
            if (screen == 3) {  // two blocks a line, the left one the foreground half, 4 lines tall
                const uint8_t* blocks = patterns + 2 * (characterRow % 4);
                const uint32_t upper = CharacterLine(0xF0, blocks[0]), lower = CharacterLine(0xF0, blocks[1]);
                for (int line = 0; line < CharacterLines; ++line) Put(line < 4 ? upper : lower, out + line * RowBytes);
            } else if (screen == 1) {
                const uint8_t colors = vram[ColorTable + name / GroupCharacters];
                for (int line = 0; line < CharacterLines; ++line) {
                    Put(CharacterLine(patterns[line], colors), out + line * RowBytes);
                }
            } else {
                const uint8_t* colors = patterns + ColorTable;
                for (int line = 0; line < CharacterLines; ++line) {
                    Put(CharacterLine(patterns[line], colors[line]), out + line * RowBytes);
                }
            }
        }
    }
}

}  // namespace velda
