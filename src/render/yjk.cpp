#include "render/yjk.h"

namespace velda {

Rgb5 YjkToRgb(int y, int j, int k) {
    double blue = y * 1.25 - j * 0.5 - k * 0.25;
    if (blue < 0.0) blue = 0.0;
    if (blue > MaxLevel5) blue = MaxLevel5;
    return Rgb5{ClampLevel5(y + j), ClampLevel5(y + k), static_cast<int>(blue)};
}

ColorRef YjkColorRef(int y, int j, int k) {
    constexpr int Rgb5Shift = 3;  // 5-bit levels become 0..248
    const Rgb5 c = YjkToRgb(y, j, k);
    return MakeColorRef(static_cast<unsigned>(c.r) << Rgb5Shift, static_cast<unsigned>(c.g) << Rgb5Shift,
                        static_cast<unsigned>(c.b) << Rgb5Shift);
}

YjkColorTable::YjkColorTable() {
    for (int k = -32; k < 32; ++k) {
        for (int j = -32; j < 32; ++j) {
            ColorRef* row = colors_ + RowStart(j, k);
            for (int y = 0; y < 32; ++y) row[y] = YjkColorRef(y, j, k);
        }
    }
}

const YjkColorTable& YjkColorTable::Get() {
    static const YjkColorTable table;  // built by the first caller, thread-safe
    return table;
}

}  // namespace velda
