// velda-make-icon: writes the program icon, a small monitor showing colour
// bars.
//
//   velda-make-icon <file.ico>
//
// The file holds one image, 32 x 32 pixels in 16 colours:
//
//   ICONDIR           6 bytes   reserved 0, type 1 (icon), 1 image
//   ICONDIRENTRY     16 bytes   32, 32, 16 colours, 0, 1 plane, 4 bits,
//                               size of the image data, its offset (22)
//   BITMAPINFOHEADER 40 bytes   32 wide, 64 high (colour rows + mask rows),
//                               1 plane, 4 bits, no compression
//   colour table     64 bytes   16 x blue, green, red, 0
//   colour rows     512 bytes   32 rows of 16 bytes, bottom row first,
//                               left pixel in the high nibble
//   mask rows       128 bytes   32 rows of 4 bytes, bottom row first,
//                               1 = transparent
//
// The output is the same byte for byte on every run.
#include <cstdint>
#include <string>
#include <vector>

#include "generator_main.h"

namespace {

constexpr int Size = 32;
constexpr int Clear = -1;  // transparent

// Colour numbers of the icon's palette.
enum Colour {
    Black,
    Outline,
    BezelShadow,
    BezelFace,
    BezelLight,
    Screen,
    BarWhite,
    BarYellow,
    BarCyan,
    BarGreen,
    BarMagenta,
    BarRed,
    BarBlue,
    Lamp,
    MidGrey,
    DarkGrey,
};

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb Palette[16] = {
    {0, 0, 0},        // Black
    {36, 36, 48},     // Outline
    {112, 112, 128},  // BezelShadow
    {184, 184, 196},  // BezelFace
    {240, 240, 248},  // BezelLight
    {16, 16, 28},     // Screen
    {232, 232, 232},  // BarWhite
    {240, 216, 32},   // BarYellow
    {32, 200, 224},   // BarCyan
    {48, 192, 64},    // BarGreen
    {200, 48, 192},   // BarMagenta
    {224, 40, 40},    // BarRed
    {48, 64, 224},    // BarBlue
    {80, 255, 96},    // Lamp
    {132, 132, 140},  // MidGrey
    {72, 72, 84},     // DarkGrey
};

class Image {
public:
    Image() : pixels_(Size * Size, Clear) {}
    int Get(int x, int y) const { return pixels_[y * Size + x]; }
    void Set(int x, int y, int c) {
        if (x >= 0 && x < Size && y >= 0 && y < Size) pixels_[y * Size + x] = c;
    }
    // Fills the rectangle from (x0, y0) to (x1, y1), both inclusive.
    void Fill(int x0, int y0, int x1, int y1, int c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Set(x, y, c);
    }
    // A raised panel: outline, light top and left edges, shadowed bottom
    // and right edges, rounded by leaving out the outline's corners.
    void Panel(int x0, int y0, int x1, int y1) {
        Fill(x0, y0, x1, y1, Outline);
        Fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, BezelFace);
        Fill(x0 + 1, y0 + 1, x1 - 1, y0 + 1, BezelLight);
        Fill(x0 + 1, y0 + 1, x0 + 1, y1 - 1, BezelLight);
        Fill(x0 + 1, y1 - 1, x1 - 1, y1 - 1, BezelShadow);
        Fill(x1 - 1, y0 + 2, x1 - 1, y1 - 1, BezelShadow);
        Set(x0, y0, Clear);
        Set(x1, y0, Clear);
        Set(x0, y1, Clear);
        Set(x1, y1, Clear);
    }

private:
    std::vector<int> pixels_;
};

Image Draw() {
    Image image;

    // Foot and neck.
    image.Panel(7, 26, 24, 29);
    image.Fill(12, 24, 19, 26, Outline);
    image.Fill(13, 24, 18, 25, BezelShadow);
    image.Fill(13, 24, 14, 25, BezelFace);

    // Cabinet.
    image.Panel(1, 2, 30, 24);

    // Screen, sunk into the cabinet: dark upper and left rim, light lower
    // and right rim.
    image.Fill(4, 5, 27, 5, BezelShadow);
    image.Fill(4, 5, 4, 20, BezelShadow);
    image.Fill(5, 20, 27, 20, BezelLight);
    image.Fill(27, 6, 27, 20, BezelLight);
    image.Fill(5, 6, 26, 19, Screen);

    // Colour bars, then a grey step wedge below them.
    const int bars[7] = {BarWhite, BarYellow, BarCyan, BarGreen, BarMagenta, BarRed, BarBlue};
    const int widths[7] = {3, 3, 3, 4, 3, 3, 3};
    int x = 5;
    for (int i = 0; i < 7; ++i) {
        image.Fill(x, 6, x + widths[i] - 1, 15, bars[i]);
        x += widths[i];
    }
    const int steps[4] = {Screen, DarkGrey, MidGrey, BarWhite};
    for (int i = 0; i < 4; ++i) {
        const int left = 5 + i * 22 / 4, right = 5 + (i + 1) * 22 / 4 - 1;
        image.Fill(left, 17, right, 19, steps[i]);
    }
    image.Fill(5, 16, 26, 16, Screen);

    // Power lamp and two buttons on the cabinet's lower edge.
    image.Set(26, 22, Lamp);
    image.Set(25, 22, Outline);
    image.Fill(5, 22, 7, 22, BezelShadow);
    image.Fill(9, 22, 11, 22, BezelShadow);
    return image;
}

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, unsigned v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::vector<uint8_t> Encode(const Image& image) {
    constexpr unsigned HeaderBytes = 40;
    constexpr unsigned PaletteBytes = 16 * 4;
    constexpr unsigned ColourRowBytes = Size / 2;       // 4 bits per pixel
    constexpr unsigned MaskRowBytes = 4;                // 32 bits, padded to 4 bytes
    constexpr unsigned ImageBytes = Size * (ColourRowBytes + MaskRowBytes);
    constexpr unsigned ResourceBytes = HeaderBytes + PaletteBytes + ImageBytes;

    std::vector<uint8_t> out;
    // ICONDIR
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    // ICONDIRENTRY
    out.push_back(Size);
    out.push_back(Size);
    out.push_back(16);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, ResourceBytes);
    Put32(out, 6 + 16);
    // BITMAPINFOHEADER
    Put32(out, HeaderBytes);
    Put32(out, Size);
    Put32(out, 2 * Size);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, ImageBytes);
    Put32(out, 0);  // no resolution
    Put32(out, 0);
    Put32(out, 0);  // all 16 colours of the 4-bit table
    Put32(out, 0);
    // Colour table
    for (const Rgb& c : Palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    // Colour rows, bottom up; transparent pixels are black.
    for (int y = Size - 1; y >= 0; --y) {
        for (int x = 0; x < Size; x += 2) {
            const int left = image.Get(x, y), right = image.Get(x + 1, y);
            out.push_back(static_cast<uint8_t>(((left == Clear ? Black : left) << 4) |
                                               (right == Clear ? Black : right)));
        }
    }
    // Mask rows, bottom up.
    for (int y = Size - 1; y >= 0; --y) {
        for (int byte = 0; byte < static_cast<int>(MaskRowBytes); ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (image.Get(byte * 8 + bit, y) == Clear) bits |= 0x80u >> bit;
            out.push_back(static_cast<uint8_t>(bits));
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    return samples::GeneratorMain("velda-make-icon", "<file.ico>", argc, argv, [](const std::string& path) {
        return std::vector<samples::GeneratedFile>{{path, Encode(Draw())}};
    });
}
