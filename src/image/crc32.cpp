#include "image/crc32.h"

#include <array>

#include "image/little_endian.h"

namespace velda {

namespace {

constexpr uint32_t Polynomial = 0xEDB88320u;
constexpr int Slices = 8;

// Table[0] is the CRC of each byte value; Table[k] that of the byte
// followed by k zero bytes, so that eight bytes are taken in one step
// (slicing by eight): an archive's files are checked as fast as they
// inflate. Worked out when the program is built.
constexpr std::array<std::array<uint32_t, 256>, Slices> MakeTables() {
    std::array<std::array<uint32_t, 256>, Slices> tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) != 0 ? Polynomial ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (int k = 1; k < Slices; ++k) {
        for (uint32_t n = 0; n < 256; ++n) tables[k][n] = tables[0][tables[k - 1][n] & 0xFF] ^ (tables[k - 1][n] >> 8);
    }
    return tables;
}

constexpr auto Tables = MakeTables();

}  // namespace

uint32_t Crc32(const uint8_t* bytes, std::size_t size, uint32_t crc) {
    crc = ~crc;
    for (; size >= Slices; size -= Slices, bytes += Slices) {
        const uint32_t low = crc ^ ReadU32(bytes), high = ReadU32(bytes + 4);
        crc = Tables[7][low & 0xFF] ^ Tables[6][(low >> 8) & 0xFF] ^ Tables[5][(low >> 16) & 0xFF] ^
              Tables[4][low >> 24] ^ Tables[3][high & 0xFF] ^ Tables[2][(high >> 8) & 0xFF] ^
              Tables[1][(high >> 16) & 0xFF] ^ Tables[0][high >> 24];
    }
    for (; size > 0; --size, ++bytes) crc = Tables[0][(crc ^ *bytes) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace velda
