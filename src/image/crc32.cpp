#include "image/crc32.h"

#include <array>

namespace velda {

namespace {

constexpr uint32_t Polynomial = 0xEDB88320u;

// The CRC of each byte value, worked out once when the program is built.
constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) != 0 ? Polynomial ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> Table = MakeTable();

}  // namespace

uint32_t Crc32(const uint8_t* bytes, std::size_t size, uint32_t crc) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = Table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace velda
