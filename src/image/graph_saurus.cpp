#include "image/graph_saurus.h"

#include <algorithm>
#include <cstring>

#include "image/little_endian.h"
#include "image/mode_table.h"
#include "image/vram_image.h"

namespace velda {

namespace {

constexpr uint8_t LiteralFrom = 0x10;  // codes 0x10..0xFF stand for themselves
constexpr uint8_t LongRun = 0x00;      // 0x00 c v: v, c times

// Expands the compressed codes `data` (`size` bytes). With `out` null it
// only checks them; otherwise it writes the bytes that fit in video memory.
// Returns false when the data ends inside a run; `length` is the number of
// bytes the codes stand for.
bool Expand(const uint8_t* data, std::size_t size, uint8_t* out, std::size_t& length) {
    length = 0;
    std::size_t i = 0;
    while (i < size) {
        const uint8_t code = data[i++];
        std::size_t count = 1;
        uint8_t value = code;
        if (code < LiteralFrom) {
            if (code == LongRun) {
                if (i >= size) return false;
                count = data[i++];
            } else {
                count = code;
            }
            if (i >= size) return false;
            value = data[i++];
        }
        if (out != nullptr && length < VramBytes) std::memset(out + length, value, std::min(count, VramBytes - length));
        length += count;
    }
    return true;
}

}  // namespace

LoadError PlaceGraphSaurus(const uint8_t* file, std::size_t size, uint8_t screen, uint8_t* vram, PlacedRange& placed) {
    const ModeInfo* mode = FindMode(screen);
    LoadError error(LoadFault::None, FileKind::GraphSaurus);
    if (mode == nullptr) {
        error = NoSuchScreenError(screen);
    } else if (size == 0) {
        error.fault = LoadFault::Empty;
    } else if (size < BsaveHeaderBytes) {
        error.fault = LoadFault::ShortHeader;
    } else if (file[0] != GraphSaurusRawId && file[0] != GraphSaurusCompressedId) {
        error.fault = LoadFault::WrongFirstByte;
        error.firstByte = file[0];
    }
    if (error) return error;
    const uint8_t id = file[0];
    const uint16_t start = ReadU16(file + 1);
    if (id == GraphSaurusRawId && start != 0) {
        BsaveHeader header{};
        error = PlaceBsave(file, size, screen, vram, header);
        placed = BsavePlacedRange(header, size);
        return error;
    }

    const uint8_t* data = file + BsaveHeaderBytes;
    const std::size_t dataBytes = size - BsaveHeaderBytes;
    std::size_t length = dataBytes;
    if (id == GraphSaurusCompressedId && !Expand(data, dataBytes, nullptr, length)) {
        error.fault = LoadFault::CutOff;
        return error;
    }

    std::memset(vram, 0, static_cast<std::size_t>(mode->clearBytes));
    SeedDefaultPalette(screen, vram);
    placed = PlacedRange{0, static_cast<uint32_t>(std::min(length, VramBytes))};
    if (id == GraphSaurusRawId) {
        std::memcpy(vram, data, placed.length);
    } else {
        Expand(data, dataBytes, vram, length);
    }
    return error;
}

}  // namespace velda
