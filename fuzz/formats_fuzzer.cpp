// Fuzzing the readers of the other files a collection holds and the shapes
// of interlaced pictures. Input layout: fuzz_input.h; the selector picks
// the mode, the colour rule and one of three areas:
//
//   Graph Saurus   byte 1..  a Graph Saurus file, placed in the mode over
//                            video memory that already holds a picture
//   palette file   byte 1    the palette index (modulo 8)
//                  byte 2..  a palette file of any size
//   interlaced     byte 1    bits 0-1: the shape written as BMP: woven,
//                            blended, the woven pair at television size,
//                            the first page at television size; bits 2-3
//                            both 0: as PNG too
//                  byte 2..  two pages of video memory from address 0: the
//                            first half of these bytes, then the second
//
// Each input is held to the promises of the code it drives:
//   - a Graph Saurus file refused, for the first reason it fails (too
//     short, a first byte not 0xFE or 0xFD, data cut off inside a run),
//     leaves video memory untouched; one accepted leaves the mode's share
//     cleared, its palette table seeded and then exactly the bytes a
//     straightforward expansion of the file gives within 64 KiB; a raw
//     file with a start address is placed as PlaceBsave places it;
//   - a palette file of 256, 32 or 39 bytes (with the mark) gives its 32
//     bytes from their place, any other is refused for its size or its
//     missing mark and leaves the palette alone, and PutPalette writes
//     the mode's share of the palette table only;
//   - woven, blended and television pictures have their shapes, and a
//     sample of their pixels the colours of the pages they come from; the
//     BMP of one has its headers, and a sample of its pixels their colours,
//     and so has its PNG read back with libpng. (Samples, not every pixel,
//     and a PNG for one input in four: fuzz_convert checks every pixel of
//     both writers, and a PNG of 512 x 424 RGB pixels costs ten times the
//     rest of a run.)
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef VELDA_HAVE_PNG
#include "png_read_back.h"

#include "export/png_writer.h"
#endif

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "fuzz_input.h"
#include "image/bsave_loader.h"
#include "image/graph_saurus.h"
#include "image/load_error.h"
#include "image/mode_table.h"
#include "image/palette_file.h"
#include "image/vram_image.h"
#include "render/picture.h"
#include "render/picture_shapes.h"

