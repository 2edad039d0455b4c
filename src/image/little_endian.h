// The numbers MSX files and disks hold: little-endian, low byte first.
#pragma once

#include <cstdint>

namespace velda {

constexpr uint16_t ReadU16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

constexpr uint32_t ReadU32(const uint8_t* bytes) {
    return ReadU16(bytes) | static_cast<uint32_t>(ReadU16(bytes + 2)) << 16;
}

}  // namespace velda
