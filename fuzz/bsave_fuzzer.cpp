// Fuzzing the core: one BSAVE file loaded in the mode the selector picks,
// its picture made as the window draws it, and the BMP that Save writes
// encoded in memory. Input layout: fuzz_input.h.
//
// Besides the sanitizers, each input is held to the promises of the core:
//   - the loader accepts exactly the files whose header passes the test
//     (7 bytes, id 0xFE, end address not below the start address), refuses
//     the others for the first reason they fail it, and then leaves video
//     memory untouched;
//   - an accepted file puts its bytes at the start address over the
//     cleared image with the power-on palette seeded, and nothing else;
//   - the decoders read only the picture lines and the palette (exact-size
//     copies, so a stray read is a sanitizer report);
//   - the BMP has the size and header fields of its mode, and each of its
//     pixels has the colour its mode's rule gives that pixel of video
//     memory, worked out here pixel by pixel;
//   - Open by extension reads the file as the SCREEN Open does, unless it
//     lacks the mark and its size makes it a page from address 0, or a
//     COPY file whose area (and nothing below it) lands at the top left.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "fuzz_input.h"
#include "image/bsave_loader.h"
#include "image/copy_file.h"
#include "image/load_error.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "image/vram_image.h"
#include "render/color_rules.h"
#include "render/picture.h"
#include "render/yjk.h"

