#include "export/bmp_name.h"

#include <cstring>

namespace velda {

namespace {

constexpr char BmpExtension[] = "bmp";

bool IsPathSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

}  // namespace

void ProposeBmpName(const char* path, char* out, std::size_t outSize) {
    if (outSize == 0) return;
    out[0] = '\0';

    // Walk forward by characters so that the second byte of a double-byte
    // character is never mistaken for a separator or a dot.
    std::size_t length = 0;
    std::size_t nameStart = 0;
    std::size_t dot = 0;
    bool hasDot = false;
    while (path[length] != '\0') {
        const char c = path[length];
        if (IsCp932LeadByte(static_cast<unsigned char>(c)) && path[length + 1] != '\0') {
            length += 2;
            continue;
        }
        if (IsPathSeparator(c)) {
            nameStart = length + 1;
            hasDot = false;
        } else if (c == '.') {
            dot = length;
            hasDot = true;
        }
        ++length;
    }
    if (length == 0 || nameStart == length) return;  // no file name to build on

    // Keep everything up to the extension's dot, or the whole name.
    const std::size_t keep = hasDot ? dot : length;
    const std::size_t needed = keep + 1 + (sizeof BmpExtension - 1) + 1;  // '.', "bmp", NUL
    if (needed > outSize) return;
    std::memcpy(out, path, keep);
    out[keep] = '.';
    std::memcpy(out + keep + 1, BmpExtension, sizeof BmpExtension);
}

}  // namespace velda
