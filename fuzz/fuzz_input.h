// What the fuzzing harnesses share: the layout of one input, the image
// model put back to its program-start state, loading from memory, and the
// check that turns a broken promise into a finding.
//
// One input, the same for every harness, so that seeds and crashers serve
// them all:
//
//   byte 0    selector  bits 0-6, modulo 7, pick the screen mode from
//                       AllScreens (5, 6, 7, 8, 10, 11, 12); bit 7 picks
//                       the converter's colour rule (0 velda, 1 msx)
//   byte 1..  the BSAVE file, read through a stdio stream as Open reads it
//
// An empty input is ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "export/bmp_headers.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"

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

// Reports a broken promise and aborts, which libFuzzer (and the replay
// driver under a sanitizer) records as a crash with this input.
[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::velda_fuzz::Fail(__FILE__, __LINE__, #condition))

// Loads `size` bytes of file through a read-only memory stream with the
// loader's own stream entry, as Open does with a file on disk. Returns
// false (and loads nothing) only when no stream can be made.
inline bool LoadFromMemory(const uint8_t* file, std::size_t size, uint8_t screen, velda::LoadOutcome& outcome) {
    // fmemopen wants a non-null buffer even for an empty file; "r" never
    // writes through it.
    static char empty[1];
    void* buffer = size > 0 ? const_cast<uint8_t*>(file) : static_cast<void*>(empty);
    std::FILE* stream = fmemopen(buffer, size, "rb");
    if (stream == nullptr) return false;
    outcome = velda::LoadBsaveFrom(stream, screen);
    std::fclose(stream);
    return true;
}

// One input as both harnesses start it: the selector read, the model put
// back to its program-start state, then the file loaded in the selected
// mode. False for an empty input or when no stream can be made.
struct LoadedInput {
    Selector selector;
    const velda::ModeInfo* mode;
    const uint8_t* file;  // the BSAVE file: the input after the selector
    std::size_t fileSize;
    velda::LoadOutcome outcome;
};

inline bool LoadInput(const uint8_t* data, std::size_t size, LoadedInput& input) {
    if (size == 0) return false;
    input.selector = ReadSelector(data[0]);
    input.mode = velda::FindMode(input.selector.screen);
    FUZZ_CHECK(input.mode != nullptr);
    input.file = data + 1;
    input.fileSize = size - 1;
    velda::ResetImageModel();
    return LoadFromMemory(input.file, input.fileSize, input.selector.screen, input.outcome);
}

}  // namespace velda_fuzz