namespace {

using velda::ModeInfo;
using velda::Rgb8;
using velda::ScreenPage;
using velda_fuzz::BmpLayout;

// What video memory held before a refused file: no byte a load would leave.
constexpr uint8_t EarlierByte = 0xA5;

uint32_t ReadLe32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// The refusal the header of `file` calls for; none when it passes.
velda::LoadError BsaveRefusal(const uint8_t* file, std::size_t size) {
    velda::LoadError want = velda_fuzz::StartRefusal(file, size, velda::FileKind::Bsave);
    if (want) return want;
    const unsigned start = file[1] | file[2] << 8;
    const unsigned end = file[3] | file[4] << 8;
    if (end < start) {
        want.fault = velda::LoadFault::EndBelowStart;
        want.endAddress = static_cast<uint16_t>(end);
        want.startAddress = static_cast<uint16_t>(start);
    }
    return want;
}

// A refused file leaves the video memory it was to go into as it was.
void CheckRefusedPlace(const ModeInfo& mode, const uint8_t* file, std::size_t size, const velda::LoadError& want) {
    std::vector<uint8_t> vram(velda::VramBytes, EarlierByte);
    velda::BsaveHeader header{};
    FUZZ_CHECK(velda_fuzz::SameError(velda::PlaceBsave(file, size, mode.screen, vram.data(), header), want));
    FUZZ_CHECK(std::all_of(vram.begin(), vram.end(), [](uint8_t b) { return b == EarlierByte; }));
}

bool AllZero(const uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

// The picture a fresh program opens from `file` in `mode`, worked out
// independently of the loader.
void CheckAcceptedLoad(const ModeInfo& mode, const uint8_t* file, std::size_t size, const ScreenPage& page) {
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
    FUZZ_CHECK(page.screen == mode.screen);
    FUZZ_CHECK(page.vram.size() == sizeof expected);
    FUZZ_CHECK(std::memcmp(expected, page.vram.data(), sizeof expected) == 0);
    FUZZ_CHECK(page.startAddress == start);
    FUZZ_CHECK(page.endAddress == end);

    const std::size_t paletteBytes = static_cast<std::size_t>(mode.paletteEntries) * velda::PaletteEntryBytes;
    if (paletteBytes > 0) {
        FUZZ_CHECK(std::memcmp(page.palette, expected + mode.paletteAddress, paletteBytes) == 0);
    }
    FUZZ_CHECK(AllZero(page.palette + paletteBytes, sizeof page.palette - paletteBytes));
}

// The colour of pixel (x, y) of `lines` in `mode`, by the mode's rule:
// palette indices of 4 or 2 bits, the SCREEN 8 byte, or YJK.
Rgb8 ModeColor(const ModeInfo& mode, const uint8_t* lines, const uint8_t* palette, int x, int y) {
    const uint8_t* line = lines + static_cast<std::ptrdiff_t>(y) * mode.bytesPerLine;
    const auto entry = [palette](int i) { return velda::PaletteEntryToRgb(palette[2 * i], palette[2 * i + 1]); };
    switch (mode.screen) {
    case 5:
    case 7: return entry(x % 2 == 0 ? line[x / 2] >> 4 : line[x / 2] & 0x0F);
    case 6: return entry((line[x / 4] >> (6 - 2 * (x % 4))) & 3);
    case 8: return velda::Screen8ValueToRgb(line[x]);
    default: break;
    }
    const uint8_t b = line[x];
    if (mode.screen != 12 && (b & velda::AttributeBit) != 0) return entry(b >> 4);
    const velda::YjkChroma chroma = velda::GroupChroma(line + x / 4 * 4);
    const velda::Rgb5 c = velda::YjkToRgb(mode.screen == 12 ? b >> 3 : (b >> 4) * 2, chroma.j, chroma.k);
    return Rgb8{static_cast<uint8_t>(c.r << 3), static_cast<uint8_t>(c.g << 3), static_cast<uint8_t>(c.b << 3)};
}

// The colour of pixel x of a BMP row, through the BMP's own colour table.
Rgb8 BmpPixel(const BmpLayout& layout, const uint8_t* colorTable, const uint8_t* row, int x) {
    if (layout.bitCount == 24) return Rgb8{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    const int index = layout.bitCount == 8 ? row[x] : x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    FUZZ_CHECK(index < layout.colors);
    const uint8_t* quad = colorTable + 4 * index;
    FUZZ_CHECK(quad[3] == 0);
    return Rgb8{quad[2], quad[1], quad[0]};
}

void CheckBmp(const ModeInfo& mode, const ScreenPage& page) {
    // Exact-size copies: a decoder that reads past the picture lines or
    // past the palette is caught.
    const std::vector<uint8_t> lines(page.vram.begin(), page.vram.begin() + mode.pixelBytes);
    const std::vector<uint8_t> palette(page.palette, page.palette + velda::PaletteBytes);
    velda::Picture picture;
    FUZZ_CHECK(velda::BuildPicture(mode.screen, lines.data(), palette.data(), velda::ColorRule::Velda, picture));
    std::vector<uint8_t> bmp;
    velda_fuzz::VectorSink sink{bmp};
    velda::EncodeBmp(sink, picture, velda::PrepareExportHeaders(picture));
    FUZZ_CHECK(bmp == velda_fuzz::SavedBmp(page));

    const BmpLayout layout = velda_fuzz::BmpLayoutOf(mode);
    FUZZ_CHECK(bmp.size() == static_cast<std::size_t>(layout.fileSize));
    FUZZ_CHECK(bmp[0] == 'B' && bmp[1] == 'M');
    FUZZ_CHECK(ReadLe32(&bmp[2]) == bmp.size());
    FUZZ_CHECK(ReadLe32(&bmp[10]) == static_cast<uint32_t>(layout.offBits));
    FUZZ_CHECK(ReadLe32(&bmp[18]) == static_cast<uint32_t>(mode.width));
    FUZZ_CHECK(ReadLe32(&bmp[22]) == static_cast<uint32_t>(velda::ScreenLines));
    FUZZ_CHECK((bmp[28] | bmp[29] << 8) == layout.bitCount);

    const uint8_t* bmpColors = bmp.data() + velda::BmpHeadersBytes;
    for (int y = 0; y < velda::ScreenLines; ++y) {
        const uint8_t* row = bmp.data() + layout.offBits +
                             static_cast<std::size_t>(velda::ScreenLines - 1 - y) * layout.rowBytes;
        for (int x = 0; x < mode.width; ++x) {
            FUZZ_CHECK(BmpPixel(layout, bmpColors, row, x) == ModeColor(mode, lines.data(), palette.data(), x, y));
        }
    }
}

void CheckOpenByExtension(const velda_fuzz::LoadedInput& input) {
    const ModeInfo& mode = *input.mode;
    velda::PictureRequest request;
    request.name = velda::PictureName{"A", "SC5"};  // a BSAVE dump's name, in the chosen mode
    request.screen = mode.screen;
    const velda::PicturePlan plan = velda::PlanPicture(input.file, input.fileSize, request);
    ScreenPage page;
    const velda::LoadError error = velda::OpenPicture(input.file, input.fileSize, plan, request, page);
    if (plan.reader == velda::PictureReader::Bsave) {
        FUZZ_CHECK(velda_fuzz::SameError(error, input.error));
        FUZZ_CHECK(error || page.vram == input.page.vram);
        return;
    }
    FUZZ_CHECK(!error);
    FUZZ_CHECK(input.fileSize > 0 && input.file[0] != velda::BsaveId);
    if (plan.reader == velda::PictureReader::PageDump) {
        FUZZ_CHECK(std::equal(input.file, input.file + input.fileSize, page.vram.begin()));
        return;
    }
    FUZZ_CHECK(plan.reader == velda::PictureReader::Copy);
    FUZZ_CHECK(velda::CopyFileBytes(mode.screen, page.width, page.height) == input.fileSize);
    const auto below = page.vram.begin() + static_cast<std::ptrdiff_t>(page.height) * mode.bytesPerLine;
    FUZZ_CHECK(std::all_of(below, page.vram.begin() + mode.pixelBytes, [](uint8_t b) { return b == 0; }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    velda_fuzz::LoadedInput input;
    if (!velda_fuzz::LoadInput(data, size, input)) return 0;
    const ModeInfo& mode = *input.mode;
    const velda::LoadError want = BsaveRefusal(input.file, input.fileSize);
    FUZZ_CHECK(velda_fuzz::SameError(input.error, want));
    CheckOpenByExtension(input);
    if (want) {
        CheckRefusedPlace(mode, input.file, input.fileSize, want);
        return 0;
    }
    CheckAcceptedLoad(mode, input.file, input.fileSize, input.page);
    // What Save then writes.
    CheckBmp(mode, input.page);
    return 0;
}