namespace {

using Bytes = std::vector<uint8_t>;
using velda::ModeInfo;
using velda::Picture;
using velda::Rgb8;
using velda_fuzz::FormatArea;

constexpr std::size_t Vram = velda::VramBytes;

// Video memory that already holds a picture: no byte a load would leave.
const Bytes& EarlierPicture() {
    static const Bytes vram = [] {
        Bytes bytes(Vram);
        for (std::size_t i = 0; i < Vram; ++i) bytes[i] = static_cast<uint8_t>((i * 131 + 7) >> 3 | 0x01);
        return bytes;
    }();
    return vram;
}

// What a fresh load of the mode starts from: the earlier picture with the
// mode's share cleared and the power-on palette in its palette table.
Bytes ClearedAndSeeded(const ModeInfo& mode) {
    Bytes vram = EarlierPicture();
    std::memset(vram.data(), 0, static_cast<std::size_t>(mode.clearBytes));
    if (mode.paletteEntries > 0) {
        std::memcpy(vram.data() + mode.paletteAddress, velda::DefaultPalette,
                    static_cast<std::size_t>(mode.paletteEntries) * velda::PaletteEntryBytes);
    }
    return vram;
}

// The bytes compressed Graph Saurus data stands for, one at a time, those
// past 64 KiB counted but not kept. False when the data ends inside a run.
bool ExpandOneByOne(const uint8_t* data, std::size_t size, Bytes& memory, std::size_t& length) {
    std::size_t at = 0;
    const auto next = [&](uint8_t& byte) {
        if (at == size) return false;
        byte = data[at++];
        return true;
    };
    memory.clear();
    length = 0;
    uint8_t code = 0;
    while (next(code)) {
        unsigned count = 1;
        uint8_t value = code;
        if (code == 0x00) {
            uint8_t times = 0;
            if (!next(times) || !next(value)) return false;
            count = times;
        } else if (code < 0x10) {
            if (!next(value)) return false;
            count = code;
        }
        for (unsigned n = 0; n < count; ++n, ++length) {
            if (memory.size() < Vram) memory.push_back(value);
        }
    }
    return true;
}

void FuzzGraphSaurus(const ModeInfo& mode, const uint8_t* file, std::size_t size) {
    Bytes vram = EarlierPicture();
    velda::PlacedRange placed{0, 0};
    const velda::LoadError error = velda::PlaceGraphSaurus(file, size, mode.screen, vram.data(), placed);
    const velda::LoadError refused = velda_fuzz::StartRefusal(file, size, velda::FileKind::GraphSaurus);
    if (refused) {
        FUZZ_CHECK(velda_fuzz::SameError(error, refused));
        FUZZ_CHECK(vram == EarlierPicture());
        return;
    }
    const uint8_t* data = file + velda::BsaveHeaderBytes;
    const std::size_t dataSize = size - velda::BsaveHeaderBytes;
    const bool startsAtZero = file[1] == 0 && file[2] == 0;
    if (file[0] == 0xFE && !startsAtZero) {  // a BSAVE file under this name
        Bytes bsave = EarlierPicture();
        velda::BsaveHeader header{};
        FUZZ_CHECK(velda_fuzz::SameError(velda::PlaceBsave(file, size, mode.screen, bsave.data(), header), error));
        FUZZ_CHECK(vram == bsave);
        if (!error) {
            const velda::PlacedRange want = velda::BsavePlacedRange(header, size);
            FUZZ_CHECK(placed.start == want.start && placed.length == want.length);
        }
        return;
    }

    Bytes memory;
    if (file[0] == 0xFE) {
        memory.assign(data, data + (dataSize < Vram ? dataSize : Vram));
    } else {
        std::size_t length = 0;
        if (!ExpandOneByOne(data, dataSize, memory, length)) {
            const velda::LoadError cutOff(velda::LoadFault::CutOff, velda::FileKind::GraphSaurus);
            FUZZ_CHECK(velda_fuzz::SameError(error, cutOff));
            FUZZ_CHECK(vram == EarlierPicture());
            return;
        }
        FUZZ_CHECK(memory.size() == (length < Vram ? length : Vram));
    }
    FUZZ_CHECK(!error);
    Bytes want = ClearedAndSeeded(mode);
    std::copy(memory.begin(), memory.end(), want.begin());
    FUZZ_CHECK(vram == want);
    FUZZ_CHECK(placed.start == 0 && placed.length == memory.size());
}

void FuzzPaletteFile(const ModeInfo& mode, const uint8_t* data, std::size_t size) {
    if (size < 1) return;
    const int index = data[0] % velda::PalettesInBankFile;
    const uint8_t* file = data + 1;
    const std::size_t fileSize = size - 1;

    uint8_t palette[velda::PaletteBytes];
    std::memset(palette, 0xA5, sizeof palette);
    const velda::LoadError error = velda::ReadPaletteFile(file, fileSize, index, palette);
    const uint8_t* want = nullptr;  // where the bytes taken come from
    std::size_t taken = sizeof palette;
    velda::LoadError refused;
    const unsigned start = fileSize >= 3 ? file[1] | file[2] << 8 : 0;
    const bool shortDump = fileSize >= 9 && fileSize < 39 && file[0] == 0xFE && (start == 0x7680 || start == 0xFA80);
    switch (fileSize) {
    case 256:
        want = file + 32 * index;
        break;
    case 32:
        want = file;
        break;
    case 39:
        if (file[0] == 0xFE) {
            want = file + 7;
        } else {
            refused.fault = velda::LoadFault::PaletteFileMark;
        }
        break;
    default:
        if (shortDump) {  // its whole entries
            want = file + 7;
            taken = (fileSize - 7) / 2 * 2;
        } else {
            refused.fault = velda::LoadFault::PaletteFileSize;
            refused.fileSize = static_cast<uint32_t>(fileSize);
        }
        break;
    }
    FUZZ_CHECK(velda_fuzz::SameError(error, refused));
    if (want == nullptr) taken = 0;
    FUZZ_CHECK(want == nullptr || std::memcmp(palette, want, taken) == 0);
    for (std::size_t i = taken; i < sizeof palette; ++i) FUZZ_CHECK(palette[i] == 0xA5);

    Bytes vram = EarlierPicture();
    velda::PutPalette(mode.screen, palette, vram.data());
    Bytes expected = EarlierPicture();
    if (mode.paletteEntries > 0) {
        std::memcpy(expected.data() + mode.paletteAddress, palette,
                    static_cast<std::size_t>(mode.paletteEntries) * velda::PaletteEntryBytes);
    }
    FUZZ_CHECK(vram == expected);
}

// One page of an interlaced pair: `count` bytes of video memory from
// address 0 over cleared memory with the power-on palette, decoded.
void DecodePage(const ModeInfo& mode, const uint8_t* bytes, std::size_t count, velda::ColorRule rule,
                Picture& picture) {
    static Bytes vram;
    vram.assign(Vram, 0);
    velda::SeedDefaultPalette(mode.screen, vram.data());
    std::memcpy(vram.data(), bytes, count < Vram ? count : Vram);
    uint8_t palette[velda::PaletteBytes] = {};
    velda::CapturePalette(mode.screen, vram.data(), palette);
    FUZZ_CHECK(velda::BuildPicture(mode.screen, vram.data(), palette, rule, picture));
}

// An index for an indexed picture, red, green, blue packed otherwise.
uint32_t PixelValue(const Picture& picture, int x, int y) {
    const uint8_t* row = picture.Row(y);
    switch (picture.bitDepth) {
    case 4:
        return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    case 8:
        return row[x];
    default:
        return uint32_t{row[3 * x]} << 16 | uint32_t{row[3 * x + 1]} << 8 | row[3 * x + 2];
    }
}

void CheckShape(const Picture& picture, const Picture& like, int width, int height, int bitDepth) {
    FUZZ_CHECK(picture.screen == like.screen);
    FUZZ_CHECK(picture.width == width && picture.height == height && picture.bitDepth == bitDepth);
    FUZZ_CHECK(picture.rowBytes == width * bitDepth / 8);
    FUZZ_CHECK(picture.pixels.size() == static_cast<std::size_t>(picture.rowBytes) * height);
    if (bitDepth == 24) {
        FUZZ_CHECK(picture.palette.empty());
    } else {
        FUZZ_CHECK(picture.palette == like.palette);
    }
}

// Pixels to sample: the corners and a spread of others, fixed per input.
template <class Check>
void ForSamples(int width, int height, uint32_t seed, Check check) {
    const int corners[][2] = {{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}};
    for (const auto& corner : corners) check(corner[0], corner[1]);
    uint32_t state = seed | 1;
    for (int i = 0; i < 256; ++i) {
        state = state * 1103515245u + 12345u;
        check(static_cast<int>((state >> 8) % static_cast<uint32_t>(width)),
              static_cast<int>((state >> 20) % static_cast<uint32_t>(height)));
    }
}

uint32_t Le32(const uint8_t* b) { return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24; }

void CheckBmp(const Picture& picture, uint32_t seed) {
    static Bytes bmp;
    bmp.clear();
    velda_fuzz::VectorSink sink{bmp};
    velda::EncodeBmp(sink, picture, velda::PrepareExportHeaders(picture));
    const std::size_t colors = picture.palette.size();
    const std::size_t offBits = velda::BmpHeadersBytes + 4 * colors;
    FUZZ_CHECK(bmp.size() == offBits + static_cast<std::size_t>(picture.rowBytes) * picture.height);
    FUZZ_CHECK(bmp[0] == 'B' && bmp[1] == 'M');
    FUZZ_CHECK(Le32(&bmp[2]) == bmp.size() && Le32(&bmp[10]) == offBits);
    FUZZ_CHECK(Le32(&bmp[18]) == static_cast<uint32_t>(picture.width));
    FUZZ_CHECK(Le32(&bmp[22]) == static_cast<uint32_t>(picture.height));
    FUZZ_CHECK((bmp[28] | bmp[29] << 8) == picture.bitDepth);
    ForSamples(picture.width, picture.height, seed, [&](int x, int y) {
        const uint8_t* row = bmp.data() + offBits + static_cast<std::size_t>(picture.height - 1 - y) * picture.rowBytes;
        Rgb8 shown;
        if (picture.bitDepth == 24) {
            shown = Rgb8{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
        } else {
            const unsigned index = picture.bitDepth == 8 ? row[x] : x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
            FUZZ_CHECK(index < colors);
            const uint8_t* quad = bmp.data() + velda::BmpHeadersBytes + 4 * index;
            FUZZ_CHECK(quad[3] == 0);
            shown = Rgb8{quad[2], quad[1], quad[0]};
        }
        FUZZ_CHECK(shown == velda::PixelColor(picture, x, y));
    });
}

#ifdef VELDA_HAVE_PNG
void CheckPng(const Picture& picture, uint32_t seed) {
    Bytes png;
    FUZZ_CHECK(!velda::EncodePng(picture, png));
    const Bytes rgb = velda_fuzz::ReadPngRgb(png, picture);
    ForSamples(picture.width, picture.height, seed, [&](int x, int y) {
        const uint8_t* p = rgb.data() + 3 * (static_cast<std::size_t>(y) * picture.width + x);
        FUZZ_CHECK(velda::PixelColor(picture, x, y) == (Rgb8{p[0], p[1], p[2]}));
    });
}
#endif

void FuzzInterlacedPair(const ModeInfo& mode, bool msxColors, const uint8_t* data, std::size_t size) {
    if (size < 1) return;
    const int written = data[0] & 0x03;
    const bool png = (data[0] & 0x0C) == 0;
    const uint8_t* pages = data + 1;
    const std::size_t count = size - 1;
    const std::size_t half = (count + 1) / 2;
    const velda::ColorRule rule = msxColors ? velda::ColorRule::Msx : velda::ColorRule::Velda;
    // Kept from run to run: the shapes reuse their storage, as the
    // converter's do, and runs do not go into fresh pages of memory.
    static Picture first, second, woven, blended, tvWoven, tvFirst;
    DecodePage(mode, pages, half, rule, first);
    DecodePage(mode, pages + half, count - half, rule, second);
    const int w = first.width, h = first.height;
    const auto seed = static_cast<uint32_t>(size);

    velda::WeavePictures(first, second, woven);
    CheckShape(woven, first, w, 2 * h, first.bitDepth);
    ForSamples(w, h, seed, [&](int x, int y) {
        FUZZ_CHECK(velda::PixelColor(woven, x, 2 * y) == velda::PixelColor(first, x, y));
        FUZZ_CHECK(PixelValue(woven, x, 2 * y + 1) == PixelValue(second, x, y));
    });

    velda::BlendPictures(first, second, blended);
    CheckShape(blended, first, w, h, 24);
    ForSamples(w, h, seed + 1, [&](int x, int y) {
        const Rgb8 a = velda::PixelColor(first, x, y), b = velda::PixelColor(second, x, y);
        const auto mean = [](int u, int v) { return static_cast<uint8_t>((u + v + 1) / 2); };
        FUZZ_CHECK(velda::PixelColor(blended, x, y) == (Rgb8{mean(a.r, b.r), mean(a.g, b.g), mean(a.b, b.b)}));
    });

    const Picture* sources[] = {&woven, &first};
    Picture* shown[] = {&tvWoven, &tvFirst};
    for (int i = 0; i < 2; ++i) {
        const Picture& source = *sources[i];
        velda::TelevisionAspect(source, *shown[i]);
        CheckShape(*shown[i], source, 512, 424, source.bitDepth);
        ForSamples(512, 424, seed + 2 + i, [&](int x, int y) {
            FUZZ_CHECK(velda::PixelColor(*shown[i], x, y) ==
                       velda::PixelColor(source, x * source.width / 512, y * source.height / 424));
        });
    }

    const Picture* results[] = {&woven, &blended, &tvWoven, &tvFirst};
    CheckBmp(*results[written], seed + 4);
#ifdef VELDA_HAVE_PNG
    if (png) CheckPng(*results[written], seed + 5);
#else
    (void)png;
#endif
}

// The one area a run keeps to, from VELDA_FUZZ_AREA (0, 1 or 2), or -1
// for all: the interlaced area costs a hundred times the others a run, so
// long runs give each area a process of its own. Inputs of another area
// are then skipped, and the corpus holds only inputs of that area.
int OnlyArea() {
    const char* text = std::getenv("VELDA_FUZZ_AREA");
    if (text == nullptr || text[0] < '0' || text[0] >= '0' + velda_fuzz::FormatAreaCount || text[1] != '\0') return -1;
    return text[0] - '0';
}

// How many inputs each area ran, printed when the run ends, so that a
// long run can be recorded per area.
long AreaRuns[velda_fuzz::FormatAreaCount] = {};

void PrintAreaRuns() {
    std::fprintf(stderr, "fuzz_formats: runs per area: Graph Saurus %ld, palette file %ld, interlaced pair %ld\n",
                 AreaRuns[0], AreaRuns[1], AreaRuns[2]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool registered = std::atexit(PrintAreaRuns) == 0;
    static const int onlyArea = OnlyArea();
    (void)registered;
    if (size == 0) return 0;
    const velda_fuzz::Selector selector = velda_fuzz::ReadSelector(data[0]);
    const ModeInfo* mode = velda::FindMode(selector.screen);
    FUZZ_CHECK(mode != nullptr);
    const FormatArea area = velda_fuzz::ReadFormatArea(data[0]);
    if (onlyArea >= 0 && static_cast<int>(area) != onlyArea) return 0;
    ++AreaRuns[static_cast<int>(area)];
    switch (area) {
    case FormatArea::GraphSaurus:
        FuzzGraphSaurus(*mode, data + 1, size - 1);
        break;
    case FormatArea::PaletteFile:
        FuzzPaletteFile(*mode, data + 1, size - 1);
        break;
    case FormatArea::InterlacedPair:
        FuzzInterlacedPair(*mode, selector.msxColors, data + 1, size - 1);
        break;
    }
    return 0;
}
