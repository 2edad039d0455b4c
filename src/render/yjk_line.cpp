#include "render/yjk_line.h"

#include <cstring>

#include "image/vram_image.h"
#include "render/yjk.h"

// A line is worked in three passes over small arrays, each a loop of plain
// byte or word arithmetic with no branch and no table, which the compiler
// turns into SIMD code (16 pixels an instruction with SSE2):
//   1. the chroma of the 64 groups, each repeated into its four pixels;
//   2. red, green and blue of every pixel, in three separate rows;
//   3. the three rows woven into blue, green, red.
// Every channel is worked out as a byte biased by 32: the sum Y + J (-32..62)
// becomes Y + (J + 32) (0..94), and clamping to 0..31 becomes clamping to
// 32..63, which needs neither a sign nor anything wider than a byte.

namespace velda {

namespace {

constexpr int LinePixels = 256;
constexpr int LineGroups = LinePixels / YjkGroupPixels;
constexpr int Bias = 32;

// Blue is (5Y - 2J - K) / 4, with 2 added first under the msx rule (the
// chip rounds). As 5Y = 4Y + Y that is Y + (Y - 2J - K + rounding) / 4, and
// with J and K biased, Y - 2J - K = Y + 96 - 2(J + 32) - (K + 32). A group
// keeps BlueBase + rounding - 2(J + 32) - (K + 32); adding Y gives the
// quarter's numerator plus 96, 3..225, a byte that is never negative, so
// that a shift divides it. Taking the floor where the rule truncates only
// changes negative blues, and those clamp to 0 either way. The 96 comes
// back out as 24 after the shift, and the bias of 32 goes in: + 8.
constexpr uint32_t BlueBase = 192;
constexpr int BlueBack = Bias - 96 / 4;

constexpr uint32_t Repeat4(uint32_t byte) { return byte * 0x01010101u; }

// A 5-bit level, as a biased byte, on to its 8-bit value under each rule:
// velda shifts it by 3 (the bias of 32 shifts out of the byte), msx takes
// 255 * level / 31, which 2106 / 256 gives exactly over 0..31 in 16 bits.
template <ColorRule Rule>
constexpr uint8_t OutputLevel(uint8_t biased) {
    if (Rule == ColorRule::Velda) return static_cast<uint8_t>(biased << 3);
    const uint8_t level = static_cast<uint8_t>(biased - Bias);
    return static_cast<uint8_t>(static_cast<uint16_t>(level * 2106u) >> 8);
}

constexpr bool MsxLevelsExact() {
    for (int level = 0; level <= MaxLevel5; ++level) {
        if (OutputLevel<ColorRule::Msx>(static_cast<uint8_t>(level + Bias)) != Level5To8(level)) return false;
    }
    return true;
}
static_assert(MsxLevelsExact(), "the msx level scaling must equal Level5To8");

constexpr uint8_t ClampBiased(uint8_t sum) {
    constexpr auto low = static_cast<uint8_t>(Bias), high = static_cast<uint8_t>(Bias + MaxLevel5);
    return sum < low ? low : sum > high ? high : sum;
}

// Pass 1. The four bytes of a group hold K in the low three bits of the
// first two and J in those of the last two. Read as one word (first byte
// lowest), the word shifted right by 5 lays each high half beside its low
// half, and flipping bit 5 of a six-bit two's-complement number adds 32.
// Each result is the same byte four times: the same bytes in memory
// whatever the machine's byte order.
template <ColorRule Rule>
void GroupChromas(const uint8_t* line, uint32_t* j, uint32_t* k, uint32_t* quarter) {
    constexpr uint32_t rounding = Rule == ColorRule::Msx ? 2 : 0;
    for (int g = 0; g < LineGroups; ++g) {
        const uint8_t* b = line + YjkGroupPixels * g;
        const uint32_t word = b[0] | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
                              static_cast<uint32_t>(b[3]) << 24;
        const uint32_t low = word & 0x07070707u;
        const uint32_t biased = ((low | (low >> 5)) & 0x003F003Fu) ^ 0x00200020u;  // K + 32, J + 32
        const uint32_t twice = biased | (biased << 8);
        const uint32_t kRepeated = (twice & 0xFFFFu) | (twice << 16);
        const uint32_t jRepeated = (twice >> 16) | (twice & 0xFFFF0000u);
        k[g] = kRepeated;
        j[g] = jRepeated;
        quarter[g] = Repeat4(BlueBase + rounding) - 2 * jRepeated - kRepeated;  // no byte borrows: each is 3..194
    }
}

// Pass 3 where the first byte of a word is its lowest: each group's three
// rows of four bytes become three words of blue, green, red.
void Weave(const uint32_t* red, const uint32_t* green, const uint32_t* blue, uint8_t* out) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (int g = 0; g < LineGroups; ++g) {
        const uint32_t r = red[g], gr = green[g], b = blue[g];
        const uint32_t first = (b & 0xFFu) | (gr & 0xFFu) << 8 | (r & 0xFFu) << 16 | (b & 0xFF00u) << 16;
        const uint32_t second = (gr >> 8 & 0xFFu) | (r & 0xFF00u) | (b & 0xFF0000u) | (gr & 0xFF0000u) << 8;
        const uint32_t third = (r >> 16 & 0xFFu) | (b >> 24) << 8 | (gr >> 24) << 16 | (r & 0xFF000000u);
        std::memcpy(out + 12 * g, &first, 4);
        std::memcpy(out + 12 * g + 4, &second, 4);
        std::memcpy(out + 12 * g + 8, &third, 4);
    }
#else
    const auto* r = reinterpret_cast<const uint8_t*>(red);
    const auto* gr = reinterpret_cast<const uint8_t*>(green);
    const auto* b = reinterpret_cast<const uint8_t*>(blue);
    for (int x = 0; x < LinePixels; ++x) {
        out[3 * x] = b[x];
        out[3 * x + 1] = gr[x];
        out[3 * x + 2] = r[x];
    }
#endif
}

// SCREEN 10 and 11: with `Palette`, Y is the high four bits doubled and a
// byte with the attribute bit takes its palette colour. Both colours are
// worked out for every pixel and one is kept by a mask.
template <bool Palette, ColorRule Rule>
void DecodeLine(const uint8_t* line, const Rgb8* paletteColors, uint8_t* out) {
    // Palette colours first: the reads of a table cannot be SIMD, and
    // written early their stores are done by the time pass 2 reads them.
    alignas(16) uint16_t paletteRedGreen[Palette ? LinePixels : 1];
    alignas(16) uint8_t paletteBlue[Palette ? LinePixels : 1];
    if (Palette) {
        uint16_t redGreen[PaletteSize];
        uint8_t blueOf[PaletteSize];
        for (int i = 0; i < PaletteSize; ++i) {
            redGreen[i] = static_cast<uint16_t>(paletteColors[i].r | paletteColors[i].g << 8);
            blueOf[i] = paletteColors[i].b;
        }
        for (int x = 0; x < LinePixels; x += 2) {
            const int i0 = line[x] >> 4, i1 = line[x + 1] >> 4;
            paletteRedGreen[x] = redGreen[i0];
            paletteRedGreen[x + 1] = redGreen[i1];
            paletteBlue[x] = blueOf[i0];
            paletteBlue[x + 1] = blueOf[i1];
        }
    }

    alignas(16) uint32_t jWords[LineGroups], kWords[LineGroups], quarterWords[LineGroups];
    GroupChromas<Rule>(line, jWords, kWords, quarterWords);
    const auto* j = reinterpret_cast<const uint8_t*>(jWords);
    const auto* k = reinterpret_cast<const uint8_t*>(kWords);
    const auto* quarter = reinterpret_cast<const uint8_t*>(quarterWords);

    alignas(16) uint32_t redRow[LineGroups], greenRow[LineGroups], blueRow[LineGroups];
    auto* red = reinterpret_cast<uint8_t*>(redRow);
    auto* green = reinterpret_cast<uint8_t*>(greenRow);
    auto* blue = reinterpret_cast<uint8_t*>(blueRow);
    for (int x = 0; x < LinePixels; ++x) {
        const uint8_t b = line[x];
        const uint8_t y = Palette ? static_cast<uint8_t>((b >> 3) & 0x1E) : static_cast<uint8_t>(b >> 3);
        const uint8_t blueSum =
            static_cast<uint8_t>(y + static_cast<uint8_t>(static_cast<uint8_t>(y + quarter[x]) >> 2) + BlueBack);
        uint8_t r = OutputLevel<Rule>(ClampBiased(static_cast<uint8_t>(y + j[x])));
        uint8_t gr = OutputLevel<Rule>(ClampBiased(static_cast<uint8_t>(y + k[x])));
        uint8_t bl = OutputLevel<Rule>(ClampBiased(blueSum));
        if (Palette) {
            const uint8_t mask = (b & AttributeBit) != 0 ? 0xFF : 0x00;
            r = static_cast<uint8_t>((r & ~mask) | (paletteRedGreen[x] & mask));
            gr = static_cast<uint8_t>((gr & ~mask) | ((paletteRedGreen[x] >> 8) & mask));
            bl = static_cast<uint8_t>((bl & ~mask) | (paletteBlue[x] & mask));
        }
        red[x] = r;
        green[x] = gr;
        blue[x] = bl;
    }
    Weave(redRow, greenRow, blueRow, out);
}

}  // namespace

void DecodeYjkLine(uint8_t screen, const uint8_t* line, const Rgb8* paletteColors, ColorRule rule, uint8_t* out) {
    const bool palette = screen != 12;
    if (rule == ColorRule::Velda) {
        if (palette) {
            DecodeLine<true, ColorRule::Velda>(line, paletteColors, out);
        } else {
            DecodeLine<false, ColorRule::Velda>(line, paletteColors, out);
        }
    } else if (palette) {
        DecodeLine<true, ColorRule::Msx>(line, paletteColors, out);
    } else {
        DecodeLine<false, ColorRule::Msx>(line, paletteColors, out);
    }
}

}  // namespace velda
