// velda-make-samples: writes the demo pictures that come with VELDA.
//
//   velda-make-samples <folder>
//
// writes one MSX-BASIC BSAVE dump of video memory per screen mode into the
// folder:
//
//   DEMO5.SC5   SCREEN 5   256 x 212, 16 colours, own palette at 0x7680
//   DEMO6.SC6   SCREEN 6   512 x 212, 4 colours, no palette (power-on colours)
//   DEMO7.SC7   SCREEN 7   512 x 212, 16 colours, own palette at 0xFA80
//   DEMO8.SC8   SCREEN 8   256 x 212, the 256 fixed colours
//   DEMO10.SCA  SCREEN 10  YJK with palette pixels, palette at 0xFA80
//               (SCREEN 11 reads the same file)
//   DEMO12.SCC  SCREEN 12  YJK gradients
//
// Every file starts at address 0 and is a 7-byte header (0xFE, start, end,
// execution address, little-endian) followed by the bytes from the start to
// the end address. The output is the same byte for byte on every run and
// every platform: the pictures are computed with integers only, and the
// little randomness they use comes from a fixed-seed generator.
#include <cstdint>
#include <string>
#include <vector>

#include "generator_main.h"
#include "pixel_font.h"

namespace {

using samples::DrawText;
using samples::TextWidth;

constexpr int Lines = 212;
constexpr int VramSize = 0x10000;

// ---------------------------------------------------------------------------
// Integer helpers

// Sine of an angle in 1024ths of a turn, scaled by 4096. Bhaskara's
// rational approximation, exact at the quarter turns and within 0.2 %
// elsewhere; pure integer arithmetic keeps the output reproducible.
int Sin4096(int angle) {
    angle = ((angle % 1024) + 1024) % 1024;
    int sign = 1;
    if (angle >= 512) {
        angle -= 512;
        sign = -1;
    }
    const int64_t u = static_cast<int64_t>(angle) * (512 - angle);
    return sign * static_cast<int>(4096 * 16 * u / (5 * 512 * 512 - 4 * u));
}

int Cos4096(int angle) { return Sin4096(angle + 256); }

// Integer square root (floor).
int ISqrt(int64_t n) {
    if (n <= 0) return 0;
    int64_t root = 0;
    int64_t bit = int64_t{1} << 62;
    while (bit > n) bit >>= 2;
    while (bit != 0) {
        if (n >= root + bit) {
            n -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return static_cast<int>(root);
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Linear interpolation between a and b, t in 0..range.
int Mix(int a, int b, int t, int range) { return a + (b - a) * t / range; }

// 4 x 4 ordered-dither threshold, 0..15.
int Bayer(int x, int y) {
    static const int matrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return matrix[y & 3][x & 3];
}

// A level given in sixteenths, dithered to a whole level.
int Dither16(int sixteenths, int x, int y) {
    return (sixteenths >> 4) + ((sixteenths & 15) > Bayer(x, y) ? 1 : 0);
}

// xorshift32 with a fixed seed: the same sequence on every run.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

private:
    uint32_t state_;
};

// ---------------------------------------------------------------------------
// A picture of palette indices (or any one byte per pixel)

class Surface {
public:
    explicit Surface(int width, uint8_t fill = 0)
        : width_(width), pixels_(static_cast<size_t>(width) * Lines, fill) {}

    int Width() const { return width_; }
    bool Inside(int x, int y) const { return x >= 0 && x < width_ && y >= 0 && y < Lines; }
    uint8_t Get(int x, int y) const { return Inside(x, y) ? pixels_[Index(x, y)] : 0; }
    void Set(int x, int y, int c) {
        if (Inside(x, y)) pixels_[Index(x, y)] = static_cast<uint8_t>(c);
    }
    void Fill(int left, int top, int w, int h, int c) {
        for (int y = top; y < top + h; ++y)
            for (int x = left; x < left + w; ++x) Set(x, y, c);
    }
    void Frame(int left, int top, int w, int h, int c) {
        Fill(left, top, w, 1, c);
        Fill(left, top + h - 1, w, 1, c);
        Fill(left, top, 1, h, c);
        Fill(left + w - 1, top, 1, h, c);
    }
    void Line(int x0, int y0, int x1, int y1, int c) {
        const int dx = x1 > x0 ? x1 - x0 : x0 - x1;
        const int dy = y1 > y0 ? y0 - y1 : y1 - y0;
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Set(x0, y0, c);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void Text(const char* text, int left, int top, int scale, int c) {
        DrawText(text, left, top, scale, [&](int x, int y) { Set(x, y, c); });
    }
    // Text with a shadow offset by one block down and to the right.
    void ShadowText(const char* text, int left, int top, int scale, int c, int shadow) {
        Text(text, left + scale, top + scale, scale, shadow);
        Text(text, left, top, scale, c);
    }

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
    int width_;
    std::vector<uint8_t> pixels_;
};

// ---------------------------------------------------------------------------
// Video memory and BSAVE files

struct Level {
    int r, g, b;  // palette levels 0..7
};

struct Picture {
    const char* fileName;
    std::vector<uint8_t> vram = std::vector<uint8_t>(VramSize, 0);
    uint16_t endAddress = 0;
};

// Writes 16 palette entries in palette-register form (0RRR0BBB, 00000GGG).
void PutPalette(Picture& picture, int address, const Level (&palette)[16]) {
    for (int i = 0; i < 16; ++i) {
        picture.vram[address + 2 * i] = static_cast<uint8_t>((palette[i].r << 4) | palette[i].b);
        picture.vram[address + 2 * i + 1] = static_cast<uint8_t>(palette[i].g);
    }
}

// Two 4-bit pixels per byte, left pixel in the high nibble.
void Pack4(const Surface& s, Picture& picture) {
    const int bytesPerLine = s.Width() / 2;
    for (int y = 0; y < Lines; ++y)
        for (int x = 0; x < s.Width(); x += 2)
            picture.vram[y * bytesPerLine + x / 2] =
                static_cast<uint8_t>(((s.Get(x, y) & 15) << 4) | (s.Get(x + 1, y) & 15));
}

// The 16-colour picture `name` of `s`, its file ending with its palette
// table at `address`.
Picture Picture4(const char* name, const Surface& s, int address, const Level (&palette)[16]) {
    Picture picture{name};
    Pack4(s, picture);
    PutPalette(picture, address, palette);
    picture.endAddress = static_cast<uint16_t>(address + 31);
    return picture;
}

// Four 2-bit pixels per byte, leftmost pixel in bits 7-6.
void Pack2(const Surface& s, Picture& picture) {
    const int bytesPerLine = s.Width() / 4;
    for (int y = 0; y < Lines; ++y)
        for (int x = 0; x < s.Width(); x += 4)
            picture.vram[y * bytesPerLine + x / 4] =
                static_cast<uint8_t>(((s.Get(x, y) & 3) << 6) | ((s.Get(x + 1, y) & 3) << 4) |
                                     ((s.Get(x + 2, y) & 3) << 2) | (s.Get(x + 3, y) & 3));
}

// One byte per pixel (SCREEN 8).
void Pack8(const Surface& s, Picture& picture) {
    for (int y = 0; y < Lines; ++y)
        for (int x = 0; x < 256; ++x) picture.vram[y * 256 + x] = s.Get(x, y);
}

// One group of four YJK pixels. `upper` holds bits 7-3 of each byte (the
// luminance, or in SCREEN 10 the luminance or palette index and the
// attribute bit); the chroma is spread over bits 2-0: K low, K high,
// J low, J high.
void PutYjkGroup(uint8_t* at, const int (&upper)[4], int j, int k) {
    const int kRaw = (k + 64) & 63;  // six-bit two's complement of -32..31
    const int jRaw = (j + 64) & 63;
    at[0] = static_cast<uint8_t>((upper[0] & 0xF8) | (kRaw & 7));
    at[1] = static_cast<uint8_t>((upper[1] & 0xF8) | (kRaw >> 3));
    at[2] = static_cast<uint8_t>((upper[2] & 0xF8) | (jRaw & 7));
    at[3] = static_cast<uint8_t>((upper[3] & 0xF8) | (jRaw >> 3));
}

// The BSAVE file of `picture` in `folder`: the header, then video memory
// from address 0 to the end address.
samples::GeneratedFile BsaveFile(const std::string& folder, const Picture& picture) {
    std::vector<uint8_t> bytes = {0xFE, 0x00, 0x00, static_cast<uint8_t>(picture.endAddress & 0xFF),
                                  static_cast<uint8_t>(picture.endAddress >> 8), 0x00, 0x00};
    bytes.insert(bytes.end(), picture.vram.begin(), picture.vram.begin() + picture.endAddress + 1);
    return {folder + "/" + picture.fileName, bytes};
}

// ---------------------------------------------------------------------------
// SCREEN 5: a sunset over the sea in a palette of its own, with the
// sixteen palette colours as bars below.

Picture MakeScreen5() {
    static const Level palette[16] = {
        {0, 0, 0},  // 0 black
        {0, 0, 2},  // 1 night blue
        {1, 0, 3},  // 2 indigo
        {2, 0, 4},  // 3 purple
        {4, 1, 4},  // 4 plum
        {5, 1, 3},  // 5 rose
        {6, 2, 2},  // 6 coral
        {7, 3, 1},  // 7 orange
        {7, 5, 1},  // 8 amber
        {7, 6, 3},  // 9 yellow
        {7, 7, 5},  // 10 pale yellow
        {7, 7, 7},  // 11 white
        {0, 1, 2},  // 12 deep sea
        {1, 2, 4},  // 13 sea
        {3, 4, 6},  // 14 foam
        {2, 1, 3},  // 15 far hills
    };
    constexpr int Horizon = 120;
    constexpr int SeaEnd = 156;
    Surface s(256);
    Random random(0x5C5C0005u);

    // Sky: night blue at the top to rose at the horizon.
    for (int y = 0; y < Horizon; ++y) {
        const int level = 16 + 5 * 16 * y * y / (Horizon * Horizon);
        for (int x = 0; x < 256; ++x) s.Set(x, y, Dither16(level, x, y));
    }
    for (int i = 0; i < 70; ++i) {
        const int x = random.Below(256);
        const int y = random.Below(64);
        const int kind = random.Below(8);
        if (x < 176 && y < 40) continue;  // keep the title clear
        s.Set(x, y, kind == 0 ? 10 : (kind < 3 ? 11 : 14));
    }

    // The sun, yellow to coral, cut by widening stripes in its lower half.
    constexpr int SunX = 128, SunY = 98, SunR = 44;
    for (int y = SunY - SunR; y < Horizon; ++y) {
        const int d = y - (SunY - 6);
        if (d >= 0 && d % 9 < 1 + d / 9) continue;
        const int level = 10 * 16 - 4 * 16 * (y - (SunY - SunR)) / (2 * SunR);
        for (int x = SunX - SunR; x <= SunX + SunR; ++x) {
            const int dx = x - SunX, dy = y - SunY;
            if (dx * dx + dy * dy <= SunR * SunR) s.Set(x, y, Dither16(level, x, y));
        }
    }

    // Two ranges of hills: a far one in muted violet, a near one in black
    // that leaves the middle open.
    for (int x = 0; x < 256; ++x) {
        const int far = Horizon - 10 - (7 * Sin4096(x * 5 + 90) + 4 * Sin4096(x * 13 + 300)) / 4096;
        for (int y = far; y < Horizon; ++y) s.Set(x, y, 15);
        const int side = x < 128 ? 128 - x : x - 127;
        const int wave = (5 * Sin4096(x * 9 + 40) + 3 * Sin4096(x * 23)) / 4096;
        const int near = Horizon + 4 - side * side / 420 - wave;
        for (int y = near; y < Horizon; ++y) s.Set(x, y, 0);
    }

    // The sea, with the sun's reflection and a few glints.
    for (int y = Horizon; y < SeaEnd; ++y) {
        const int level = 13 * 16 - 16 * (y - Horizon) / (SeaEnd - Horizon);
        for (int x = 0; x < 256; ++x) s.Set(x, y, Dither16(level, x, y));
    }
    for (int y = Horizon + 1; y < SeaEnd; y += 2) {
        const int depth = y - Horizon;
        const int half = 34 - depth * 5 / 8 + random.Below(9);
        const int shift = random.Below(7) - 3;
        const int colour = depth < 10 ? 9 : (depth < 22 ? 8 : 7);
        for (int x = SunX - half + shift; x <= SunX + half + shift; ++x) {
            if ((x + y * 3) % 11 == 0) continue;  // small breaks in the ripples
            s.Set(x, y, colour);
        }
    }
    for (int i = 0; i < 40; ++i) {
        const int y = Horizon + 2 + random.Below(SeaEnd - Horizon - 2);
        const int x = random.Below(250);
        const int length = 2 + random.Below(5);
        for (int k = 0; k < length; ++k)
            if (s.Get(x + k, y) == 12 || s.Get(x + k, y) == 13) s.Set(x + k, y, 14);
    }

    // Title.
    s.ShadowText("SCREEN 5", 10, 10, 2, 10, 0);
    s.ShadowText("256 X 212  16 OF 512 COLOURS", 10, 30, 1, 14, 0);

    // Palette bars with their numbers.
    s.Fill(0, SeaEnd, 256, Lines - SeaEnd, 0);
    s.Fill(0, SeaEnd, 256, 1, 15);
    for (int i = 0; i < 16; ++i) {
        const int left = i * 16 + 2;
        s.Frame(left - 1, 163, 14, 31, 15);
        s.Fill(left, 164, 12, 29, i);
        const char digit[2] = {"0123456789ABCDEF"[i], '\0'};
        s.Text(digit, left + 4, 199, 1, 14);
    }

    return Picture4("DEMO5.SC5", s, 0x7680, palette);
}

// ---------------------------------------------------------------------------
// SCREEN 6: green on black at full width, in the power-on colours (0 and 1
// black, 2 green, 3 light green). The file stops after the pixel data, so
// the palette table is not part of it.

Picture MakeScreen6() {
    constexpr int Green = 2, Light = 3;
    Surface s(512);

    s.Frame(4, 4, 504, 204, Green);
    s.Frame(7, 7, 498, 198, Green);

    s.Text("SCREEN 6", 20, 16, 3, Light);
    s.Text("512 X 212 PIXELS  -  4 COLOURS", 492 - TextWidth("512 X 212 PIXELS  -  4 COLOURS", 1), 17,
           1, Light);
    s.Text("MSX2 POWER-ON PALETTE", 492 - TextWidth("MSX2 POWER-ON PALETTE", 1), 29, 1, Green);
    s.Fill(20, 44, 472, 1, Green);

    // An oscilloscope: dotted graticule and two traces.
    constexpr int ScopeX = 20, ScopeY = 54, ScopeW = 233, ScopeH = 129;
    const int midY = ScopeY + ScopeH / 2;
    s.Frame(ScopeX, ScopeY, ScopeW, ScopeH, Green);
    for (int i = 1; i < 8; ++i) {
        const int x = ScopeX + i * (ScopeW - 1) / 8;
        for (int y = ScopeY + 2; y < ScopeY + ScopeH - 2; y += 4) s.Set(x, y, Green);
    }
    for (int i = 1; i < 4; ++i) {
        const int y = ScopeY + i * (ScopeH - 1) / 4;
        for (int x = ScopeX + 2; x < ScopeX + ScopeW - 2; x += 4) s.Set(x, y, Green);
    }
    for (int x = ScopeX + 2; x < ScopeX + ScopeW - 2; x += 6) s.Fill(x, midY - 1, 1, 3, Green);
    int lastA = 0, lastB = 0;
    for (int i = 0; i < ScopeW - 6; ++i) {
        const int x = ScopeX + 3 + i;
        const int a = midY - 46 * Sin4096(i * 1024 * 3 / (ScopeW - 6)) / 4096;
        const int envelope = 54 * (ScopeW - 6 - i) / (ScopeW - 6);
        const int b = midY - envelope * Sin4096(i * 1024 * 9 / (ScopeW - 6) + 256) / 4096;
        if (i > 0) {
            s.Line(x - 1, lastB, x, b, Green);
            s.Line(x - 1, lastA, x, a, Light);
        }
        lastA = a;
        lastB = b;
    }
    s.Text("CH1", ScopeX + ScopeW - 21, ScopeY + 4, 1, Light);
    s.Text("CH2", ScopeX + ScopeW - 21, ScopeY + ScopeH - 11, 1, Green);

    // A wire-frame globe, tilted towards the viewer, with a ring.
    constexpr int GlobeX = 378, GlobeY = 118, GlobeR = 60;
    constexpr int Tilt = 60;  // 1024ths of a turn
    const int cosT = Cos4096(Tilt), sinT = Sin4096(Tilt);
    // Projects latitude/longitude at radius `radius`; returns whether the
    // point faces the viewer.
    auto project = [&](int lat, int lon, int radius, int& px, int& py) {
        const int64_t cl = Cos4096(lat), sl = Sin4096(lat);
        const int64_t x3 = cl * Sin4096(lon) / 4096;
        const int64_t y3 = sl;
        const int64_t z3 = cl * Cos4096(lon) / 4096;
        const int64_t y4 = (y3 * cosT - z3 * sinT) / 4096;
        const int64_t z4 = (y3 * sinT + z3 * cosT) / 4096;
        px = GlobeX + static_cast<int>(x3 * radius / 4096);
        py = GlobeY - static_cast<int>(y4 * radius / 4096);
        return z4 >= 0;
    };
    // Draws a meridian or a parallel; the far side is left out, except
    // for a ring, whose far side shows dotted beside the globe.
    auto curve = [&](bool meridian, int fixed, int radius, bool ring) {
        int lastX = 0, lastY = 0;
        bool lastFront = false;
        const int steps = meridian ? 128 : 256;
        for (int i = 0; i <= steps; ++i) {
            int px, py;
            const bool front = meridian ? project(-256 + i * 512 / steps, fixed, radius, px, py)
                                        : project(fixed, i * 1024 / steps, radius, px, py);
            if (front) {
                if (i > 0 && lastFront) s.Line(lastX, lastY, px, py, Light);
                else s.Set(px, py, Light);
            } else if (ring) {
                const int dx = px - GlobeX, dy = py - GlobeY;
                if (dx * dx + dy * dy > GlobeR * GlobeR && i % 2 == 0) s.Set(px, py, Green);
            }
            lastX = px;
            lastY = py;
            lastFront = front;
        }
    };
    for (int lat = -192; lat <= 192; lat += 64) curve(false, lat, GlobeR, false);
    for (int lon = 20; lon < 1024 + 20; lon += 64) curve(true, lon, GlobeR, false);
    for (int a = 0; a < 1024; ++a) {
        const int px = GlobeX + GlobeR * Sin4096(a) / 4096;
        const int py = GlobeY - GlobeR * Cos4096(a) / 4096;
        s.Set(px, py, Light);
    }
    curve(false, 0, GlobeR * 3 / 2, true);
    curve(false, 0, GlobeR * 3 / 2 + 4, true);

    // A dithered ramp through the three visible colours.
    constexpr int RampX = 20, RampY = 190, RampW = 472, RampH = 10;
    s.Frame(RampX - 2, RampY - 2, RampW + 4, RampH + 4, Green);
    for (int x = 0; x < RampW; ++x) {
        const int level = x * 2 * 16 / (RampW - 1);
        for (int y = 0; y < RampH; ++y) {
            const int l = Dither16(level, x, y);
            s.Set(RampX + x, RampY + y, l == 0 ? 0 : (l == 1 ? Green : Light));
        }
    }

    Picture picture{"DEMO6.SC6"};
    Pack2(s, picture);
    picture.endAddress = 0x69FF;
    return picture;
}

// ---------------------------------------------------------------------------
// SCREEN 7: the Mandelbrot set at 512 x 212 in a palette of its own.

Picture MakeScreen7() {
    static const Level palette[16] = {
        {0, 0, 0},  // 0 black: inside the set
        {0, 0, 2}, {0, 0, 4}, {0, 2, 5}, {0, 4, 6}, {1, 6, 7}, {4, 7, 7}, {7, 7, 7},
        {7, 7, 4}, {7, 6, 1}, {7, 4, 0}, {6, 2, 0}, {4, 0, 1}, {2, 0, 2}, {1, 0, 2},
        {7, 7, 7},  // 15 white: captions
    };
    Surface s(512);

    // Fixed point with 2^26 as one; products of two values below 4 fit
    // in 64 bits. Division truncates the same way everywhere.
    constexpr int64_t One = int64_t{1} << 26;
    constexpr int MaxIterations = 400;
    // The "elephant valley" by the cusp of the main cardioid.
    const int64_t centreX = One * 29 / 100;
    const int64_t centreY = One * 12 / 1000;
    const int64_t step = One * 6 / 100 / 512;  // 0.06 across the width
    for (int py = 0; py < Lines; ++py) {
        const int64_t ci = centreY + (Lines / 2 - py) * step;
        for (int px = 0; px < 512; ++px) {
            const int64_t cr = centreX + (px - 256) * step;
            int64_t zr = 0, zi = 0;
            int n = 0;
            for (; n < MaxIterations; ++n) {
                const int64_t rr = zr * zr / One, ii = zi * zi / One;
                if (rr + ii > 4 * One) break;
                zi = 2 * zr * zi / One + ci;
                zr = rr - ii + cr;
            }
            s.Set(px, py, n == MaxIterations ? 0 : 1 + (ISqrt(int64_t{n} * 40) % 14));
        }
    }

    const char* title = "SCREEN 7";
    const char* line = "512 X 212  16 COLOURS";
    s.Fill(8, 8, 140, 36, 0);
    s.Frame(8, 8, 140, 36, 7);
    s.Text(title, 14, 14, 2, 15);
    s.Text(line, 14, 32, 1, 6);

    return Picture4("DEMO7.SC7", s, 0xFA80, palette);
}

// ---------------------------------------------------------------------------
// SCREEN 8: the 256 fixed colours (GGGRRRBB) as four 8 x 8 tiles, one per
// blue level; red grows to the right and green downwards in each tile.

Picture MakeScreen8() {
    constexpr int Background = 0x49;  // dark grey: green 2, red 2, blue 1
    constexpr int White = 0xFF;
    Surface s(256, Background);

    s.ShadowText("SCREEN 8", 6, 5, 2, White, 0x00);
    s.Text("256 COLOURS", 250 - TextWidth("256 COLOURS", 1), 5, 1, White);
    s.Text("GGGRRRBB", 250 - TextWidth("GGGRRRBB", 1), 14, 1, 0xDB);

    constexpr int TileTop = 27, CellW = 15, CellH = 10, TileGapX = 8, TileGapY = 6;
    constexpr int TileW = 8 * CellW, TileH = 8 * CellH;
    constexpr int Left = (256 - 2 * TileW - TileGapX) / 2;
    for (int blue = 0; blue < 4; ++blue) {
        const int tileX = Left + (blue % 2) * (TileW + TileGapX);
        const int tileY = TileTop + (blue / 2) * (TileH + TileGapY);
        s.Fill(tileX - 1, tileY - 1, TileW + 1, TileH + 1, 0x00);
        for (int green = 0; green < 8; ++green) {
            for (int red = 0; red < 8; ++red) {
                const int value = (green << 5) | (red << 2) | blue;
                s.Fill(tileX + red * CellW, tileY + green * CellH, CellW - 1, CellH - 1, value);
            }
        }
    }
    const char* legend = "RED ACROSS  GREEN DOWN  BLUE PER TILE";
    s.Text(legend, (256 - TextWidth(legend, 1)) / 2, TileTop + 2 * TileH + TileGapY + 6, 1, 0xDB);

    Picture picture{"DEMO8.SC8"};
    Pack8(s, picture);
    picture.endAddress = 0xD3FF;
    return picture;
}

// ---------------------------------------------------------------------------
// SCREEN 12: YJK gradients. Luminance grows from left to right, the chroma
// goes once round the colour circle from top to bottom; below, the 32
// luminance levels as neutral greys.

Picture MakeScreen12() {
    Picture picture{"DEMO12.SCC"};
    uint8_t* vram = picture.vram.data();

    // Luminance mask of the title: 31 where text is, 0 elsewhere.
    Surface title(256);
    title.Text("SCREEN 12", 8, 6, 2, 31);
    title.Text("YJK  -  4 PIXELS SHARE ONE CHROMA", 8, 24, 1, 24);

    constexpr int FieldTop = 38, FieldBottom = 176, WedgeTop = 184;
    for (int y = 0; y < Lines; ++y) {
        for (int x = 0; x < 256; x += 4) {
            int upper[4] = {0, 0, 0, 0};
            int j = 0, k = 0;
            if (y >= FieldTop && y < FieldBottom) {
                const int angle = (y - FieldTop) * 1024 / (FieldBottom - FieldTop) + 128;
                j = 26 * Cos4096(angle) / 4096;
                k = 26 * Sin4096(angle) / 4096;
                for (int i = 0; i < 4; ++i) {
                    const int level = (x + i) * 31 * 16 / 255;
                    upper[i] = Clamp(Dither16(level, x + i, y), 0, 31) << 3;
                }
            } else if (y >= WedgeTop && y < Lines - 8) {
                // R = G = B needs J = K = Y / 7: neutral greys.
                const int level = x / 8;
                j = k = (level + 3) / 7;
                for (int i = 0; i < 4; ++i) upper[i] = level << 3;
            } else {
                for (int i = 0; i < 4; ++i) upper[i] = title.Get(x + i, y) << 3;
            }
            PutYjkGroup(vram + y * 256 + x, upper, j, k);
        }
    }
    picture.endAddress = 0xD3FF;
    return picture;
}

// ---------------------------------------------------------------------------
// The "VELDA" logo: each letter is a few straight strokes on a 4 x 6 grid,
// drawn with a round pen.

constexpr int LogoUnit = 7;  // pixels per grid step
constexpr int LogoPen = 4;   // pen radius in pixels
constexpr int LogoAdvance = 4 * LogoUnit + 2 * LogoPen + 8;

struct Stroke {
    int x0, y0, x1, y1;  // grid points
};

struct LogoLetter {
    int count;
    Stroke strokes[6];
};

constexpr LogoLetter LogoLetters[5] = {
    {4, {{0, 0, 0, 3}, {0, 3, 2, 6}, {2, 6, 4, 3}, {4, 3, 4, 0}}},                          // V
    {4, {{4, 0, 0, 0}, {0, 0, 0, 6}, {0, 6, 4, 6}, {0, 3, 3, 3}}},                          // E
    {2, {{0, 0, 0, 6}, {0, 6, 4, 6}}},                                                      // L
    {6, {{0, 0, 0, 6}, {0, 0, 2, 0}, {2, 0, 4, 2}, {4, 2, 4, 4}, {4, 4, 2, 6}, {2, 6, 0, 6}}},  // D
    {5, {{0, 6, 0, 2}, {0, 2, 2, 0}, {2, 0, 4, 2}, {4, 2, 4, 6}, {0, 4, 4, 4}}},            // A
};

// Whether (px, py) lies within `pen` pixels of the segment a-b (the pen
// radius plus half a pixel, in exact integer arithmetic).
bool NearSegment(int px, int py, int ax, int ay, int bx, int by, int pen) {
    const int64_t dx = bx - ax, dy = by - ay;
    const int64_t apx = px - ax, apy = py - ay;
    const int64_t length2 = dx * dx + dy * dy;
    if (length2 == 0) return 4 * (apx * apx + apy * apy) <= int64_t{2 * pen + 1} * (2 * pen + 1);
    int64_t t = apx * dx + apy * dy;
    t = t < 0 ? 0 : (t > length2 ? length2 : t);
    const int64_t qx = apx * length2 - dx * t, qy = apy * length2 - dy * t;
    return 4 * (qx * qx + qy * qy) <= int64_t{2 * pen + 1} * (2 * pen + 1) * length2 * length2;
}

// Sets the logo's pixels to 1 in `mask`, centred across the width, with
// the top of the grid at `top`.
void DrawLogo(Surface& mask, int top) {
    const int width = 5 * LogoAdvance - 8;
    const int left = (mask.Width() - width) / 2 + LogoPen;
    for (int n = 0; n < 5; ++n) {
        const int x0 = left + n * LogoAdvance;
        const LogoLetter& letter = LogoLetters[n];
        for (int y = top - LogoPen - 1; y <= top + 6 * LogoUnit + LogoPen + 1; ++y) {
            for (int x = x0 - LogoPen - 1; x <= x0 + 4 * LogoUnit + LogoPen + 1; ++x) {
                for (int i = 0; i < letter.count; ++i) {
                    const Stroke& st = letter.strokes[i];
                    if (NearSegment(x, y, x0 + st.x0 * LogoUnit, top + st.y0 * LogoUnit,
                                    x0 + st.x1 * LogoUnit, top + st.y1 * LogoUnit, LogoPen)) {
                        mask.Set(x, y, 1);
                        break;
                    }
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------
// SCREEN 10 (and 11): a YJK sky with a glow behind the logo; the logo,
// the frame, the captions and the palette swatches are palette pixels.

Picture MakeScreen10() {
    static const Level palette[16] = {
        {0, 0, 0},  // 0 black
        {7, 7, 7},  // 1 white
        {7, 7, 4},  // 2 logo highlight
        {7, 6, 1},  // 3 logo face, top
        {7, 5, 0},  // 4 logo face
        {6, 3, 0},  // 5 logo face, bottom
        {3, 1, 0},  // 6 logo edge
        {1, 0, 2},  // 7 shadow
        {7, 1, 1},  // 8 red
        {7, 4, 0},  // 9 orange
        {7, 7, 1},  // 10 yellow
        {1, 6, 1},  // 11 green
        {1, 6, 7},  // 12 cyan
        {2, 3, 7},  // 13 blue
        {5, 2, 7},  // 14 violet
        {7, 3, 6},  // 15 pink
    };
    constexpr int Transparent = 255;
    Surface layer(256, Transparent);

    // The frame.
    layer.Frame(2, 2, 252, 208, 6);
    layer.Frame(3, 3, 250, 206, 3);
    layer.Frame(4, 4, 248, 204, 6);

    // The logo: thick strokes, bevelled, over a drop shadow.
    constexpr int LogoTop = 64;
    Surface mask(256);
    DrawLogo(mask, LogoTop);
    const int logoBottom = LogoTop + 6 * LogoUnit + LogoPen;
    for (int y = 0; y < Lines; ++y)
        for (int x = 0; x < 256; ++x)
            if (mask.Get(x - 4, y - 4) != 0) layer.Set(x, y, 7);
    for (int y = 0; y < Lines; ++y) {
        for (int x = 0; x < 256; ++x) {
            if (mask.Get(x, y) == 0) continue;
            int colour;
            if (mask.Get(x - 1, y - 1) == 0 || mask.Get(x, y - 1) == 0) colour = 2;
            else if (mask.Get(x + 1, y + 1) == 0 || mask.Get(x, y + 1) == 0) colour = 6;
            else {
                const int top = LogoTop - LogoPen;
                const int level = 3 * 16 + 2 * 16 * (y - top) / (logoBottom - top);
                colour = Dither16(level, x, y);
            }
            layer.Set(x, y, colour);
        }
    }

    const char* top = "SCREEN 10 / 11";
    layer.ShadowText(top, (256 - TextWidth(top, 2)) / 2, 22, 2, 1, 7);
    const char* line1 = "YJK BACKGROUND";
    const char* line2 = "WITH 16 PALETTE COLOURS ON TOP";
    layer.ShadowText(line1, (256 - TextWidth(line1, 1)) / 2, 134, 1, 1, 7);
    layer.ShadowText(line2, (256 - TextWidth(line2, 1)) / 2, 146, 1, 1, 7);

    // The sixteen palette colours.
    for (int i = 0; i < 16; ++i) {
        const int left = 16 + i * 14;
        layer.Frame(left - 1, 172, 14, 22, i == 0 ? 1 : 0);
        layer.Fill(left, 173, 12, 20, i);
    }

    // The YJK background, four pixels at a time. Chroma and luminance run
    // from night blue at the top to a warm glow near the bottom; a round
    // glow sits behind the logo.
    Picture picture{"DEMO10.SCA"};
    uint8_t* vram = picture.vram.data();
    struct Stop {
        int row, y, j, k;  // luminance in sixteenths of a 5-bit level
    };
    static const Stop stops[] = {
        {0, 2 * 16, -6, -2}, {70, 7 * 16, 2, -7}, {140, 14 * 16, 11, -6}, {211, 25 * 16, 10, 2}};
    for (int y = 0; y < Lines; ++y) {
        int stop = 0;
        while (stops[stop + 1].row < y) ++stop;
        const Stop& a = stops[stop];
        const Stop& b = stops[stop + 1];
        const int t = y - a.row, range = b.row - a.row;
        const int baseY = Mix(a.y, b.y, t, range);
        for (int x = 0; x < 256; x += 4) {
            int j = Mix(a.j, b.j, t, range);
            int k = Mix(a.k, b.k, t, range);
            int upper[4];
            for (int i = 0; i < 4; ++i) {
                const int dx = x + i - 128, dy = (y - 88) * 2;
                const int distance = ISqrt(int64_t{dx} * dx + int64_t{dy} * dy);
                const int inside = distance < 140 ? 140 - distance : 0;
                const int glow = inside * inside * 12 * 16 / (140 * 140);
                // 4-bit luminance: a 5-bit level halved, dithered.
                const int level = Clamp(baseY + glow, 0, 30 * 16) / 2;
                const int y4 = Clamp(Dither16(level, x + i, y), 0, 15);
                const int p = layer.Get(x + i, y);
                upper[i] = p == Transparent ? (y4 << 4) : ((p << 4) | 0x08);
            }
            const int dxg = x + 2 - 128, dyg = (y - 88) * 2;
            const int dg = ISqrt(int64_t{dxg} * dxg + int64_t{dyg} * dyg);
            if (dg < 140) {
                j += (140 - dg) * 6 / 140;
                k += (140 - dg) * 2 / 140;
            }
            PutYjkGroup(vram + y * 256 + x, upper, Clamp(j, -32, 31), Clamp(k, -32, 31));
        }
    }
    PutPalette(picture, 0xFA80, palette);
    picture.endAddress = 0xFA9F;
    return picture;
}

}  // namespace

int main(int argc, char** argv) {
    return samples::GeneratorMain("velda-make-samples", "<output folder>", argc, argv, [](const std::string& folder) {
        const Picture pictures[] = {MakeScreen5(), MakeScreen6(), MakeScreen7(),
                                    MakeScreen8(), MakeScreen10(), MakeScreen12()};
        std::vector<samples::GeneratedFile> files;
        for (const Picture& picture : pictures) files.push_back(BsaveFile(folder, picture));
        return files;
    });
}
