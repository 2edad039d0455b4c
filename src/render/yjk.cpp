#include "render/yjk.h"

namespace velda {

namespace {

constexpr int MaxLevel = 31;

int ClampLevel(int value) {
    if (value < 0) return 0;
    if (value > MaxLevel) return MaxLevel;
    return value;
}

}  // namespace

Rgb5 YjkToRgb(int y, int j, int k) {
    double blue = y * 1.25 - j * 0.5 - k * 0.25;
    if (blue < 0.0) blue = 0.0;
    if (blue > 31.0) blue = 31.0;
    return Rgb5{ClampLevel(y + j), ClampLevel(y + k), static_cast<int>(blue)};
}

}  // namespace velda
