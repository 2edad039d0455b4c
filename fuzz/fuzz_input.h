// What the fuzzing harnesses share: the layout of one input, its file
// opened as a freshly started Open opens it, Save's bytes and their
// layout, the refusals a file's first bytes call for, and the check that
// turns a broken promise into a finding.
//
// One input, the same for every harness, so that seeds and crashers serve
// them all:
//
//   byte 0    selector  bits 0-6, modulo 7, pick the screen mode from
//                       AllScreens (5, 6, 7, 8, 10, 11, 12); bit 7 picks
//                       the converter's colour rule (0 velda, 1 msx)
//   byte 1..  the BSAVE file, loaded as a SCREEN N Open loads it once it
//             is read (BSAVE dumps only)
//
// An empty input is ignored. fuzz_disk alone reads its whole input as one
// disk image, with no selector byte.
//
// fuzz_formats reads one thing more from the selector, its area: bits 0-6
// divided by 7, modulo 3 (0 Graph Saurus files, 1 palette files, 2
// interlaced pairs), so that the same byte still picks the mode as above.
//
// fuzz_sprites reads the selector its own way, to reach SCREEN 1-4 and
// every sprite choice under every colour rule: bits 0-3, modulo 11, pick
// the mode from EveryScreen; of the high nibble h, h modulo 5 picks the
// sprites from SpriteChoices (0 none), and h divided by 5, modulo 3, the
// colour rule (0 velda, 1 msx, 2 msx1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/bsave_loader.h"
#include "image/load_error.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "image/vram_image.h"
#include "render/color_rules.h"
#include "render/picture.h"
#include "render/sprites.h"

namespace velda_fuzz {

constexpr int ModeCount = static_cast<int>(sizeof velda::AllScreens);
constexpr uint8_t MsxRuleBit = 0x80;

// 1 selector byte, the 7 header bytes and a full 64 KiB of data: nothing
// after that is ever read.
constexpr std::size_t MaxUsefulInput = 1 + velda::BsaveHeaderBytes + velda::VramBytes;

struct Selector {
    uint8_t screen;
    bool msxColors;
};

inline Selector ReadSelector(uint8_t byte) {
    return Selector{velda::AllScreens[(byte & 0x7F) % ModeCount], (byte & MsxRuleBit) != 0};
}

enum class FormatArea { GraphSaurus, PaletteFile, InterlacedPair };
constexpr int FormatAreaCount = 3;

inline FormatArea ReadFormatArea(uint8_t byte) {
    return static_cast<FormatArea>((byte & 0x7F) / ModeCount % FormatAreaCount);
}

// The selector of mode `modeIndex` (into AllScreens) in `area`.
constexpr uint8_t FormatSelector(int modeIndex, FormatArea area, bool msxColors = false) {
    return static_cast<uint8_t>((static_cast<int>(area) * ModeCount + modeIndex) | (msxColors ? MsxRuleBit : 0));
}

constexpr int EveryModeCount = static_cast<int>(sizeof velda::EveryScreen);
constexpr int ColorRuleCount = 3;

struct SpriteSelector {
    uint8_t screen;
    velda::SpriteOptions sprites;
    velda::ColorRule rule;
};

inline SpriteSelector ReadSpriteSelector(uint8_t byte) {
    const int high = byte >> 4;
    return SpriteSelector{velda::EveryScreen[(byte & 0x0F) % EveryModeCount],
                          velda::SpriteChoices[high % velda::SpriteChoiceCount],
                          static_cast<velda::ColorRule>(high / velda::SpriteChoiceCount % ColorRuleCount)};
}

// The fuzz_sprites selector of mode `modeIndex` (into EveryScreen), sprite
// choice `choice` (into SpriteChoices) and `rule`.
constexpr uint8_t SpriteSelectorByte(int modeIndex, int choice, velda::ColorRule rule) {
    return static_cast<uint8_t>((choice + static_cast<int>(rule) * velda::SpriteChoiceCount) << 4 | modeIndex);
}

// Reports a broken promise and aborts, which libFuzzer (and the replay
// driver under a sanitizer) records as a crash with this input.
[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::velda_fuzz::Fail(__FILE__, __LINE__, #condition))

using VectorSink = velda::ByteSink;

// Whether two refusals of a file's header are the same: fault, file, form
// and the values that are wrong.
inline bool SameError(const velda::LoadError& a, const velda::LoadError& b) {
    return a.fault == b.fault && a.role == b.role && a.format == b.format && a.firstByte == b.firstByte &&
           a.startAddress == b.startAddress && a.endAddress == b.endAddress && a.fileSize == b.fileSize;
}

// The refusal the first bytes of `file` call for, worked out from them:
// none, or Empty, ShortHeader, or WrongFirstByte naming a first byte that
// is not 0xFE (nor, for a Graph Saurus file, 0xFD).
inline velda::LoadError StartRefusal(const uint8_t* file, std::size_t size, velda::FileKind format) {
    velda::LoadError want(velda::LoadFault::None, format);
    if (size == 0) {
        want.fault = velda::LoadFault::Empty;
    } else if (size < static_cast<std::size_t>(velda::BsaveHeaderBytes)) {
        want.fault = velda::LoadFault::ShortHeader;
    } else if (file[0] != velda::BsaveId &&
               !(format == velda::FileKind::GraphSaurus && file[0] == velda::GraphSaurusCompressedId)) {
        want.fault = velda::LoadFault::WrongFirstByte;
        want.firstByte = file[0];
    }
    return want;
}

// Where Save's BMP of a mode keeps what: its pixels in the decoded
// picture's form, after the 54 header bytes and 4 bytes a colour.
struct BmpLayout {
    int bitCount, colors, offBits, rowBytes, imageSize, fileSize;
};

inline BmpLayout BmpLayoutOf(const velda::ModeInfo& mode) {
    const velda::PictureForm form = velda::FormOf(mode.screen);
    const int offBits = velda::BmpHeadersBytes + 4 * form.colors;
    const int rowBytes = mode.width * form.bitDepth / 8;
    return BmpLayout{form.bitDepth, form.colors, offBits, rowBytes, velda::ScreenLines * rowBytes,
                     offBits + velda::ScreenLines * rowBytes};
}

// The BMP that Save writes for `page` once Open has shown it.
inline std::vector<uint8_t> SavedBmp(const velda::ScreenPage& page) {
    const velda::Picture picture = velda::MakePicture(velda::ViewOf(page), velda::PictureOptions{});
    std::vector<uint8_t> bytes;
    VectorSink sink{bytes};
    velda::EncodeBmp(sink, picture, velda::PrepareExportHeaders(picture));
    return bytes;
}

// One input as both harnesses start it: the selector read, then the file
// opened in the selected mode as a freshly started Open opens it (no
// palette held from before, no file beside it). False for an empty input.
struct LoadedInput {
    Selector selector;
    const velda::ModeInfo* mode;
    const uint8_t* file;  // the BSAVE file: the input after the selector
    std::size_t fileSize;
    velda::LoadError error;
    velda::ScreenPage page;  // of use only without `error`
};

inline bool LoadInput(const uint8_t* data, std::size_t size, LoadedInput& input) {
    if (size == 0) return false;
    input.selector = ReadSelector(data[0]);
    input.mode = velda::FindMode(input.selector.screen);
    FUZZ_CHECK(input.mode != nullptr);
    input.file = data + 1;
    input.fileSize = size - 1;
    velda::PictureRequest request;
    request.screen = input.selector.screen;
    request.bsaveOnly = true;
    input.error = velda::OpenPicture(input.file, input.fileSize, request, input.page);
    return true;
}

}  // namespace velda_fuzz
