// Fuzzing the core: one BSAVE file loaded in the mode the selector picks,
// every line decoded as the window draws it, and the BMP that Save writes
// encoded in memory. Input layout: fuzz_input.h.
//
// Besides the sanitizers, each input is held to the promises of the core:
//   - the loader accepts exactly the files whose header passes the test
//     (7 bytes, id 0xFE, end address not below the start address) and
//     leaves the model untouched otherwise;
//   - an accepted file puts its bytes at the start address over the
//     cleared image with the power-on palette seeded, and nothing else;
//   - the decoders read only the picture lines and the colours their mode
//     has (exact-size copies, so a stray read is a sanitizer report), and
//     write exactly one line;
//   - the BMP has the size and header fields of its mode, and each of its
//     pixels has the colour the window shows for that pixel.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "fuzz_input.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/line_decoder.h"

namespace {

using velda::ColorRef;
using velda::ModeInfo;

uint32_t ReadLe32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool HeaderPasses(const uint8_t* file, std::size_t size) {
    if (size < static_cast<std::size_t>(velda::BsaveHeaderBytes)) return false;
    const unsigned start = file[1] | file[2] << 8;
    const unsigned end = file[3] | file[4] << 8;
    return file[0] == velda::BsaveId && end >= start;
}

bool AllZero(const uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

// The colours a line decoder of the mode may read: 16, 4 in SCREEN 6,
// 256 in SCREEN 8, none in SCREEN 12.
int ColorsRead(const ModeInfo& mode) { return mode.screen == 8 ? velda::ColorTableSize : mode.paletteEntries; }

// The image model after a fresh program loaded `file` in `mode`, worked
// out independently of the loader.
void CheckAcceptedLoad(const ModeInfo& mode, const uint8_t* file, std::size_t size) {
    static uint8_t expected[velda::VramBytes];
    std::memset(expected, 0, sizeof expected);
    if (mode.paletteEntries > 0) {
        std::memcpy(expected + mode.paletteAddress, velda::DefaultPalette,
                    static_cast<std::size_t>(mode.paletteEntries) * velda::PaletteEntryBytes);
    }
    const std::size_t start = file[1] | file[2] << 8;
    const std::size_t end = file[3] | file[4] << 8;
    const std::size_t present = size - velda::BsaveHeaderBytes;
    const std::size_t length = end - start + 1;
    std::memcpy(expected + start, file + velda::BsaveHeaderBytes, length < present ? length : present);
    FUZZ_CHECK(std::memcmp(expected, velda::VramImage, sizeof expected) == 0);
    FUZZ_CHECK(velda::CurrentFile.startAddress == start);
    FUZZ_CHECK(velda::CurrentFile.endAddress == end);

    const std::size_t paletteBytes = static_cast<std::size_t>(mode.paletteEntries) * velda::PaletteEntryBytes;
    if (paletteBytes > 0) {
        FUZZ_CHECK(std::memcmp(velda::MsxPalette, expected + mode.paletteAddress, paletteBytes) == 0);
    }
    FUZZ_CHECK(AllZero(velda::MsxPalette + paletteBytes, sizeof velda::MsxPalette - paletteBytes));
    for (int i = 0; i < mode.paletteEntries; ++i) {
        FUZZ_CHECK(velda::ColorTable[i] == velda::PaletteColor(velda::MsxPalette, i));
    }
    if (mode.screen == 8) {
        for (int v = 0; v < velda::ColorTableSize; ++v) {
            FUZZ_CHECK(velda::ColorTable[v] == velda::Screen8ValueToRgb(static_cast<uint8_t>(v)));
        }
    }
}

// The colour of pixel x of a BMP row, through the BMP's own colour table.
ColorRef BmpPixel(const ModeInfo& mode, const uint8_t* colorTable, const uint8_t* row, int x) {
    if (mode.bmpBitCount == 24) return velda::MakeColorRef(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    const int index = mode.bmpBitCount == 8 ? row[x] : x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    FUZZ_CHECK(index < mode.bmpColorEntries);
    const uint8_t* quad = colorTable + 4 * index;
    FUZZ_CHECK(quad[3] == 0);
    return velda::MakeColorRef(quad[2], quad[1], quad[0]);
}

void CheckBmpAgainstWindow(const ModeInfo& mode, const std::vector<uint8_t>& bmp) {
    FUZZ_CHECK(bmp.size() == static_cast<std::size_t>(mode.bmpFileSize));
    FUZZ_CHECK(bmp[0] == 'B' && bmp[1] == 'M');
    FUZZ_CHECK(ReadLe32(&bmp[2]) == bmp.size());
    FUZZ_CHECK(ReadLe32(&bmp[10]) == static_cast<uint32_t>(mode.bmpOffBits));
    FUZZ_CHECK(ReadLe32(&bmp[18]) == static_cast<uint32_t>(mode.width));
    FUZZ_CHECK(ReadLe32(&bmp[22]) == static_cast<uint32_t>(velda::ScreenLines));
    FUZZ_CHECK((bmp[28] | bmp[29] << 8) == mode.bmpBitCount);

    // Exact-size copies: a decoder that reads past the picture lines or
    // past its mode's colours, or writes past one line, is caught.
    const std::vector<uint8_t> lines(velda::VramImage, velda::VramImage + mode.pixelBytes);
    const int colors = ColorsRead(mode);
    std::unique_ptr<ColorRef[]> table;
    if (colors > 0) {
        table.reset(new ColorRef[colors]);
        std::memcpy(table.get(), velda::ColorTable, sizeof(ColorRef) * colors);
    }
    std::unique_ptr<ColorRef[]> out(new ColorRef[mode.width]);

    const uint8_t* colorTable = bmp.data() + velda::BmpHeadersBytes;
    for (int y = 0; y < velda::ScreenLines; ++y) {
        FUZZ_CHECK(velda::DecodeLine(mode.screen, lines.data(), table.get(), y, out.get()) == mode.width);
        const uint8_t* row = bmp.data() + mode.bmpOffBits +
                             static_cast<std::size_t>(velda::ScreenLines - 1 - y) * mode.bmpRowBytes;
        for (int x = 0; x < mode.width; ++x) {
            FUZZ_CHECK((out[x] >> 24) == 0);
            FUZZ_CHECK(BmpPixel(mode, colorTable, row, x) == out[x]);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    velda_fuzz::LoadedInput input;
    if (!velda_fuzz::LoadInput(data, size, input)) return 0;
    const velda_fuzz::Selector selector = input.selector;
    const ModeInfo* mode = input.mode;
    const uint8_t* file = input.file;
    const std::size_t fileSize = input.fileSize;
    const velda::LoadOutcome outcome = input.outcome;

    if (!HeaderPasses(file, fileSize)) {
        FUZZ_CHECK(outcome == velda::LoadOutcome::NotBsave);
        FUZZ_CHECK(AllZero(velda::VramImage, sizeof velda::VramImage));
        FUZZ_CHECK(AllZero(velda::MsxPalette, sizeof velda::MsxPalette));
        FUZZ_CHECK(velda::CurrentFile.startAddress == 0 && velda::CurrentFile.endAddress == 0);
        return 0;
    }
    FUZZ_CHECK(outcome == velda::LoadOutcome::Accepted);
    CheckAcceptedLoad(*mode, file, fileSize);

    // What the end of Open and then Save do.
    velda::PrepareExportHeaders(selector.screen);
    velda::ScreenMode = selector.screen;
    const std::vector<uint8_t> bmp = velda_fuzz::SavedBmp();
    CheckBmpAgainstWindow(*mode, bmp);
    return 0;
}
