#include "render/yjk.h"

namespace velda {

Rgb5 YjkToRgb(int y, int j, int k) {
    double blue = y * 1.25 - j * 0.5 - k * 0.25;
    if (blue < 0.0) blue = 0.0;
    if (blue > MaxLevel5) blue = MaxLevel5;
    return Rgb5{ClampLevel5(y + j), ClampLevel5(y + k), static_cast<int>(blue)};
}

}  // namespace velda
