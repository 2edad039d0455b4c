// The YJK colours the line decoders work out, against YjkToRgb itself,
// for every input.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/line_decoder.h"
#include "render/yjk.h"
#include "test_support.h"

namespace {

using velda::ColorRef;

// The canvas colour of a YJK pixel worked out from YjkToRgb on the spot.
ColorRef Expected(int y, int j, int k) {
    const velda::Rgb5 c = velda::YjkToRgb(y, j, k);
    return velda::MakeColorRef(static_cast<unsigned>(c.r) << 3, static_cast<unsigned>(c.g) << 3,
                               static_cast<unsigned>(c.b) << 3);
}

// The integer rule and the rule in double precision agree everywhere.
TEST(YjkColorRef, EqualsYjkToRgbForAllInputs) {
    int failures = 0;
    for (int y = 0; y < 32; ++y) {
        for (int j = -32; j < 32; ++j) {
            for (int k = -32; k < 32; ++k) {
                const ColorRef want = Expected(y, j, k);
                if (velda::YjkColorRef(y, j, k) != want && failures++ < 10) {
                    ADD_FAILURE() << "Y " << y << " J " << j << " K " << k << ": " << std::hex
                                  << velda::YjkColorRef(y, j, k) << " want " << want;
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

// Random luminance and attribute bits under every chroma pair:
// the decoders must give what the per-pixel rule gives.
TEST(YjkLineDecoders, MatchThePerPixelRuleOverEveryChromaPair) {
    std::vector<uint8_t> vram(velda::VramBytes, 0);
    std::vector<ColorRef> table(velda::ColorTableSize);
    for (unsigned i = 0; i < table.size(); ++i) table[i] = 0x00A00000u + i * 0x0301u;
    std::vector<ColorRef> out(velda::CanvasWidth);

    // Line y holds 64 groups; across the lines, every (raw K, raw J) pair
    // and every upper five bits of every byte position come round.
    const std::vector<uint8_t> noise = velda_test::NoiseBytes(velda::VramBytes, 12345);
    for (int y = 0; y < velda::ScreenLines; ++y) {
        for (int x = 0; x < 256; x += velda::YjkGroupPixels) {
            const int pair = (y * 64 + x / 4) % 4096;
            const int rawK = pair & 63, rawJ = pair >> 6;
            const uint8_t low[4] = {static_cast<uint8_t>(rawK & 7), static_cast<uint8_t>(rawK >> 3),
                                    static_cast<uint8_t>(rawJ & 7), static_cast<uint8_t>(rawJ >> 3)};
            for (int i = 0; i < 4; ++i) {
                vram[y * 256 + x + i] = static_cast<uint8_t>((noise[y * 256 + x + i] & 0xF8) | low[i]);
            }
        }
    }
    for (uint8_t screen : {uint8_t{10}, uint8_t{11}, uint8_t{12}}) {
        for (int y = 0; y < velda::ScreenLines; ++y) {
            ASSERT_EQ(velda::DecodeLine(screen, vram.data(), table.data(), y, out.data()), 256);
            const uint8_t* line = vram.data() + y * 256;
            for (int x = 0; x < 256; ++x) {
                const velda::YjkChroma c = velda::GroupChroma(line + (x & ~3));
                const uint8_t b = line[x];
                ColorRef want;
                if (screen == 12) {
                    want = Expected(b >> 3, c.j, c.k);
                } else {
                    want = (b & 0x08) ? table[b >> 4] : Expected((b >> 4) * 2, c.j, c.k);
                }
                ASSERT_EQ(out[x], want) << "SCREEN " << int(screen) << " line " << y << " x " << x << " byte "
                                        << int(b);
            }
        }
    }
}

}  // namespace
