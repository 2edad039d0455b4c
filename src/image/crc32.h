// CRC-32, as ZIP archives and gzip streams check their files: the
// reflected polynomial 0xEDB88320, started at all ones and inverted at the
// end, so that the CRC of nothing is 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velda {

// The CRC-32 of `size` bytes, continuing `crc` (the CRC of the bytes
// before them; 0 to start).
uint32_t Crc32(const uint8_t* bytes, std::size_t size, uint32_t crc = 0);

}  // namespace velda
